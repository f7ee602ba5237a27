// Backup scripts: reading them, and backup/restore round trips on every back end and across them.
#include "BackupWriter.h"
#include "BulkInserter.h"
#include "CompletenessLine.h"
#include "DatabaseEngine.h"
#include "DatabaseFixture.h"
#include "DbManager.h"
#include "DemoData.h"
#include "DemoWriter.h"
#include "ScriptScanner.h"
#include "StoreTables.h"
#include "TestDatabase.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

namespace
{

// A row as the scanner hands it over, its values as the driver binds them.
struct ReadRow {
    int line = 0;
    const TableSchema* table = nullptr;
    QHash<QString, QVariant> values;
};

struct Read {
    QList<ReadRow> rows;
    ScriptScanner::Fault fault = ScriptScanner::Fault::None;
    QString faultText;
    bool complete = false;
};

Read ReadScript(const QByteArray& text, ScriptEncoding encoding = ScriptEncoding::Utf8)
{
    ScriptScanner scanner(text, encoding);
    Read read;
    ScannedRow row;
    while (scanner.Next(row)) {
        ReadRow values{row.line, row.table, {}};
        for (qsizetype i = 0; i < row.columns->size(); ++i) {
            const int column = row.columns->at(i);
            values.values.insert(
                row.table->columns.at(column),
                row.values[size_t(i)].Variant(encoding, row.table->types.at(column)));
        }
        read.rows << values;
    }
    read.fault = scanner.Failure();
    read.faultText = scanner.FaultText();
    read.complete = scanner.Complete();
    return read;
}

// The value a row gives for a column named as in its table.
QVariant ValueOf(const ReadRow& row, const QString& column)
{
    return row.values.value(column);
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

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList FileLines(const QString& path)
{
    return QString::fromUtf8(FileBytes(path)).split('\n', Qt::SkipEmptyParts);
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

// The reader alone, on scripts in memory.
class ScriptScannerTest : public QObject
{
    Q_OBJECT
private slots:
    void valuesOfEveryForm()
    {
        const Read read = ReadScript(
            "insert into tb_sm_user(user_phoneno,user_name,user_type,user_online,user_remark,"
            "store_no) values('O''Brien','a;b', -3 ,null,E'00ff41','S');\n"
            "INSERT INTO TB_SM_PRODUCT_INFO (TAB_TYPE,product_time,product_num,product_oddnum) "
            "VALUES (2.5,2024-01-05,2.50,null) ;\n");
        QCOMPARE(read.fault, ScriptScanner::Fault::None);
        QCOMPARE(read.rows.size(), 2);
        const ReadRow& user = read.rows[0];
        QCOMPARE(user.line, 1);
        QCOMPARE(user.table->name, QString("tb_sm_user"));
        QCOMPARE(ValueOf(user, "user_phoneno"), QVariant("O'Brien"));
        QCOMPARE(ValueOf(user, "user_name"), QVariant("a;b"));
        QCOMPARE(ValueOf(user, "user_type"), QVariant(qlonglong(-3)));
        QVERIFY(ValueOf(user, "user_online").isNull());
        QCOMPARE(ValueOf(user, "user_remark"), QVariant(QByteArray("\x00\xff\x41", 3)));
        QCOMPARE(ValueOf(user, "store_no"), QVariant("S"));
        const ReadRow& goods = read.rows[1];
        QCOMPARE(ValueOf(goods, "tab_type"), QVariant(2.5));
        QCOMPARE(ValueOf(goods, "product_time"),
                 QVariant("2024-01-05"));                          // as older backups wrote it
        QCOMPARE(ValueOf(goods, "product_num"), QVariant("2.50")); // digits kept for texts
        QVERIFY(goods.values.contains("product_oddNum"));
        QVERIFY(ValueOf(goods, "product_oddNum").isNull());
        QCOMPARE(ValueOf(goods, "product_oddNum").typeId(), QMetaType::QString);
    }

    void quotedTextsRunOverLineBreaks()
    {
        // A byte order mark and Windows line ends, as an editor may leave them.
        const Read read =
            ReadScript("\xef\xbb\xbfinsert into tb_sm_user(user_remark) values('one\r\n"
                       "\xef\xbb\xbftwo;\n"
                       "''three''');\r\n"
                       "\r\n"
                       "insert into tb_sm_user(user_remark) values('four');\r\n");
        QCOMPARE(read.fault, ScriptScanner::Fault::None);
        QCOMPARE(read.rows.size(), 2);
        QCOMPARE(ValueOf(read.rows[0], "user_remark"),
                 QVariant(QString::fromUtf8("one\r\n\xef\xbb\xbftwo;\n'three'")));
        QCOMPARE(read.rows[1].line, 5);
    }

    void anyLineThatIsNotTheProgramsInsertDamagesTheFile()
    {
        const QByteArray good = "insert into tb_sm_user(user_name) values('ok');\n";
        const QList<std::pair<QByteArray, QString>> damaged = {
            {"drop table tb_sm_user;", "第 2 行不是本程序的插入语句"},
            {"delete from tb_sm_product_info where 1=1;", "第 2 行不是本程序的插入语句"},
            {"-- a comment", "第 2 行不是本程序的插入语句"},
            {"insert into pg_user(usename) values('x');",
             "第 2 行插入的 pg_user 不是本程序的数据表"},
            {"insert into tb_sm_user(id,user_name) values(1,'x');",
             "第 2 行含有数据表中没有的列 id"},
            {"insert into tb_sm_user(user_name) values('a',);", "第 2 行的语句格式有误"},
            {"insert into tb_sm_user(user_name) values('a'); drop table x;",
             "第 2 行的语句格式有误"},
            {"insert into tb_sm_user(user_name,user_ip) values('a');", "第 2 行的语句格式有误"},
            {"insert into tb_sm_user(user_name) values(char(39));", "第 2 行的语句格式有误"},
            {"insert into tb_sm_user(user_name) select user_name from tb_sm_user;",
             "第 2 行的语句格式有误"},
            {"insert into tb_sm_user(user_name) values(E'0g');", "第 2 行的语句格式有误"},
            {"insert into tb_sm_user(user_type) values(1e999);", "第 2 行的语句格式有误"},
            {"insert into tb_sm_user(user_type) values(1.2.3);", "第 2 行的语句格式有误"},
            {"insert into tb_sm_user(user_name)\nvalues('a');", "第 2 行的语句格式有误"},
            {"insert into tb_sm_user(user_name) values('a')", "第 2 行的语句没有以分号结束"},
            // the quote after O closes at the next line's first quote, and one stays open
            {"insert into tb_sm_user(user_name) values('O'Brien');",
             "第 2 行开始的引号到文件末尾也没有闭合"},
            {"-- backup complete: tb_sm_user=x", "第 2 行的完整性记录无法读取"},
            {"-- backup complete: tb_sm_user=2",
             "第 2 行的完整性记录写明 tb_sm_user 有 2 行，文件中却有 1 行"},
        };
        for (const auto& [line, why] : damaged) {
            const Read read = ReadScript(good + line + "\n" + good);
            QCOMPARE(read.fault, ScriptScanner::Fault::Damaged);
            QVERIFY2(read.faultText.startsWith(why), qPrintable(read.faultText));
            QCOMPARE(read.rows.size(), 1);
        }
        // Cut off inside a statement or inside a text.
        const Read cut = ReadScript(good + "insert into tb_sm_user(user_na");
        QVERIFY2(cut.faultText.startsWith("第 2 行的语句到文件末尾也没有结束"),
                 qPrintable(cut.faultText));
        const Read noEnd = ReadScript(good + "insert into tb_sm_user(user_name) values('a')");
        QVERIFY2(noEnd.faultText.startsWith("第 2 行的语句到文件末尾也没有结束"),
                 qPrintable(noEnd.faultText));
        const Read inText = ReadScript(good + "insert into tb_sm_user(user_name) values('one\ntw");
        QVERIFY2(inText.faultText.startsWith("第 2 行开始的引号到文件末尾也没有闭合"),
                 qPrintable(inText.faultText));
    }

    void completenessLinesVouchForTheRowsBeforeThem()
    {
        const QByteArray user = "insert into tb_sm_user(user_name) values('u');\n";
        const QByteArray list = "insert into tb_sm_person_info(info_type) values(1);\n";
        CompletenessLine::Counts counts(Schema::Tables().size(), 0);
        counts[2] = 1;
        counts[4] = 2;
        const QByteArray line = CompletenessLine::Text(counts).toUtf8() + "\n";
        QCOMPARE(line, "-- backup complete: tb_sm_product_info=0, tb_sm_prestore_info=0, "
                       "tb_sm_person_info=1, tb_sm_finance_info=0, tb_sm_user=2\n");

        const Read whole = ReadScript(user + list + user + line);
        QCOMPARE(whole.fault, ScriptScanner::Fault::None);
        QVERIFY(whole.complete);
        // Two backups pasted into one file: each line counts the rows since the one before.
        const Read pasted =
            ReadScript(user + list + user + line + "\n" + list + user + user + line);
        QCOMPARE(pasted.rows.size(), 6);
        QVERIFY(pasted.complete);
        QVERIFY(!ReadScript(user + list + user + line + user).complete);
        QVERIFY(!ReadScript(user).complete);
        const Read missingRow = ReadScript(user + list + line);
        QVERIFY2(missingRow.faultText.startsWith(
                     "第 3 行的完整性记录写明 tb_sm_user 有 2 行，文件中却有 1 行"),
                 qPrintable(missingRow.faultText));
    }

    void unclosedQuoteIsReadOnce()
    {
        // Every line after the stray quote belongs to its text; read again for each line, these
        // lines would take minutes.
        QByteArray script = "insert into tb_sm_user(user_name) values('ok');\n"
                            "insert into tb_sm_user(user_remark) values('unclosed\n";
        for (int i = 0; i < 100000; ++i)
            script += "a line of a text that never ends, number " + QByteArray::number(i) + "\n";
        const Read read = ReadScript(script);
        QCOMPARE(read.rows.size(), 1);
        QVERIFY2(read.faultText.startsWith("第 2 行开始的引号到文件末尾也没有闭合"),
                 qPrintable(read.faultText));
    }

    void linesAreReadInTheEncodingAsked()
    {
        QStringEncoder encoder("GB18030");
        const QByteArray gb =
            encoder.encode(QStringLiteral("insert into tb_sm_user(user_name) values('衬衫');\n"));
        const Read asUtf8 = ReadScript("\n" + gb);
        QCOMPARE(asUtf8.fault, ScriptScanner::Fault::Encoding);
        QVERIFY2(asUtf8.faultText.startsWith("第 2 行"), qPrintable(asUtf8.faultText));
        const Read asGb = ReadScript(gb, ScriptEncoding::Gb18030);
        QCOMPARE(asGb.fault, ScriptScanner::Fault::None);
        QCOMPARE(ValueOf(asGb.rows[0], "user_name"), QVariant("衬衫"));
        // A character cut by a line end is not one.
        const qsizetype inside = gb.indexOf('\'') + 2;
        const QByteArray cut = gb.left(inside) + "\n" + gb.mid(inside);
        QCOMPARE(ReadScript(cut, ScriptEncoding::Gb18030).fault, ScriptScanner::Fault::Encoding);
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

    // The store's backup, written to `name` in the working folder; empty when it failed.
    QByteArray BackUp(const QString& name) const
    {
        return engine->BackupToScript(Path(name)).ok ? FileBytes(Path(name)) : QByteArray();
    }

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
        QCOMPARE(lines.last(), QString("-- backup complete: tb_sm_product_info=24, "
                                       "tb_sm_prestore_info=1, tb_sm_person_info=1, "
                                       "tb_sm_finance_info=24, tb_sm_user=1"));
        QCOMPARE(QDir(db->WorkDir()).entryList(QDir::Files).filter("backup").size(), 1);

        // The store changes after the backup; the restore brings back exactly what was saved.
        QVERIFY(engine->DeleteStoreRows("tb_sm_user"));
        FillStore("STORE-A", 2);
        for (int pass = 0; pass < 2; ++pass) {
            const RestoreResult restore = engine->RestoreFromScript(path);
            QVERIFY2(restore.ok, qPrintable(restore.error));
            QCOMPARE(restore.restored, before.size());
            QCOMPARE(restore.skipped.Count(), 0);
            QVERIFY(restore.complete);
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

    void unreadableFileChangesNothing()
    {
        FillStore("STORE-A", 3);
        const QList<QStringList> before = Snapshot("STORE-A");
        RestoreResult missing = engine->RestoreFromScript(Path("no-such.sql"));
        QVERIFY(!missing.ok);
        QVERIFY2(missing.error.contains("无法打开文件"), qPrintable(missing.error));
        RestoreResult folder = engine->RestoreFromScript(db->WorkDir());
        QVERIFY(!folder.ok);
        QCOMPARE(Snapshot("STORE-A"), before);
    }

    void rowsOfOtherStoresAreSkippedWhileThisStoresRestore()
    {
        FillStore("STORE-A", 2);
        FillStore("STORE-B", 2);
        const QList<QStringList> other = Snapshot("STORE-B");
        WriteFile(Path("mixed.sql"),
                  "insert into tb_sm_user(user_name,user_type,store_no) values('甲',1,'STORE-A');\n"
                  "insert into tb_sm_user(user_name,store_no) values('乙','STORE-B');\n"
                  "insert into tb_sm_user(user_name,store_no) values('丙','STORE-A');\n"
                  "insert into tb_sm_user(user_name) values('无门店');\n");
        const RestoreResult restore = engine->RestoreFromScript(Path("mixed.sql"));
        QVERIFY2(restore.ok, qPrintable(restore.error));
        QCOMPARE(restore.restored, 2);
        QVERIFY(!restore.complete); // written by hand: no completeness line
        QCOMPARE(restore.skipped.Count(), 2);
        QCOMPARE(restore.skipped.Text(), QString("不是本门店的数据：2 行（第 2、4 行）"));
        const QList<QStringList> now = Snapshot("STORE-A");
        QCOMPARE(now.size(), 2);
        QCOMPARE(now[0][2], QString("甲"));
        QCOMPARE(now[1][2], QString("丙"));
        QCOMPARE(Snapshot("STORE-B"), other);
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
        QVERIFY2(restore.error.contains("第 501 行附近的数据无法写入"), qPrintable(restore.error));
        QCOMPARE(restore.restored, 0);
        QCOMPARE(Snapshot("STORE-A"), before);
    }
    void filesWithoutARowOfThisStoreAreRefused()
    {
        FillStore("STORE-A", 3);
        FillStore("STORE-B", 1);
        const QList<QStringList> before = Snapshot("STORE-A");
        const QList<QStringList> other = Snapshot("STORE-B");
        for (const QByteArray& blank : {QByteArray(), QByteArray("\n  \r\n\t\n")}) {
            WriteFile(Path("blank.sql"), blank);
            const RestoreResult restore = engine->RestoreFromScript(Path("blank.sql"));
            QVERIFY(!restore.ok);
            QVERIFY2(restore.error.contains("没有任何数据"), qPrintable(restore.error));
            QCOMPARE(Snapshot("STORE-A"), before);
        }
        WriteFile(Path("others.sql"),
                  "insert into tb_sm_user(user_name,store_no) values('x','STORE-B');\n"
                  "insert into tb_sm_user(user_name,store_no) values('y','STORE-C');\n"
                  "insert into tb_sm_user(user_name,store_no) values('z','STORE-B');\n");
        const RestoreResult restore = engine->RestoreFromScript(Path("others.sql"));
        QVERIFY(!restore.ok);
        QVERIFY2(restore.error.contains("STORE-B、STORE-C") && restore.error.contains("STORE-A") &&
                     restore.error.contains("StoreNo/No"),
                 qPrintable(restore.error));
        QCOMPARE(Snapshot("STORE-A"), before);
        QCOMPARE(Snapshot("STORE-B"), other);
    }

    void damagedFilesChangeNothingAndNameTheLine()
    {
        FillStore("STORE-A", 6);
        const QList<QStringList> saved = Snapshot("STORE-A");
        const QByteArray good = BackUp("good.sql");
        QVERIFY(!good.isEmpty());
        FillStore("STORE-A", 1); // the store has changed since
        const QList<QStringList> before = Snapshot("STORE-A");
        auto lineAt = [](const QByteArray& text, qsizetype at) {
            return text.left(at).count('\n') + 1;
        };
        const qsizetype lastInsert = good.lastIndexOf("\ninsert into") + 1;
        const qsizetype multiLine = good.indexOf("line one\nline two");
        QVERIFY(multiLine > 0);
        // A statement on one line of its own, with whole statements before and after it.
        const qsizetype list = good.indexOf("\ninsert into tb_sm_prestore_info") + 1;
        const qsizetype afterList = good.indexOf('\n', list) + 1;
        const int listLine = lineAt(good, list);
        auto insertBeforeList = [&](const QByteArray& line) {
            return good.left(list) + line + "\n" + good.mid(list);
        };
        const QList<std::pair<QByteArray, int>> damaged = {
            // cut off inside the last statement
            {good.left(lastInsert + 40), lineAt(good, lastInsert)},
            // cut off inside a text that runs over two lines
            {good.left(multiLine + 9), lineAt(good, multiLine)},
            // lines that are not the program's own inserts
            {insertBeforeList("drop table tb_sm_user;"), listLine},
            {insertBeforeList("insert into tb_sm_user(no_such) values(1);"), listLine},
            {insertBeforeList("insert into other_table(info_type) values(1);"), listLine},
            {insertBeforeList("insert into tb_sm_person_info(info_type) values(1)"), listLine},
            {insertBeforeList("-- a comment"), listLine},
            // a quote that is never closed
            {insertBeforeList("insert into tb_sm_user(user_name,store_no) values('O,'STORE-A');"),
             listLine},
            // a row missing: the completeness line at the end no longer matches
            {good.left(list) + good.mid(afterList), int(good.count('\n') - 1)},
        };
        for (const auto& [text, line] : damaged) {
            WriteFile(Path("damaged.sql"), text);
            const RestoreResult restore = engine->RestoreFromScript(Path("damaged.sql"));
            QVERIFY2(!restore.ok, qPrintable(QString::number(line)));
            QVERIFY2(restore.error.contains(QStringLiteral("第 %1 行").arg(line)),
                     qPrintable(restore.error));
            QCOMPARE(restore.restored, 0);
            QCOMPARE(Snapshot("STORE-A"), before);
        }

        // Without its completeness line (an older backup) the file restores, but unchecked.
        WriteFile(Path("older.sql"), good.left(good.lastIndexOf("-- backup complete")));
        const RestoreResult older = engine->RestoreFromScript(Path("older.sql"));
        QVERIFY2(older.ok, qPrintable(older.error));
        QVERIFY(!older.complete);
        QCOMPARE(Snapshot("STORE-A"), saved);
        const RestoreResult whole = engine->RestoreFromScript(Path("good.sql"));
        QVERIFY(whole.ok && whole.complete);
        QCOMPARE(Snapshot("STORE-A"), saved);
    }

    void backupInTheChineseWindowsEncodingRestores()
    {
        FillStore("STORE-A", 8);
        const QList<QStringList> before = Snapshot("STORE-A");
        const QByteArray utf8 = BackUp("utf8.sql");
        QStringEncoder encoder("GB18030");
        const QByteArray gb = encoder.encode(QString::fromUtf8(utf8));
        QVERIFY(!encoder.hasError());
        QStringDecoder check(QStringConverter::Utf8);
        const QString asUtf8 = check.decode(gb);
        QVERIFY(check.hasError()); // not readable as UTF-8
        WriteFile(Path("gb18030.sql"), gb);
        QVERIFY(engine->DeleteStoreRows("tb_sm_product_info"));

        const RestoreResult restore = engine->RestoreFromScript(Path("gb18030.sql"));
        QVERIFY2(restore.ok, qPrintable(restore.error));
        QCOMPARE(Snapshot("STORE-A"), before);

        // Bytes that are neither UTF-8 nor GB18030 refuse the file.
        QVERIFY(engine->DeleteStoreRows("tb_sm_finance_info"));
        const QList<QStringList> changed = Snapshot("STORE-A");
        for (const QByteArray& bytes : {utf8, gb}) {
            QByteArray broken = bytes;
            broken.insert(broken.indexOf("衬衫") > 0 ? broken.indexOf("衬衫")
                                                     : broken.indexOf("values('") + 8,
                          "\xff\x80");
            WriteFile(Path("broken.sql"), broken);
            const RestoreResult refused = engine->RestoreFromScript(Path("broken.sql"));
            QVERIFY(!refused.ok);
            QVERIFY2(refused.error.contains("编码"), qPrintable(refused.error));
            QCOMPARE(Snapshot("STORE-A"), changed);
        }
    }

    void repeatedKeysKeepTheirLastRow()
    {
        FillStore("STORE-A", 10);
        QVERIFY(engine->BackupToScript(Path("first.sql")).ok);
        QSqlQuery change(DbManager::Instance()->Database());
        for (const QString& table : StoreTables::All) {
            const QString column = table == "tb_sm_product_info"   ? "product_name"
                                   : table == "tb_sm_finance_info" ? "ie_item"
                                   : table == "tb_sm_user"         ? "user_password"
                                                                   : "info_list";
            QVERIFY(change.prepare(
                QStringLiteral("update %1 set %2=? where store_no=?").arg(table, column)));
            change.addBindValue("改过");
            change.addBindValue("STORE-A");
            QVERIFY2(change.exec(), qPrintable(change.lastError().text()));
        }
        const QList<QStringList> changed = Snapshot("STORE-A");
        QVERIFY(engine->BackupToScript(Path("second.sql")).ok);
        WriteFile(Path("pasted.sql"), FileBytes(Path("first.sql")) + FileBytes(Path("second.sql")));
        FillStore("STORE-A", 1);

        const RestoreResult pasted = engine->RestoreFromScript(Path("pasted.sql"));
        QVERIFY2(pasted.ok, qPrintable(pasted.error));
        QCOMPARE(pasted.restored, changed.size());
        QCOMPARE(pasted.skipped.Count(), changed.size());
        QCOMPARE(Snapshot("STORE-A"), changed);

        // What makes two rows one: kind and entry time, list kind, phone and name, each per table.
        WriteFile(Path("keys.sql"),
                  "insert into tb_sm_product_info(tab_type,product_serial,product_name,store_no) "
                  "values(2,'t1','a','STORE-A');\n"
                  "insert into tb_sm_product_info(tab_type,product_serial,product_name,store_no) "
                  "values(3,'t1','b','STORE-A');\n"
                  "insert into tb_sm_finance_info(tab_type,ie_serial,ie_item,store_no) "
                  "values(2,'t1','c','STORE-A');\n"
                  "insert into tb_sm_product_info(tab_type,product_serial,product_name,store_no) "
                  "values(2,'t1','d','STORE-A');\n"
                  "insert into tb_sm_user(user_phoneno,user_name,user_password,store_no) "
                  "values('139','甲','p1','STORE-A');\n"
                  "insert into tb_sm_user(user_phoneno,user_name,user_password,store_no) "
                  "values('138','甲','p2','STORE-A');\n"
                  "insert into tb_sm_user(user_phoneno,user_name,user_password,store_no) "
                  "values('139','甲','p3','STORE-A');\n"
                  "insert into tb_sm_prestore_info(info_type,info_list,store_no) "
                  "values(3,'x','STORE-A');\n"
                  "insert into tb_sm_person_info(info_type,info_list,store_no) "
                  "values(3,'y','STORE-A');\n"
                  "insert into tb_sm_prestore_info(info_type,info_list,store_no) "
                  "values(3,'z','STORE-A');\n"
                  "insert into tb_sm_user(user_phoneno,user_name,user_password,store_no) "
                  "values('139','甲','other','STORE-B');\n");
        const RestoreResult keys = engine->RestoreFromScript(Path("keys.sql"));
        QVERIFY2(keys.ok, qPrintable(keys.error));
        QCOMPARE(keys.restored, 7);
        QCOMPARE(keys.skipped.Count(), 4);
        QVERIFY2(keys.skipped.Text().contains("：3 行（第 1、5、8 行）"),
                 qPrintable(keys.skipped.Text()));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_product_info where "
                                      "store_no='STORE-A' and product_name in ('b','d')"),
                 2);
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_user where store_no='STORE-A' "
                                      "and user_password in ('p2','p3')"),
                 2);
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_prestore_info where "
                                      "store_no='STORE-A' and info_list='z'"),
                 1);
    }

    // Every form a script gives a value arrives as the driver would bind it, through each back
    // end's own path: the library's statements, COPY lines, the driver's inserts.
    void valuesOfEveryFormArriveAsWritten()
    {
        const QByteArray head = "insert into tb_sm_user(user_phoneno,user_name,user_password,"
                                "user_type,user_online,user_ip,user_remark,store_no) values";
        WriteFile(Path("forms.sql"),
                  head +
                      "('1','O''Brien ''x''','a\\b\tc\\N',+4,null,'','两行\r\n第二行 €',"
                      "'STORE-A');\n" +
                      head + "('2',2.50,1e3,2.0,-7,2024-01-05,null,'STORE-A');\n" + head +
                      "('3','',null,'7',0,'''',' a ',   'STORE-A' ) ;  \n");
        const RestoreResult restore = engine->RestoreFromScript(Path("forms.sql"));
        QVERIFY2(restore.ok, qPrintable(restore.error));
        QCOMPARE(restore.restored, 3);
        QSqlQuery query(DbManager::Instance()->Database());
        QVERIFY(query.exec("select user_name,user_password,user_type,user_online,user_ip,"
                           "user_remark from tb_sm_user where store_no='STORE-A' "
                           "order by user_phoneno"));
        const QList<QStringList> expected = {
            {"O'Brien 'x'", "a\\b\tc\\N", "4", "<null>", "", "两行\r\n第二行 €"},
            {"2.50", "1e3", "2", "-7", "2024-01-05", "<null>"},
            {"", "<null>", "7", "0", "'", " a "},
        };
        for (const QStringList& row : expected) {
            QVERIFY(query.next());
            QStringList got;
            for (int i = 0; i < row.size(); ++i)
                got << Normal(query.value(i));
            QCOMPARE(got, row);
        }
    }

    // A file whose first text that is not UTF-8 comes after many rows: the rows stored so far go
    // back and the file is read again as GB18030. A byte that neither reads refuses the file.
    void aLateTextInGb18030ReadsTheFileAgain()
    {
        FillStore("STORE-A", 2);
        QByteArray script;
        for (int i = 0; i < 3000; ++i)
            script += "insert into tb_sm_user(user_phoneno,user_name,store_no) values('p" +
                      QByteArray::number(i) + "','u','STORE-A');\n";
        QStringEncoder gb("GB18030");
        const QByteArray late =
            gb.encode(QStringLiteral("insert into tb_sm_user(user_phoneno,user_name,store_no) "
                                     "values('q','衬衫''红''\n€','STORE-A');\n"));
        WriteFile(Path("late.sql"), script + late);
        const RestoreResult restore = engine->RestoreFromScript(Path("late.sql"));
        QVERIFY2(restore.ok, qPrintable(restore.error));
        QCOMPARE(restore.restored, 3001);
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_user where store_no='STORE-A' "
                                      "and user_name='衬衫''红''\n€'"),
                 1);

        FillStore("STORE-A", 1);
        const QList<QStringList> changed = Snapshot("STORE-A");
        WriteFile(Path("broken.sql"),
                  script + late +
                      "insert into tb_sm_user(user_phoneno,store_no) values('\x81 ','STORE-A');\n");
        const RestoreResult broken = engine->RestoreFromScript(Path("broken.sql"));
        QVERIFY(!broken.ok);
        QVERIFY2(broken.error.contains("编码") && broken.error.contains("第 3003 行"),
                 qPrintable(broken.error));
        QCOMPARE(Snapshot("STORE-A"), changed);
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
        // The stop comes once half of the file's rows are back in.
        const RestoreResult restore =
            engine->RestoreFromScript(path, {}, stopAfter(int(before.size() / 2)));
        QVERIFY(!restore.ok);
        QCOMPARE(restore.error, QString("还原已取消"));
        QCOMPARE(restore.restored, 0);
        QCOMPARE(Snapshot("STORE-A"), changed);
    }

    void aFileCutShortWhileRestoringIsRestoredAsItWasOpened()
    {
        FillStore("STORE-A", 40);
        const QList<QStringList> before = Snapshot("STORE-A");
        const QString path = Path("cut.sql");
        QVERIFY(engine->BackupToScript(path).ok);
        FillStore("STORE-A", 1);
        // Another program empties the file once the restore has begun.
        bool cut = false;
        const RestoreResult restore = engine->RestoreFromScript(path, {}, [&] {
            if (!cut)
                cut = QFile::resize(path, 0);
            return false;
        });
        QVERIFY(cut);
        QVERIFY2(restore.ok, qPrintable(restore.error));
        QCOMPARE(restore.restored, before.size());
        QCOMPARE(Snapshot("STORE-A"), before);
        QCOMPARE(QDir::temp().entryList({"ledger-restore-*"}), QStringList());
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

    // SQLite and PostgreSQL are read through their client libraries, other servers through the
    // driver: the same rows make the same script, byte for byte.
    void everyReaderWritesTheSameScript()
    {
        if (!TestDatabase::Available().contains(TestDatabase::OdbcPostgres))
            QSKIP("no PostgreSQL server reached through ODBC");
        QTemporaryDir dir;
        QList<QByteArray> scripts;
        for (TestDatabase::Backend backend :
             {TestDatabase::Sqlite, TestDatabase::Postgres, TestDatabase::OdbcPostgres}) {
            TestDatabase db(backend);
            QVERIFY(db.Connect());
            FillStore("STORE-A", 16);
            const QString path = dir.filePath(TestDatabase::Name(backend) + QString(".sql"));
            QVERIFY(DatabaseEngine::Instance()->BackupToScript(path).ok);
            scripts << FileBytes(path);
        }
        QVERIFY(scripts.first().size() > 1000);
        QCOMPARE(scripts.at(1), scripts.first());
        QCOMPARE(scripts.at(2), scripts.first());
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

    // Texts with the characters a bulk path must escape (COPY's tab, line end and backslash, a
    // statement's quote) and a null arrive as given.
    void textsArriveAsGiven()
    {
        const QStringList remarks = {"tab\there",      "line\nbreak\r", "back\\slash \\N",
                                     "quote ' and \"", "中文备注",      "\\.",
                                     QString()};
        const TableSchema& users = Schema::Tables().at(4);
        QCOMPARE(users.name, QString("tb_sm_user"));
        QSqlDatabase db = DbManager::Instance()->Database();
        QVERIFY(db.transaction());
        {
            BulkInserter inserter(db);
            for (int i = 0; i < remarks.size(); ++i)
                QVERIFY2(inserter.Add(users, {1, 6, 7},
                                      {QString("u%1").arg(i), remarks.at(i), "STORE-A"}, i),
                         qPrintable(inserter.Error()));
            QVERIFY2(inserter.Flush(), qPrintable(inserter.Error()));
        }
        QVERIFY(db.commit());
        QSqlQuery query(db);
        QVERIFY(query.exec("select user_name, user_remark from tb_sm_user order by user_name"));
        for (const QString& remark : remarks) {
            QVERIFY(query.next());
            QCOMPARE(query.value(1).toString(), remark);
            QCOMPARE(query.value(1).isNull(), remark.isNull());
        }
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    {
        ScriptScannerTest reader;
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
