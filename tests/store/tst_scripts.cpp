// Backup scripts: reading them, and backup/restore round trips on every back end and across them.
#include "BackupWriter.h"
#include "DatabaseEngine.h"
#include "DatabaseFixture.h"
#include "DbManager.h"
#include "DemoData.h"
#include "DemoWriter.h"
#include "ScriptReader.h"
#include "StoreTables.h"
#include "TestDatabase.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

namespace
{

struct Read {
    QList<ScriptRow> rows;
    SkipReport skipped;
};

Read ReadScript(const QByteArray& text)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    ScriptReader reader(buffer);
    Read read;
    ScriptRow row;
    while (reader.Next(row, read.skipped))
        read.rows << row;
    return read;
}

const QVariant Null;

QString ValueText(const QVariant& value)
{
    QString text;
    BackupWriter::AppendValue(text, value);
    return text;
}

// Inserts one row with bound values, as any other program could have written it.
void Insert(const QString& table, const QStringList& columns, const QVariantList& values)
{
    QSqlQuery query(DbManager::Instance()->Database());
    QStringList marks(columns.size(), "?");
    QVERIFY(query.prepare(QStringLiteral("insert into %1(%2) values(%3)")
                              .arg(table, columns.join(','), marks.join(','))));
    for (const QVariant& v : values)
        query.addBindValue(v.isValid() ? v : QVariant(QMetaType::fromType<QString>()));
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
}

const QStringList ProductColumns = {
    "tab_type",       "product_serial",   "product_class",  "product_name",   "product_model",
    "product_color",  "product_code",     "product_size",   "product_time",   "product_store",
    "product_num",    "product_price",    "product_total",  "product_pay",    "product_debt",
    "product_supply", "product_purchase", "product_oddNum", "product_record", "prodcut_remark",
    "store_no"};
const QStringList FinanceColumns = {"tab_type",  "ie_serial", "ie_item", "ie_sum",
                                    "ie_time",   "ie_client", "ie_sale", "ie_cert",
                                    "ie_record", "ie_remark", "store_no"};
const QStringList ListColumns = {"info_type", "info_list", "store_no"};
const QStringList UserColumns = {"user_phoneno", "user_name", "user_password", "user_type",
                                 "user_online",  "user_ip",   "user_remark",   "store_no"};

// Texts a backup must carry through unchanged.
const QStringList Awkward = {"O'Brien's",
                             "a;b; drop table tb_sm_user;",
                             "line one\nline two",
                             "-- not a comment",
                             "衬衫（红）",
                             "",
                             "''",
                             "tab\there\r\nend;"};

// Fills every table for `store`, with awkward texts, empty and NULL values, dates and numbers.
void FillStore(const QString& store, int rows)
{
    for (int i = 0; i < rows; ++i) {
        const QString text = Awkward.at(i % Awkward.size());
        QVariantList goods = {i % 5,
                              QStringLiteral("2024-03-%1 10:00:00:%2").arg(i % 28 + 1).arg(i),
                              text,
                              "衬衫",
                              Null,
                              "",
                              "C-" + QString::number(i),
                              text,
                              QStringLiteral("2024-03-%1").arg(i % 28 + 1, 2, 10, QChar('0')),
                              "一号仓",
                              "2.50",
                              "0.1",
                              "1e3",
                              "-4",
                              text,
                              text,
                              text,
                              text,
                              "录入员",
                              text + "\n" + text,
                              store};
        if (i % 3 == 0)
            goods[8] = Null; // a goods row without a date
        Insert("tb_sm_product_info", ProductColumns, goods);
        Insert("tb_sm_finance_info", FinanceColumns,
               {i % 7, QStringLiteral("s%1").arg(i), text, "99.5", "2024-03-15", Null, text, "",
                "记账", text, store});
    }
    Insert("tb_sm_prestore_info", ListColumns, {3, "红-1;蓝##2&&5;O'Neil", store});
    Insert("tb_sm_person_info", ListColumns, {0, Null, store});
    Insert("tb_sm_user", UserColumns,
           {"13900000000", "店长", "p'w;--", 1, 0, "10.0.0.1", "备注\n第二行", store});
}

