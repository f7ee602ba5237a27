#include "DatabaseEngine.h"
#include "DbManager.h"
#include "DemoData.h"
#include "DemoWriter.h"
#include "FakeTdsServer.h"
#include "OdbcDriver.h"
#include "RecordingDriver.h"
#include "ReorderLevels.h"
#include "SampleGoods.h"
#include "Schema.h"
#include "ShopReader.h"
#include "SqlDialect.h"
#include "StoreTables.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace
{

// The statements of one piece of the store's work, as sent.
struct Phase {
    QString name;
    QList<SentStatement> statements;
};

// The text with its string literals blanked out (their quotes kept), so that what is checked is
// the statement's own words.
QString Code(const QString& text)
{
    QString code = text;
    bool inLiteral = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        if (code.at(i) == QLatin1Char('\''))
            inLiteral = !inLiteral;
        else if (inLiteral)
            code[i] = QLatin1Char(' ');
    }
    return code;
}

// The positions of the bound-value markers.
QList<qsizetype> Markers(const QString& code)
{
    QList<qsizetype> at;
    for (qsizetype i = 0; i < code.size(); ++i) {
        if (code.at(i) == QLatin1Char('?'))
            at << i;
    }
    return at;
}

// The statement as SQL Server's own clients write it: @p1, @p2, ... for the bound values.
QString WithParameters(const QString& text)
{
    const QString code = Code(text);
    QString out;
    int n = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        out += code.at(i) == QLatin1Char('?') ? QStringLiteral("@p%1").arg(++n) : text.at(i);
    return out;
}

// The grammar has no return-status assignment in EXECUTE ("EXEC @status = procedure"), which
// SQL Server documents at
// https://learn.microsoft.com/en-us/sql/t-sql/language-elements/execute-transact-sql
// (syntax: [ { EXEC | EXECUTE } ] { [ @return_status = ] module_name ... }). The lock statement
// uses it to read sp_getapplock's result; the grammar checks the rest of it with the assignment
// left out, and serverLockAnswerIsRead checks the assignment is there.
QString ForGrammar(const QString& text)
{
    static const QRegularExpression status(QStringLiteral(R"(exec @\w+ = )"));
    return WithParameters(text).replace(status, QStringLiteral("exec "));
}

// Rows of every VALUES list: the parenthesised groups that follow the word, at the top level.
QList<int> ValuesRows(const QString& code)
{
    static const QRegularExpression values(QStringLiteral(R"(\bvalues\s*\()"),
                                           QRegularExpression::CaseInsensitiveOption);
    QList<int> counts;
    for (auto it = values.globalMatch(code); it.hasNext();) {
        qsizetype i = it.next().capturedEnd() - 1;
        int rows = 0;
        while (i < code.size() && code.at(i) == QLatin1Char('(')) {
            ++rows;
            for (int depth = 0; i < code.size(); ++i) {
                depth += code.at(i) == QLatin1Char('(')   ? 1
                         : code.at(i) == QLatin1Char(')') ? -1
                                                          : 0;
                if (depth == 0)
                    break;
            }
            ++i;
            while (i < code.size() && (code.at(i) == QLatin1Char(',') || code.at(i).isSpace()))
                ++i;
        }
        counts << rows;
    }
    return counts;
}

// Words of other servers' SQL that SQL Server does not have.
QStringList ForeignWords(const QString& code)
{
    static const QList<QPair<QString, QRegularExpression>> words = {
        {"LIMIT", QRegularExpression(R"(\blimit\b)", QRegularExpression::CaseInsensitiveOption)},
        {"||", QRegularExpression(R"(\|\|)")},
        {"ILIKE", QRegularExpression(R"(\bilike\b)", QRegularExpression::CaseInsensitiveOption)},
        {"::", QRegularExpression(R"(::)")},
        {"BEGIN IMMEDIATE",
         QRegularExpression(R"(\bbegin\s+immediate\b)", QRegularExpression::CaseInsensitiveOption)},
        {"RETURNING",
         QRegularExpression(R"(\breturning\b)", QRegularExpression::CaseInsensitiveOption)},
    };
    QStringList found;
    for (const auto& [name, pattern] : words) {
        if (code.contains(pattern))
            found << name;
    }
    return found;
}

