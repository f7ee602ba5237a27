#include "RecordReader.h"

#include "LedgerColumns.h"
#include "Period.h"
#include "PgCopy.h"
#include "SqliteHandle.h"
#include "StoreTables.h"
#include "TextPool.h"

#include <QSqlQuery>
#include <libpq-fe.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <sqlite3.h>

#include <memory>
#include <thread>

using StoredValue::Text;

namespace
{

// Reads every row of a select in record order straight into records appended to `out`; the date
// column may come as a date from servers with a real date column.
template <class Record>
void ReadQueryRecords(QSqlQuery& query, const QList<int>& texts, int dateText, QList<Record>& out)
{
    TextPool pool(Record::TextCount);
    while (query.next()) {
        Record& r = out.emplaceBack();
        r.tab_type = query.value(0).toInt();
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const int c = texts[i];
            const QVariant v = query.value(int(i) + 1);
            r.Text(c) = c == dateText && v.typeId() == QMetaType::QDate
                            ? v.toDate().toString(QStringLiteral("yyyy-MM-dd"))
                            : pool.Shared(c, v.toString());
        }
    }
}

// Every text of a record, in record order.
template <class Record> const QList<int>& AllTexts()
{
    static const QList<int> texts = [] {
        QList<int> all;
        for (int c = 0; c < Record::TextCount; ++c)
            all << c;
        return all;
    }();
    return texts;
}

// A select on SQLite read through the library itself: each value is taken once, as the UTF-8
// text SQLite holds, straight into the record, without the driver's per-row copies. On failure
// `out` keeps what it held and `error` says why.
template <class Record>
bool ReadSqliteRecords(sqlite3* handle, const QString& statement, const QVariantList& values,
                       const QList<int>& texts, QList<Record>& out, QString& error)
{
    sqlite3_stmt* select = nullptr;
    const QByteArray sql = statement.toUtf8();
    if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &select, nullptr) !=
        SQLITE_OK) {
        error = QString::fromUtf8(sqlite3_errmsg(handle));
        return false;
    }
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values.at(i);
        if (v.typeId() == QMetaType::Int) {
            sqlite3_bind_int(select, i + 1, v.toInt());
        } else {
            const QByteArray text = v.toString().toUtf8();
            sqlite3_bind_text(select, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
    }
    const qsizetype held = out.size();
    TextPool pool(Record::TextCount);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(select)) == SQLITE_ROW) {
        Record& r = out.emplaceBack();
        r.tab_type = sqlite3_column_int(select, 0);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const int column = int(i) + 1;
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select, column));
            r.Text(texts[i]) = pool.FromUtf8(texts[i], text, sqlite3_column_bytes(select, column));
        }
    }
    if (step != SQLITE_DONE) {
        error = QString::fromUtf8(sqlite3_errmsg(handle));
        out.resize(held);
    }
    sqlite3_finalize(select);
    return step == SQLITE_DONE;
}

// Rows of a PostgreSQL answer from which its records are made on two threads.
constexpr int SplitRows = 20000;

// Runs `work(from, to)` over [0, count), the upper half on a second thread when there are rows
// enough to be worth one.
template <class Work> void InHalves(int count, const Work& work)
{
    if (count >= SplitRows && std::thread::hardware_concurrency() > 1) {
        std::thread other(work, count / 2, count);
        work(0, count / 2);
        other.join();
    } else {
        work(0, count);
    }
}

// A statement's "?" placeholders as PostgreSQL numbers them ($1, $2 ...); the statements here
// hold no "?" but their placeholders.
QByteArray PgStatement(const QString& statement)
{
    QString numbered;
    int n = 0;
    for (const QChar c : statement)
        numbered += c == QLatin1Char('?') ? QStringLiteral("$%1").arg(++n) : QString(c);
    return numbered.toUtf8();
}