QString Normal(const QVariant& v)
{
    if (v.isNull())
        return "<null>";
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString("yyyy-MM-dd");
    if (v.typeId() == QMetaType::QByteArray)
        return "bytes:" + v.toByteArray().toHex();
    return v.toString();
}

// Every row of one store in every table, without ids, in id order, values as comparable texts.
QList<QStringList> Snapshot(const QString& store)
{
    QList<QStringList> rows;
    for (const QString& table : StoreTables::All) {
        QSqlQuery query(DbManager::Instance()->Database());
        query.prepare(QStringLiteral("select * from %1 where store_no=? order by id").arg(table));
        query.addBindValue(store);
        if (!query.exec())
            qWarning() << query.lastError().text();
        while (query.next()) {
            QStringList row{table};
            for (int i = 1; i < query.record().count(); ++i)
                row << Normal(query.value(i));
            rows << row;
        }
    }
    return rows;
}

QStringList FileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {"<unreadable>"};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

// The reader alone, on scripts in memory.
class ScriptReaderTest : public QObject
{
    Q_OBJECT
private slots:
    void valuesOfEveryForm()
    {
        const Read read = ReadScript(
            "insert into tb_sm_user(user_phoneno,user_name,user_type,user_online,user_remark,"
            "store_no) values('O''Brien','a;b', -3 ,null,E'00ff41','S');\n"
            "INSERT INTO TB_SM_PRODUCT_INFO (TAB_TYPE,product_time,product_num,product_oddnum) "
            "VALUES (2.5,2024-01-05,2.50,null)\n");
        QCOMPARE(read.skipped.Count(), 0);
        QCOMPARE(read.rows.size(), 2);
        const ScriptRow& user = read.rows[0];
        QCOMPARE(user.line, 1);
        QCOMPARE(user.table->name, QString("tb_sm_user"));
        QCOMPARE(user.Value("user_phoneno"), QVariant("O'Brien"));
        QCOMPARE(user.Value("user_name"), QVariant("a;b"));
        QCOMPARE(user.Value("user_type"), QVariant(qlonglong(-3)));
        QVERIFY(user.Value("user_online").isNull());
        QCOMPARE(user.Value("user_remark"), QVariant(QByteArray("\x00\xff\x41", 3)));
        const ScriptRow& goods = read.rows[1];
        QCOMPARE(goods.Value("tab_type"), QVariant(2.5));
        QCOMPARE(goods.Value("product_time"), QVariant("2024-01-05")); // as older backups wrote it
        QCOMPARE(goods.Value("product_num"), QVariant("2.50"));        // digits kept for texts
        QCOMPARE(goods.table->columns.at(goods.columns[3]), QString("product_oddNum"));
        QVERIFY(goods.Value("product_oddNum").isNull());
        QCOMPARE(goods.Value("product_oddNum").typeId(), QMetaType::QString);
    }

    void quotedTextsRunOverLineBreaks()
    {
        const Read read = ReadScript("insert into tb_sm_user(user_remark) values('one\n"
                                     "two;\n"
                                     "''three''');\n"
                                     "insert into tb_sm_user(user_remark) values('four');\n");
        QCOMPARE(read.skipped.Count(), 0);
        QCOMPARE(read.rows.size(), 2);
        QCOMPARE(read.rows[0].Value("user_remark"), QVariant("one\ntwo;\n'three'"));
        QCOMPARE(read.rows[1].line, 4);
    }