// SQL Server's reserved keywords
// (https://learn.microsoft.com/en-us/sql/t-sql/language-elements/reserved-keywords-transact-sql)
// that read like names a table or column could have.
const QStringList& ReservedNames()
{
    static const QStringList names = {
        "add",     "all",          "begin",        "by",           "check",        "column",
        "commit",  "current",      "current_date", "current_time", "current_user", "database",
        "default", "delete",       "file",         "function",     "group",        "identity",
        "index",   "key",          "left",         "merge",        "national",     "number",
        "of",      "open",         "order",        "percent",      "plan",         "primary",
        "print",   "proc",         "public",       "read",         "right",        "rule",
        "schema",  "session_user", "set",          "size",         "system_user",  "table",
        "top",     "tran",         "type",         "union",        "unique",       "update",
        "user",    "values",       "view",         "when",         "where",        "with"};
    return names;
}

// The names of the program's tables and columns that are reserved words.
QStringList ReservedSchemaNames()
{
    QStringList reserved;
    for (const TableSchema& table : Schema::Tables()) {
        const QStringList names = QStringList(table.columns) << table.name << "id";
        for (const QString& name : names) {
            if (ReservedNames().contains(name.toLower()))
                reserved << name;
        }
    }
    return reserved;
}

// The bound values compared with, or stored in, a date column.
QVariantList DateValues(const QString& code, const QVariantList& values)
{
    static const QRegularExpression compared(
        QStringLiteral(R"(\b(product_time|ie_time)\s*(=|<=|>=|<|>|between)\s*\?)"));
    static const QRegularExpression inserted(QStringLiteral(R"(insert into \w+\s*\(([^)]*)\))"));
    const QList<qsizetype> markers = Markers(code);
    QVariantList dates;
    for (auto it = compared.globalMatch(code); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const qsizetype first = markers.indexOf(m.capturedEnd() - 1);
        dates << values.value(first);
        if (m.captured(2) == QLatin1String("between"))
            dates << values.value(first + 1);
    }
    const QRegularExpressionMatch insert = inserted.match(code);
    if (insert.hasMatch()) {
        const QStringList columns = insert.captured(1).split(QLatin1Char(','));
        for (const QString& dateColumn :
             {QStringLiteral("product_time"), QStringLiteral("ie_time")}) {
            const qsizetype at = columns.indexOf(dateColumn);
            for (qsizetype row = at; at >= 0 && row < values.size(); row += columns.size())
                dates << values.at(row);
        }
    }
    return dates;
}

// What a statement does, for the counts the test prints.
QString Kind(const QString& code)
{
    const QString lower = code.toLower();
    if (lower.contains(QLatin1String("sp_getapplock")))
        return QStringLiteral("lock");
    if (lower.contains(QLatin1String("create table")))
        return QStringLiteral("create table");
    if (lower.contains(QLatin1String("create index")))
        return QStringLiteral("create index");
    if (lower.startsWith(QLatin1String("insert")))
        return ValuesRows(code).value(0) > 1 ? QStringLiteral("multi-row insert")
                                             : QStringLiteral("insert");
    if (lower.startsWith(QLatin1String("select count(")))
        return QStringLiteral("count");
    return lower.section(QLatin1Char(' '), 0, 0);
}

} // namespace