// A select on PostgreSQL read through the client library with every row in one answer, each
// value taken as the text the server sends, straight into the record: the driver hands over one
// answer per row and a variant per value, which costs more than the rows themselves. Only when
// the server writes dates as ISO, as the records hold them. False when it could not be run this
// way (the reason in `error`, and `out` as it was): the caller runs it through the driver, which
// also opens a lost connection again.
template <class Record>
bool ReadPgRecords(pg_conn* connection, const QString& statement, const QVariantList& values,
                   const QList<int>& texts, QList<Record>& out)
{
    const char* dateStyle = PQparameterStatus(connection, "DateStyle");
    if (PQstatus(connection) != CONNECTION_OK || !dateStyle || qstrncmp(dateStyle, "ISO", 3) != 0)
        return false;
    std::vector<QByteArray> bytes;
    std::vector<const char*> params;
    for (const QVariant& v : values)
        bytes.push_back(v.toString().toUtf8());
    for (const QByteArray& b : bytes)
        params.push_back(b.constData());
    const std::unique_ptr<PGresult, decltype(&PQclear)> result(
        PQexecParams(connection, PgStatement(statement).constData(), int(params.size()), nullptr,
                     params.data(), nullptr, nullptr, 0),
        &PQclear);
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        return false;
    const int rows = PQntuples(result.get());
    const qsizetype held = out.size();
    out.reserve(held + rows);
    // The first write to a page of fresh memory traps into the kernel, which on a virtual machine
    // costs more than filling the page: two threads touch the records' room first, a page each
    // step, so that making the records finds it ready.
    char* const room = reinterpret_cast<char*>(out.data() + held);
    InHalves(rows, [room](int from, int to) {
        constexpr std::size_t Step = 4096; // no page is smaller
        for (std::size_t at = std::size_t(from) * sizeof(Record);
             at < std::size_t(to) * sizeof(Record); at += Step)
            room[at] = 0;
    });
    out.resize(held + rows);
    Record* const records = out.data() + held;
    const PGresult* answer = result.get();
    const auto read = [&](int from, int to) {
        TextPool pool(Record::TextCount);
        for (int row = from; row < to; ++row) {
            Record& r = records[row];
            r.tab_type = atoi(PQgetvalue(answer, row, 0));
            for (qsizetype i = 0; i < texts.size(); ++i) {
                const int column = int(i) + 1;
                if (!PQgetisnull(answer, row, column))
                    r.Text(texts[i]) = pool.FromUtf8(texts[i], PQgetvalue(answer, row, column),
                                                     PQgetlength(answer, row, column));
            }
        }
    };
    // Making the records of a large answer costs more than the server's work on it: a second
    // thread makes half of them (an answer is only read, which the library allows from any
    // thread; each half has its own pool).
    InHalves(rows, read);
    return true;
}

} // namespace

void RecordReader::GiveBackFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

bool RecordReader::Products(int timeMode, int kind, const QString& startDate,
                            const QString& queryDate, QList<ProductRecord>& out) const
{
    return ProductTexts(timeMode, kind, startDate, queryDate, AllTexts<ProductRecord>(), out);
}

bool RecordReader::ProductTexts(int timeMode, int kind, const QString& startDate,
                                const QString& queryDate, const QList<int>& texts,
                                QList<ProductRecord>& out) const
{
    const PeriodSelect select{StoreTables::Product, LedgerColumns::ProductSelectList(texts),
                              QStringLiteral("product_time"), LedgerColumns::ProductDateText};
    return InPeriod(select, timeMode, kind, startDate, queryDate, texts, out);
}

bool RecordReader::Finances(int timeMode, int kind, const QString& startDate,
                            const QString& queryDate, QList<FinanceRecord>& out) const
{
    return FinanceTexts(timeMode, kind, startDate, queryDate, AllTexts<FinanceRecord>(), out);
}

bool RecordReader::FinanceTexts(int timeMode, int kind, const QString& startDate,
                                const QString& queryDate, const QList<int>& texts,
                                QList<FinanceRecord>& out) const
{
    const PeriodSelect select{StoreTables::Finance, LedgerColumns::FinanceSelectList(texts),
                              QStringLiteral("ie_time"), LedgerColumns::FinanceDateText};
    return InPeriod(select, timeMode, kind, startDate, queryDate, texts, out);
}