    void foreignAndBrokenLinesAreSkippedOneByOne()
    {
        const Read read =
            ReadScript("drop table tb_sm_user;\n"                                              // 1
                       "insert into tb_sm_user(user_name) values('ok1');\n"                    // 2
                       "delete from tb_sm_product_info where 1=1;\n"                           // 3
                       "insert into pg_user(usename) values('x');\n"                           // 4
                       "insert into tb_sm_user(user_name) values('O'Brien');\n"                // 5
                       "insert into tb_sm_user(user_name) values('ok2');\n"                    // 6
                       "insert into tb_sm_user(id,user_name) values(1,'x');\n"                 // 7
                       "insert into tb_sm_user(user_name) values('a',);\n"                     // 8
                       "insert into tb_sm_user(user_name) values('a'); drop table x;\n"        // 9
                       "insert into tb_sm_user(user_name,user_ip) values('a');\n"              // 10
                       "insert into tb_sm_user(user_name) values(char(39));\n"                 // 11
                       "\n"                                                                    // 12
                       "insert into tb_sm_user(user_name) values('stray'',1);\n"               // 13
                       "insert into tb_sm_user(user_name) values('ok3');\n"                    // 14
                       "insert into tb_sm_user(user_name) select user_name from tb_sm_user;\n" // 15
                       "insert into tb_sm_user(user_name) values('unclosed);\n");              // 16
        QStringList names;
        for (const ScriptRow& row : read.rows)
            names << row.Value("user_name").toString();
        QCOMPARE(names, QStringList({"ok1", "ok2", "ok3"}));
        QCOMPARE(read.skipped.Count(), 12);
        const QString report = read.skipped.Text();
        QVERIFY2(report.contains("不是插入语句：2 行（第 1、3 行）"), qPrintable(report));
        QVERIFY2(report.contains("不是本程序的数据表：1 行（第 4 行）"), qPrintable(report));
        QVERIFY2(report.contains("含有数据表中没有的列：1 行（第 7 行）"), qPrintable(report));
        QVERIFY2(report.contains("语句格式有误：8 行（第 5、8、9、10、11 行等）"),
                 qPrintable(report));
    }

    void scriptFormsOfValues()
    {
        QCOMPARE(ValueText(QVariant("it's")), QString("'it''s'"));
        QCOMPARE(ValueText(QVariant(QString(""))), QString("''"));
        QCOMPARE(ValueText(QVariant(QMetaType::fromType<QString>())), QString("null"));
        QCOMPARE(ValueText(QVariant(QDate(2024, 1, 5))), QString("'2024-01-05'"));
        QCOMPARE(ValueText(QVariant(42)), QString("42"));
        QCOMPARE(ValueText(QVariant(qlonglong(-7))), QString("-7"));
        QCOMPARE(ValueText(QVariant(0.1)), QString("0.1"));
        QCOMPARE(ValueText(QVariant(QByteArray("\x01\xab", 2))), QString("E'01ab'"));
    }
};

// Backup and restore on each back end.
class ScriptsTest : public DatabaseFixture
{
    Q_OBJECT
    DatabaseEngine* engine = DatabaseEngine::Instance();

    QString Path(const QString& name) const { return QDir(db->WorkDir()).filePath(name); }

private slots:
    void roundTripReproducesEveryRowOfThisStoreOnly()
    {
        FillStore("STORE-A", 24);
        FillStore("STORE-B", 3);
        const QList<QStringList> before = Snapshot("STORE-A");
        const QList<QStringList> other = Snapshot("STORE-B");
        QCOMPARE(before.size(), 24 * 2 + 3);

        const QString path = Path("backup.sql");
        const BackupResult backup = engine->BackupToScript(path);
        QVERIFY2(backup.ok, qPrintable(backup.error));
        QCOMPARE(backup.rows, before.size());
        const QStringList lines = FileLines(path);
        QVERIFY(!lines.join('\n').contains("STORE-B"));
        QCOMPARE(lines
                     .filter(QRegularExpression("^insert into tb_sm_product_info\\(tab_type,"
                                                "product_serial,product_class,"))
                     .size(),
                 24);
        QVERIFY(!lines.join('\n').contains("(id,"));
        QVERIFY(lines.contains("insert into tb_sm_prestore_info(info_type,info_list,store_no) "
                               "values(3,'红-1;蓝##2&&5;O''Neil','STORE-A');"));
        QVERIFY(lines.join('\n').contains(",'13900000000','店长','p''w;--',1,0,'10.0.0.1',") ||
                lines.join('\n').contains("values('13900000000','店长','p''w;--',1,0,'10.0.0.1',"));
        QVERIFY(lines.join('\n').contains("'2024-03-02'"));
        QCOMPARE(QDir(db->WorkDir()).entryList(QDir::Files).filter("backup").size(), 1);

        // The store changes after the backup; the restore brings back exactly what was saved.
        QVERIFY(engine->DeleteStoreRows("tb_sm_user"));
        FillStore("STORE-A", 2);
        for (int pass = 0; pass < 2; ++pass) {
            const RestoreResult restore = engine->RestoreFromScript(path);
            QVERIFY2(restore.ok, qPrintable(restore.error));
            QCOMPARE(restore.restored, before.size());
            QCOMPARE(restore.skipped.Count(), 0);
            QCOMPARE(Snapshot("STORE-A"), before);
            QCOMPARE(Snapshot("STORE-B"), other);
        }
    }