// Every statement the data store sends to a SQL Server, made by the program's own code with the
// SQL Server driver's dialect, is read by an independent T-SQL grammar and held to the server's
// limits.
class TsqlStatementsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QList<Phase> phases;
    DatabaseEngine* engine = DatabaseEngine::Instance();

    void Record(const QString& name) { phases.append({name, RecordingDriver::Take()}); }

    QList<SentStatement> All() const
    {
        QList<SentStatement> all;
        for (const Phase& phase : phases)
            all += phase.statements;
        return all;
    }

    static QList<ProductRecord> Goods(int count, int kind)
    {
        QList<ProductRecord> rows;
        for (int i = 0; i < count; ++i)
            rows << SampleGoods(kind, QStringLiteral("2024-05-01 10:%1").arg(i, 5, 10, QChar('0')),
                                QStringLiteral("2024-05-%1").arg(1 + i % 28, 2, 10, QChar('0')),
                                QStringLiteral("型号'%1").arg(i % 7));
        return rows;
    }

    static QList<FinanceRecord> Money(int count, int kind)
    {
        QList<FinanceRecord> rows;
        for (int i = 0; i < count; ++i) {
            FinanceRecord r;
            r.tab_type = kind;
            r.ie_serial = QStringLiteral("2024-05-02 09:%1").arg(i, 5, 10, QChar('0'));
            r.ie_time = QStringLiteral("2024-05-02");
            r.ie_item = QStringLiteral("房租");
            r.ie_sum = QStringLiteral("1200.50");
            rows << r;
        }
        return rows;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        RecordingDriver::Install(dir.filePath("backing.db"));
        const QString config = dir.filePath("dBConfig.ini");
        {
            QSettings ini(config, QSettings::IniFormat);
            ini.setValue("Driver/TYPE", RecordingDriver::Type);
            ini.setValue("Driver/ODBC", "ODBC Driver 18 for SQL Server");
            ini.setValue("HostName/IP", "shop-server");
            ini.setValue("DatabaseName/DATABASE", "ledger");
            ini.setValue("UserName/UID", "sa");
            ini.setValue("Password/PWD", "secret");
            ini.setValue("StoreNo/No", "STORE-A");
        }
        QVERIFY2(DbManager::Instance()->ConnectFromConfig(config),
                 qPrintable(DbManager::Instance()->ConnectError()));
        engine->SetDbManager(DbManager::Instance());
        engine->SetStoreNo("STORE-A");
        Record("tables and indexes");
    }

    void collectEveryStatement()
    {
        ProductRecord goods = SampleGoods(0, "2024-05-01 08:00:00", "2024-05-01", "A1");
        FinanceRecord money = Money(1, 4).first();
        QVERIFY(engine->SaveProductInfo(goods));
        goods.product_num = "5";
        QVERIFY(engine->SaveProductInfo(goods)); // stored: an update
        QVERIFY(engine->SaveFinanceInfo(money));
        money.ie_sum = "99";
        QVERIFY(engine->SaveFinanceInfo(money));
        QVERIFY(engine->DeleteProductInfo(goods));
        QVERIFY(engine->DeleteFinanceInfo(money));
        Record("single saves and deletes");

        QList<ProductRecord> goodsRows;
        QList<FinanceRecord> moneyRows;
        for (int mode = 1; mode <= 5; ++mode) {
            for (int kind : {-1, 2}) {
                QVERIFY(engine->SelectProductRecords(mode, kind, "2024-05-01", "2024-05-20",
                                                     goodsRows));
                QVERIFY(engine->SelectFinanceRecords(mode, kind, "2024-05-01", "2024-05-20",
                                                     moneyRows));
            }
        }
        Record("period selects");

        for (int round = 0; round < 2; ++round) { // inserts first, then the same keys again
            for (const auto& result :
                 engine->SaveProductBatch(Goods(DatabaseEngine::BatchRows + 37, 0)))
                QCOMPARE(result.error, QString());
            for (const auto& result : engine->SaveFinanceBatch(Money(1100, 6)))
                QCOMPARE(result.error, QString());
        }
        QCOMPARE(engine->CountProductInfo(0), qint64(DatabaseEngine::BatchRows + 37));
        QCOMPARE(engine->CountFinanceInfo(6), qint64(1100));
        Record("batch saves and counts");

        UserRecord user{1, 0, "13800000000", "店长", "pw'1", "", ""};
        QVERIFY(engine->SaveUserInfo(user));
        user.user_type = 2;
        QVERIFY(engine->SaveUserInfo(user));
        QVERIFY(engine->LoadUserInfo(user));
        QCOMPARE(engine->CheckUserPassword("店长", "pw'1"), DatabaseEngine::Answer::Yes);
        QCOMPARE(engine->HasUserAccounts(), DatabaseEngine::Answer::Yes);
        QVERIFY(engine->ReplaceUserAccounts({user, UserRecord{3, 0, "139", "店员", "x", "", ""}}));
        QVERIFY(engine->DeleteUserInfo(user));
        for (int table : {1, 2}) {
            ListRecord list{3, "红;蓝"};
            QVERIFY(engine->SaveListInfo(table, list));
            QVERIFY(engine->SaveListInfo(table, list));
            QVERIFY(engine->LoadListInfo(table, list));
            QVERIFY(engine->DeleteListInfo(table, 3));
        }
        Record("accounts and lists");

        ReorderLevels levels(*DbManager::Instance(), "STORE-A");
        QList<ReorderLevel> stored;
        QVERIFY2(levels.Save({{"A1", "红", "一号库", 5}, {"B'2", "", "", 3}}),
                 qPrintable(levels.LastError()));
        QVERIFY2(levels.Save({{"A1", "红", "一号库", 0}}), qPrintable(levels.LastError()));
        QVERIFY(levels.Load(stored));
        QCOMPARE(stored.size(), 1);
        ChainConfig chain;
        chain.shops = {{"STORE-A", "总店"}, {"STORE-B", "分店"}};
        for (const ChainConfig::Shop& shop : std::as_const(chain.shops)) {
            ShopReader reader(chain, shop.storeNo);
            QVERIFY(reader.SelectProductRecords(3, 2, "", "2024-05-20", goodsRows));
            QVERIFY(reader.SelectFinanceRecords(3, -1, "", "2024-05-20", moneyRows));
        }
        Record("reorder levels and a chain's shops");

        DemoOptions options;
        options.goodsPerStore = 1200;
        options.moneyPerStore = 600;
        options.firstStoreNo = "STORE-B";
        DemoWriter writer;
        QVERIFY2(writer.Write(DemoData::Build(options).first()), qPrintable(writer.Error()));
        Record("generator's bulk writes");

        const QString script = dir.filePath("backup.sql");
        const BackupResult backup = engine->BackupToScript(script);
        QVERIFY2(backup.ok, qPrintable(backup.error));
        Record("backup");
        const RestoreResult restore = engine->RestoreFromScript(script);
        QVERIFY2(restore.ok, qPrintable(restore.error));
        QCOMPARE(engine->CountProductInfo(0), qint64(DatabaseEngine::BatchRows + 37));
        Record("restore");

        QVERIFY(engine->ClearProductInfo(0));
        QVERIFY(engine->ClearFinanceInfo(6));
        QVERIFY(engine->DeleteStoreRows(StoreTables::Prestore));
        Record("clears");

        for (const Phase& phase : std::as_const(phases)) {
            QMap<QString, int> verbs;
            for (const SentStatement& s : phase.statements)
                ++verbs[Kind(Code(s.text))];
            QStringList counts;
            for (auto it = verbs.cbegin(); it != verbs.cend(); ++it)
                counts << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
            qInfo("%s: %lld statements (%s)", qPrintable(phase.name),
                  qlonglong(phase.statements.size()), qPrintable(counts.join(", ")));
        }
    }

    void grammarAcceptsEveryStatement()
    {
        const QString node = QStandardPaths::findExecutable("node");
        QVERIFY2(!node.isEmpty(), "node is not installed (./ledger.sh test installs it)");
        QStringList texts;
        for (const SentStatement& s : All()) {
            const QString text = ForGrammar(s.text);
            if (!texts.contains(text))
                texts << text;
        }
        QProcess grammar;
        grammar.start(node, {TSQL_CHECK});
        QVERIFY(grammar.waitForStarted());
        grammar.write(QJsonDocument(QJsonArray::fromStringList(texts)).toJson());
        grammar.closeWriteChannel();
        QVERIFY(grammar.waitForFinished(120000));
        QVERIFY2(grammar.exitCode() == 0, grammar.readAllStandardError().constData());
        const QJsonArray refused = QJsonDocument::fromJson(grammar.readAllStandardOutput()).array();
        for (const QJsonValue& r : refused)
            qWarning("refused: %s\n  %s", qPrintable(texts.at(r["index"].toInt()).left(400)),
                     qPrintable(r["error"].toString().left(300)));
        qInfo("%lld different statement texts read by the T-SQL grammar, %lld refused",
              qlonglong(texts.size()), qlonglong(refused.size()));
        QCOMPARE(refused.size(), 0);
    }

    void serverLimitsHold()
    {
        const QStringList reserved = ReservedSchemaNames();
        static const QRegularExpression isoDate(QStringLiteral(R"(^\d{4}-\d{2}-\d{2}$)"));
        int maxValues = 0;
        int maxRows = 0;
        int dates = 0;
        for (const SentStatement& s : All()) {
            const QString code = Code(s.text);
            const QString shown = s.text.left(200);
            QCOMPARE(Markers(code).size(), s.values.size());
            QVERIFY2(s.values.size() <= 2100, qPrintable(shown));
            maxValues = qMax(maxValues, int(s.values.size()));
            for (int rows : ValuesRows(code)) {
                QVERIFY2(rows <= 1000, qPrintable(shown));
                maxRows = qMax(maxRows, rows);
            }
            QVERIFY2(ForeignWords(code).isEmpty(),
                     qPrintable(ForeignWords(code).join(", ") + " in " + shown));
            for (const QString& name : reserved) {
                const QRegularExpression bare("(?<!\\[)\\b" + name + "\\b(?!\\])",
                                              QRegularExpression::CaseInsensitiveOption);
                QVERIFY2(!code.contains(bare), qPrintable(name + " not bracketed in " + shown));
            }
            for (const QVariant& date : DateValues(code, s.values)) {
                ++dates;
                QVERIFY2(date.toString().contains(isoDate),
                         qPrintable(date.toString() + " in " + shown));
            }
        }
        qInfo("largest statement: %d bound values; longest VALUES list: %d rows; %d date values",
              maxValues, maxRows, dates);
        // The largest batches were sent: the limits were checked where they bite.
        QVERIFY(maxValues > 1000);
        QVERIFY(maxRows > 50);
        QVERIFY(dates > 0);
    }

    // A lock the server refuses (sp_getapplock answers below zero) fails the save: nothing is
    // stored and the reason is given.
    void refusedLockFailsTheSave()
    {
        const bool seen = std::any_of(phases.cbegin(), phases.cend(), [](const Phase& phase) {
            return std::any_of(phase.statements.cbegin(), phase.statements.cend(),
                               [](const SentStatement& s) {
                                   return s.text.contains("exec @granted = sp_getapplock");
                               });
        });
        QVERIFY2(seen, "the lock's answer is not read");
        const ProductRecord goods = SampleGoods(1, "2024-06-01 08:00:00", "2024-06-01", "L1");
        RecordingDriver::SetLockAnswer(-1);
        const bool saved = engine->SaveProductInfo(goods);
        const QList<DatabaseEngine::BatchResult> batch = engine->SaveProductBatch(Goods(3, 1));
        RecordingDriver::SetLockAnswer(0);
        QVERIFY(!saved);
        QVERIFY2(engine->LastError().contains("锁定"), qPrintable(engine->LastError()));
        for (const DatabaseEngine::BatchResult& result : batch) {
            QVERIFY(result.outcome != DatabaseEngine::BatchResult::Inserted);
            QVERIFY2(result.error.contains("锁定"), qPrintable(result.error));
        }
        QCOMPARE(engine->CountProductInfo(1), qint64(0));
        QVERIFY(engine->SaveProductInfo(goods));
        QCOMPARE(engine->CountProductInfo(1), qint64(1));
    }
};

