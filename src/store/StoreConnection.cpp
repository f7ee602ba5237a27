#include "StoreConnection.h"

#include "DbManager.h"
#include "WriteTransaction.h"

#include <QSqlError>
#include <QSqlQuery>

namespace
{

thread_local QString lastError;

} // namespace

QString StoreConnection::LastError()
{
    return lastError;
}

bool StoreConnection::Fail(const QString& why)
{
    lastError = why;
    return false;
}

DbManager* StoreConnection::Owner() const
{
    return manager ? manager : DbManager::Instance();
}

QSqlDatabase StoreConnection::Database() const
{
    return Owner()->Database();
}

bool StoreConnection::Run(QSqlQuery& query, const QString& statement,
                          const QVariantList& values) const
{
    bool ok = Execute(query, statement, values);
    // A connection lost under the statement (the server restarted) is opened again and the
    // statement run once more: every statement here may be repeated (saves are upserts by key,
    // deletes go by key), and none is repeated inside a transaction.
    if (!ok && Owner()->ReopenIfLost() == DbManager::Reconnect::Reopened) {
        query = QSqlQuery(Database());
        ok = Execute(query, statement, values);
    }
    if (!ok) {
        lastError = query.lastError().text().trimmed();
        if (lastError.isEmpty())
            lastError = QStringLiteral("数据库未连接");
    }
    return ok;
}

qint64 StoreConnection::Count(const QString& statement, const QVariantList& values) const
{
    QSqlQuery query(Database());
    if (!Run(query, statement, values))
        return -1;
    if (!query.next()) {
        Fail(QStringLiteral("无法读取记录条数"));
        return -1;
    }
    return query.value(0).toLongLong();
}

bool StoreConnection::InWriteTransaction(const std::function<bool(WriteTransaction&)>& work,
                                         bool* connectionLost) const
{
    const bool enclosed = WriteTransaction::OpenOnThisThread();
    if (connectionLost)
        *connectionLost = false;
    for (bool repeated = false;; repeated = true) {
        {
            WriteTransaction transaction(Database());
            if (!transaction.IsOpen())
                lastError = transaction.ErrorText();
            else if (work(transaction) && transaction.Commit())
                return true;
            else if (transaction.IsOpen() && !transaction.ErrorText().isEmpty())
                lastError = transaction.ErrorText();
        }
        if (enclosed || repeated)
            return false;
        const DbManager::Reconnect reconnect = Owner()->ReopenIfLost();
        if (reconnect != DbManager::Reconnect::Reopened) {
            if (connectionLost)
                *connectionLost = reconnect == DbManager::Reconnect::Lost;
            return false;
        }
    }
}

bool StoreConnection::Execute(QSqlQuery& query, const QString& statement,
                              const QVariantList& values)
{
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        return false;
    for (const QVariant& v : values)
        query.addBindValue(v);
    return query.exec();
}