    void bytesComeBackAsTheSameBytes()
    {
        if (db->Kind() != TestDatabase::Sqlite)
            QSKIP("only SQLite keeps bytes in the program's text columns");
        Insert("tb_sm_user", {"user_name", "user_remark", "user_ip", "store_no"},
               {"b", QByteArray("\x00\x01\xfe'", 4), QVariant(QMetaType::fromType<QByteArray>()),
                "STORE-A"});
        const QList<QStringList> before = Snapshot("STORE-A");
        QVERIFY(before.first().contains("bytes:0001fe27"));
        const QString path = Path("bytes.sql");
        QVERIFY(engine->BackupToScript(path).ok);
        QVERIFY(FileLines(path).first().contains(
            "values(null,'b',null,null,null,null,E'0001fe27','STORE-A');"));
        QVERIFY(engine->RestoreFromScript(path).ok);
        QCOMPARE(Snapshot("STORE-A"), before);
    }

    void emptyStoreGivesAnEmptyFile()
    {
        FillStore("STORE-B", 1);
        const QString path = Path("empty.sql");
        const BackupResult backup = engine->BackupToScript(path);
        QVERIFY(backup.ok);
        QCOMPARE(backup.rows, 0);
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void backupThatCannotBeWrittenSaysSo()
    {
        FillStore("STORE-A", 1);
        const QString path = Path("missing-folder/backup.sql");
        const BackupResult backup = engine->BackupToScript(path);
        QVERIFY(!backup.ok);
        QVERIFY(!backup.error.isEmpty());
        QVERIFY(!QFile::exists(path));

        DbManager::Instance()->Disconnect();
        const BackupResult unconnected = engine->BackupToScript(Path("unconnected.sql"));
        QVERIFY(!unconnected.ok);
        QCOMPARE(unconnected.error, QString("数据库未连接"));
        QVERIFY(!QFile::exists(Path("unconnected.sql")));
    }

    void unreadableOrEmptyOfRowsChangesNothing()
    {
        FillStore("STORE-A", 3);
        const QList<QStringList> before = Snapshot("STORE-A");
        RestoreResult missing = engine->RestoreFromScript(Path("no-such.sql"));
        QVERIFY(!missing.ok);
        QVERIFY2(missing.error.contains("无法打开文件"), qPrintable(missing.error));
        RestoreResult folder = engine->RestoreFromScript(db->WorkDir());
        QVERIFY(!folder.ok);

        WriteFile(Path("foreign.sql"), "drop table tb_sm_user;\ndelete from tb_sm_user;\n"
                                       "insert into tb_sm_user(user_name,store_no) "
                                       "values('x','STORE-B');\n");
        RestoreResult foreign = engine->RestoreFromScript(Path("foreign.sql"));
        QVERIFY(!foreign.ok);
        QCOMPARE(foreign.skipped.Count(), 3);
        QCOMPARE(Snapshot("STORE-A"), before);
        QCOMPARE(Snapshot("STORE-B").size(), 0);
    }

    void foreignLinesAreRefusedWhileTheGoodOnesRestore()
    {
        FillStore("STORE-A", 2);
        FillStore("STORE-B", 2);
        const QList<QStringList> other = Snapshot("STORE-B");
        WriteFile(Path("mixed.sql"),
                  "insert into tb_sm_user(user_name,user_type,store_no) values('甲',1,'STORE-A');\n"
                  "drop table tb_sm_finance_info;\n"
                  "delete from tb_sm_product_info;\n"
                  "insert into tb_sm_user(user_name,store_no) values('乙','STORE-B');\n"
                  "insert into tb_sm_user(user_name,store_no) values('O'Brien','STORE-A');\n"
                  "insert into other_table(a) values(1);\n"
                  "insert into tb_sm_user(user_name,store_no) values('丙','STORE-A');\n"
                  "insert into tb_sm_user(user_name) values('无门店');\n");
        const RestoreResult restore = engine->RestoreFromScript(Path("mixed.sql"));
        QVERIFY2(restore.ok, qPrintable(restore.error));
        QCOMPARE(restore.restored, 2);
        QCOMPARE(restore.skipped.Count(), 6);
        const QString report = restore.skipped.Text();
        QVERIFY2(report.contains("不是插入语句：2 行（第 2、3 行）"), qPrintable(report));
        QVERIFY2(report.contains("不是本门店的数据：2 行（第 4、8 行）"), qPrintable(report));
        QVERIFY2(report.contains("语句格式有误：1 行（第 5 行）"), qPrintable(report));
        QVERIFY2(report.contains("不是本程序的数据表：1 行（第 6 行）"), qPrintable(report));
        const QList<QStringList> now = Snapshot("STORE-A");
        QCOMPARE(now.size(), 2);
        QCOMPARE(now[0][2], QString("甲"));
        QCOMPARE(now[1][2], QString("丙"));
        QCOMPARE(Snapshot("STORE-B"), other);
        QVERIFY(DbManager::Instance()->Database().tables().contains("tb_sm_finance_info"));
    }

    void restoreFailingHalfWayLeavesTheStoreAsBefore()
    {
        FillStore("STORE-A", 3);
        const QList<QStringList> before = Snapshot("STORE-A");
        QByteArray script;
        for (int i = 0; i < 500; ++i)
            script += QStringLiteral("insert into tb_sm_user(user_name,store_no) "
                                     "values('u%1','STORE-A');\n")
                          .arg(i)
                          .toUtf8();
        if (db->Kind() == TestDatabase::Sqlite) {
            // SQLite takes texts of any length; a trigger refuses one row instead.
            QSqlQuery(DbManager::Instance()->Database())
                .exec("create trigger refuse before insert on tb_sm_user when "
                      "new.user_name='boom' begin select raise(abort,'refused'); end");
            script += "insert into tb_sm_user(user_name,store_no) values('boom','STORE-A');\n";
        } else {
            script += "insert into tb_sm_user(user_name,store_no) values('" + QByteArray(60, 'x') +
                      "','STORE-A');\n";
        }
        script += "insert into tb_sm_user(user_name,store_no) values('after','STORE-A');\n";
        WriteFile(Path("half.sql"), script);
        const RestoreResult restore = engine->RestoreFromScript(Path("half.sql"));
        QVERIFY(!restore.ok);
        QVERIFY2(restore.error.contains("无法写入"), qPrintable(restore.error));
        QCOMPARE(restore.restored, 0);
        QCOMPARE(Snapshot("STORE-A"), before);
    }

    // A stop asked for halfway leaves no backup file and no restored row.
    void stoppedBackupOrRestoreLeavesNothingBehind()
    {
        FillStore("STORE-A", 40);
        const QList<QStringList> before = Snapshot("STORE-A");
        const QString path = Path("full.sql");
        QVERIFY(engine->BackupToScript(path).ok);

        int asked = 0;
        const auto stopAfter = [&asked](int calls) {
            asked = 0;
            return [&asked, calls] { return ++asked > calls; };
        };
        const BackupResult backup = engine->BackupToScript(Path("stopped.sql"), {}, stopAfter(30));
        QVERIFY(!backup.ok);
        QCOMPARE(backup.error, QString("备份已取消"));
        QCOMPARE(QDir(db->WorkDir()).entryList(QDir::Files).filter("stopped"), QStringList());

        FillStore("STORE-A", 1);
        const QList<QStringList> changed = Snapshot("STORE-A");
        // The file is read through once before the store's rows go; the stop comes once half of
        // its rows are back in.
        const RestoreResult restore =
            engine->RestoreFromScript(path, {}, stopAfter(int(before.size() * 3 / 2)));
        QVERIFY(!restore.ok);
        QCOMPARE(restore.error, QString("还原已取消"));
        QCOMPARE(restore.restored, 0);
        QCOMPARE(Snapshot("STORE-A"), changed);
    }
};

// A store moved between back ends through its backup.
class CrossBackendTest : public QObject
{
    Q_OBJECT