// Through the real ODBC path: FreeTDS logs in to a server that answers like SQL Server, and the
// first statements the program sends after the login arrive as the program built them.
class FreeTdsPathTest : public QObject
{
    Q_OBJECT
private slots:
    void tableCheckArrivesAsBuilt()
    {
        if (!OdbcDriver::IsFreeTds("FreeTDS"))
            QSKIP("FreeTDS not installed");
        FakeTdsServer server(FakeTdsServer::AnswerEverything);
        QTemporaryDir dir;
        const QString config = dir.filePath("dBConfig.ini");
        {
            QSettings ini(config, QSettings::IniFormat);
            ini.setValue("Driver/TYPE", "QODBC");
            ini.setValue("Driver/ODBC", "FreeTDS");
            ini.setValue("HostName/IP", "127.0.0.1");
            ini.setValue("Port/PORT", server.Port());
            ini.setValue("DatabaseName/DATABASE", "ledger");
            ini.setValue("UserName/UID", "sa");
            ini.setValue("Password/PWD", "secret");
        }
        qputenv("TDSVER", "7.0");
        // The server answers every request with nothing, so the tables never show up and the
        // connection is refused in the end; what matters is what was sent before.
        DbManager::Instance()->ConnectFromConfig(config);
        DbManager::Instance()->Disconnect();
        qunsetenv("TDSVER");
        QCOMPARE(server.Login(), QStringList({"sa", "secret", "ledger"}));
        const QList<QByteArray> requests = server.Requests();
        const SqlDialect dialect(SqlDialect::SqlServer);
        // The server never lists a table, so each is created as the database's first.
        QStringList built;
        for (const TableSchema& table : Schema::Tables())
            built << dialect.CreateTableStatement(table.name, table.columns, table.types, true)
                  << dialect.IndexStatements(table.name);
        // Each request carrying one of the program's statements, in the order sent.
        QStringList programs;
        for (const QByteArray& request : requests) {
            qInfo("sent: %s", request.left(request.indexOf(' ', 5)).constData());
            for (const QString& statement : std::as_const(built)) {
                const QByteArray utf16(reinterpret_cast<const char*>(statement.utf16()),
                                       statement.size() * 2);
                if (request.contains(utf16))
                    programs << statement;
            }
        }
        QCOMPARE(programs.mid(0, built.size()), built);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TsqlStatementsTest statements;
    FreeTdsPathTest freeTds;
    return QTest::qExec(&statements, argc, argv) | QTest::qExec(&freeTds, argc, argv);
}

#include "tst_tsql.moc"