bool RecordReader::Stored(int kind, const QStringList& serials, QList<ProductRecord>& out) const
{
    return StoredIn(StoreTables::Product, LedgerColumns::ProductSelectList(),
                    QStringLiteral("product_serial"), LedgerColumns::ProductDateText, kind, serials,
                    out);
}

bool RecordReader::Stored(int kind, const QStringList& serials, QList<FinanceRecord>& out) const
{
    return StoredIn(StoreTables::Finance, LedgerColumns::FinanceSelectList(),
                    QStringLiteral("ie_serial"), LedgerColumns::FinanceDateText, kind, serials,
                    out);
}

template <class Record>
bool RecordReader::StoredIn(const QString& table, const QString& columns,
                            const QString& serialColumn, int dateText, int kind,
                            const QStringList& serials, QList<Record>& out) const
{
    // Well inside every server's limit on the values of one statement.
    constexpr qsizetype PerSelect = 500;
    for (qsizetype first = 0; first < serials.size(); first += PerSelect) {
        const QStringList part = serials.mid(first, PerSelect);
        QVariantList values{Text(storeNo), kind};
        for (const QString& serial : part)
            values << Text(serial);
        const QString statement =
            QStringLiteral("select %1 from %2 where store_no=? and tab_type=? and %3 in (%4)")
                .arg(columns, table, serialColumn,
                     QStringList(part.size(), QStringLiteral("?")).join(QLatin1Char(',')));
        if (!Read(statement, values, AllTexts<Record>(), dateText, out))
            return false;
    }
    return true;
}

template <class Record>
bool RecordReader::InPeriod(const PeriodSelect& select, int timeMode, int kind,
                            const QString& startDate, const QString& queryDate,
                            const QList<int>& texts, QList<Record>& out) const
{
    const QString& dateColumn = select.dateColumn;
    QString statement =
        QStringLiteral("select %1 from %2 where store_no=?").arg(select.columns, select.table);
    QVariantList values = {Text(storeNo)};
    if (timeMode == 1) {
        statement += QStringLiteral(" and %1=?").arg(dateColumn);
        values << Text(queryDate);
    } else if (timeMode >= 2 && timeMode <= 4) {
        const std::optional<Period> period = Period::ForMode(timeMode, startDate, queryDate);
        if (!period)
            return StoreConnection::Fail(QStringLiteral("无法识别的日期 %1").arg(queryDate));
        statement += QStringLiteral(" and %1 between ? and ?").arg(dateColumn);
        values << Text(period->first) << Text(period->last);
    } else if (timeMode != 5) {
        return StoreConnection::Fail(QStringLiteral("没有第%1种时间方式").arg(timeMode));
    }
    if (kind >= 0) {
        statement += QStringLiteral(" and tab_type=?");
        values << kind;
    }
    return Read(statement, values, texts, select.dateText, out);
}

template <class Record>
bool RecordReader::Read(const QString& statement, const QVariantList& values,
                        const QList<int>& texts, int dateText, QList<Record>& out) const
{
    const QSqlDatabase db = connection.Database();
    const qsizetype held = out.size();
    // Many rows leave freed memory between the records' (the server's answer, the library's
    // pages, the pool's tables); it is given back to the system rather than kept by the process,
    // unless the reader keeps it for more reads to come.
    const auto trimmed = [this, &out, held] {
        if (giveBack && out.size() - held >= 10000)
            GiveBackFreedMemory();
        return true;
    };
    if (sqlite3* handle = SqliteHandle(db)) {
        QString error;
        if (!ReadSqliteRecords(handle, statement, values, texts, out, error))
            return StoreConnection::Fail(error);
        // The library's page cache, filled by the read, goes back with it.
        if (giveBack && out.size() - held >= 10000)
            sqlite3_db_release_memory(handle);
        return trimmed();
    }
    if (pg_conn* pg = PgCopy::Connection(db);
        pg && ReadPgRecords(pg, statement, values, texts, out))
        return trimmed();
    QSqlQuery query(db);
    if (!connection.Run(query, statement, values))
        return false;
    ReadQueryRecords(query, texts, dateText, out);
    return true;
}