    static QList<QStringList> BackUpAndRestore(TestDatabase::Backend from, TestDatabase::Backend to,
                                               const QString& path)
    {
        QList<QStringList> before;
        {
            TestDatabase source(from);
            if (!source.Connect())
                return {};
            FillStore("STORE-A", 16);
            before = Snapshot("STORE-A");
            if (!DatabaseEngine::Instance()->BackupToScript(path).ok)
                return {};
        }
        TestDatabase target(to);
        if (!target.Connect())
            return {};
        FillStore("STORE-B", 2);
        const RestoreResult restore = DatabaseEngine::Instance()->RestoreFromScript(path);
        if (!restore.ok || restore.restored != before.size() || Snapshot("STORE-B").size() != 7)
            return {};
        return Snapshot("STORE-A") == before ? before : QList<QStringList>();
    }

private slots:
    void storeMovesBetweenSqliteAndPostgres()
    {
        if (!TestDatabase::Available().contains(TestDatabase::Postgres))
            QSKIP("no PostgreSQL server (LEDGER_TEST_PG)");
        QTemporaryDir dir;
        for (auto [from, to] : {std::pair{TestDatabase::Sqlite, TestDatabase::Postgres},
                                std::pair{TestDatabase::Postgres, TestDatabase::Sqlite}}) {
            const QString path = dir.filePath(QStringLiteral("move-%1.sql").arg(from));
            QVERIFY2(!BackUpAndRestore(from, to, path).isEmpty(), TestDatabase::Name(from));
        }
    }
};

// Records in the order of their kind and entry time.
template <class Record> QList<Record> ByIdentity(QList<Record> records)
{
    std::sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
        return std::pair(a.tab_type, a.Text(0)) < std::pair(b.tab_type, b.Text(0));
    });
    return records;
}

// The demo generator's bulk path stores rows as the data store's own saves do.
class BulkWriteTest : public DatabaseFixture
{
    Q_OBJECT
private slots:
    void generatedRowsReadBackAndASecondRunAddsNothing()
    {
        DemoOptions options;
        options.goodsPerStore = 700;
        options.moneyPerStore = 300;
        options.firstStoreNo = "STORE-A";
        const StoreDemo store = DemoData::Build(options).first();
        for (int run = 0; run < 2; ++run) {
            DemoWriter writer;
            QVERIFY2(writer.Write(store), qPrintable(writer.Error()));
            QCOMPARE(DatabaseEngine::Instance()->StoreNo(), QString("STORE-A"));
        }
        QList<ProductRecord> goods;
        QVERIFY(DatabaseEngine::Instance()->SelectProductRecords(5, -1, "", "", goods));
        QList<FinanceRecord> money;
        QVERIFY(DatabaseEngine::Instance()->SelectFinanceRecords(5, -1, "", "", money));
        // The selects name no order, and a server keeps rows rewritten by the second run
        // wherever it has room: the rows are compared by identity.
        QCOMPARE(ByIdentity(goods), ByIdentity(store.goods));
        QCOMPARE(ByIdentity(money), ByIdentity(store.money));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_product_info where "
                                      "product_code is null or prodcut_remark is null"),
                 0);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    {
        ScriptReaderTest reader;
        failed += QTest::qExec(&reader, argc, argv);
    }
    {
        ScriptsTest scripts;
        failed += QTest::qExec(&scripts, argc, argv);
    }
    {
        BulkWriteTest bulk;
        failed += QTest::qExec(&bulk, argc, argv);
    }
    {
        CrossBackendTest cross;
        failed += QTest::qExec(&cross, argc, argv);
    }
    return failed;
}

#include "tst_scripts.moc"
