// Ledger pages written to sheets and sheets stored as ledger records, on every back end.
#include "DatabaseEngine.h"
#include "DatabaseFixture.h"
#include "DbManager.h"
#include "LedgerExport.h"
#include "LedgerImport.h"
#include "LedgerSheet.h"
#include "PythonPeer.h"
#include "TestDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>

namespace
{

const QByteArray CompoundSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
// A date the database refuses: PostgreSQL has no 30 February; SQLite is told to refuse it.
const QString RefusedDate = QStringLiteral("2024-02-30");

int made = 0;
QString NewSerial()
{
    return QStringLiteral("2030-01-01 00:00:00:%1").arg(++made, 3, 10, QChar('0'));
}

ProductRecord Goods(int kind, int i)
{
    ProductRecord r;
    r.tab_type = kind;
    r.product_serial = QStringLiteral("2024-03-15 10:00:%1:000").arg(i, 4, 10, QChar('0'));
    r.product_class = "鞋+帽";
    r.product_name = "A^^B";
    r.product_model = "it's \"quoted\"";
    r.product_color = QString(); // empty cell
    r.product_code = "007";
    r.product_size = "42;43";
    r.product_time = QStringLiteral("2024-03-%1").arg(i % 28 + 1, 2, 10, QChar('0'));
    r.product_store = "一号仓-A区";
    r.product_num = QString::number(i + 1);
    r.product_price = "12.50";
    r.product_total = QString::number((i + 1) * 12.5);
    r.product_pay = "0";
    r.product_debt = "-3";
    r.product_supply = "供货商 K";
    r.product_purchase = "张三";
    r.product_oddNum = "NO.1+2";
    r.product_record = "李四";
    r.prodcut_remark = QString(300, QChar(0x5907)) + "\n第二行";
    return r;
}

FinanceRecord Money(int kind, int i)
{
    FinanceRecord r;
    r.tab_type = kind;
    r.ie_serial = QStringLiteral("2024-03-15 11:00:%1:000").arg(i, 2, 10, QChar('0'));
    r.ie_item = "销售收款+提成";
    r.ie_sum = QString::number(i * 100.25);
    r.ie_time = "2024-03-16";
    r.ie_client = "客户 \"甲\"";
    r.ie_sale = QString();
    r.ie_cert = "^^K";
    r.ie_record = "王五";
    r.ie_remark = "备注 it's";
    return r;
}

template <class Record> QStandardItemModel* PageOf(const QList<Record>& records)
{
    auto* model = new QStandardItemModel(int(records.size()), Record::TextCount);
    QStringList headers;
    for (int c = 0; c < Record::TextCount; ++c)
        headers << QStringLiteral("列%1").arg(c);
    model->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < records.size(); ++r) {
        for (int c = 0; c < Record::TextCount; ++c)
            model->setItem(r, c, new QStandardItem(records[r].Text(c)));
    }
    return model;
}

QList<ProductRecord> StoredGoods(int kind)
{
    QList<ProductRecord> out;
    DatabaseEngine::Instance()->SelectProductRecords(5, kind, "", "", out);
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.product_serial < b.product_serial; });
    return out;
}

QList<FinanceRecord> StoredMoney(int kind)
{
    QList<FinanceRecord> out;
    DatabaseEngine::Instance()->SelectFinanceRecords(5, kind, "", "", out);
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.ie_serial < b.ie_serial; });
    return out;
}

int GoodsRows()
{
    return TestDatabase::Scalar("select count(*) from tb_sm_product_info");
}

QByteArray Digest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

ImportReport Import(const QString& path, int pageType, int kind)
{
    return LedgerImport(*DatabaseEngine::Instance(), NewSerial).Run(path, pageType, kind);
}

// "sheet row: reason" of each skipped row.
QStringList Skipped(const ImportReport& report)
{
    QStringList rows;
    for (const ImportReport::SkippedRow& row : report.skipped)
        rows << QStringLiteral("%1: %2").arg(row.sheetRow).arg(row.reason);
    return rows;
}

// Counts the data store's attempts to open a lost connection again, by the lines it writes.
class ReconnectCounter
{
public:
    ReconnectCounter()
    {
        count = 0;
        previous = qInstallMessageHandler(Handle);
    }
    ~ReconnectCounter() { qInstallMessageHandler(previous); }
    int Count() const { return count; }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (text.startsWith(QLatin1String("DbManager: connection not reopened")) ||
            text.startsWith(QLatin1String("DbManager: lost connection reopened")))
            ++count;
        previous(type, context, text);
    }

    static inline std::atomic<int> count{0};
    static inline QtMessageHandler previous = nullptr;
};

} // namespace

class TestLedgerImport : public DatabaseFixture
{
    Q_OBJECT

    DatabaseEngine* engine = DatabaseEngine::Instance();

    QString PathOf(const QString& name) const { return QDir(db->WorkDir()).filePath(name); }

    // Sheets written by other programs (make_ledger_dates.py), made once.
    std::unique_ptr<QTemporaryDir> foreignSheets;
    QString ForeignSheet(const QString& name)
    {
        if (!foreignSheets) {
            auto dir = std::make_unique<QTemporaryDir>();
            QByteArray output;
            if (!PythonPeer::Run(QStringLiteral(EXCHANGE_TEST_SCRIPTS "/make_ledger_dates.py"),
                                 {dir->path()}, output))
                qWarning("make_ledger_dates.py failed: %s", output.constData());
            foreignSheets = std::move(dir);
        }
        return foreignSheets->filePath(name);
    }

    // A rule of the database that the import's own checks do not know: a product code
    // "refused" is refused on every back end.
    void RefuseCode()
    {
        QSqlQuery query(DbManager::Instance()->Database());
        const QString message = QStringLiteral("refused by the shop rule");
        if (db->Kind() == TestDatabase::Sqlite) {
            QVERIFY(query.exec(
                QStringLiteral("create trigger refuse_code before insert on tb_sm_product_info "
                               "when new.product_code='refused' begin select raise(abort, '%1'); "
                               "end")
                    .arg(message)));
            return;
        }
        QVERIFY(query.exec(
            QStringLiteral("create function refuse_code() returns trigger language plpgsql as "
                           "$$begin if new.product_code = 'refused' then raise exception '%1'; "
                           "end if; return new; end$$")
                .arg(message)));
        QVERIFY(query.exec(QStringLiteral(
            "create trigger refuse_code before insert or update on tb_sm_product_info for each "
            "row execute function refuse_code()")));
    }

    // SQLite takes any text as a date; make it refuse the one PostgreSQL refuses.
    void RefuseBadDates()
    {
        if (db->Kind() != TestDatabase::Sqlite)
            return;
        QSqlQuery query(DbManager::Instance()->Database());
        QVERIFY(query.exec(
            QStringLiteral(
                "create trigger refuse_date before insert on tb_sm_product_info when "
                "new.product_time='%1' begin select raise(abort, 'date/time field value out of "
                "range'); end")
                .arg(RefusedDate)));
    }

private slots:
    void batchUpdatesOnlyTheSameKindSerialAndStore()
    {
        ProductRecord mine = Goods(2, 1);
        engine->SetStoreNo("STORE-B");
        QVERIFY(engine->SaveProductInfo(mine));
        engine->SetStoreNo("STORE-A");
        QVERIFY(engine->SaveProductInfo(mine));

        ProductRecord changed = mine;
        changed.product_num = "99";
        ProductRecord otherKind = mine;
        otherKind.tab_type = 3;
        QList<ProductRecord> batch = {changed, otherKind};
        // More than one transaction's worth, a serial given twice across their border.
        for (int i = 0; i < DatabaseEngine::BatchRows + 50; ++i)
            batch << Goods(2, 100 + i);
        batch[DatabaseEngine::BatchRows + 10] = batch[5];
        batch[DatabaseEngine::BatchRows + 10].product_code = "second";
        batch[40] = batch[7]; // and twice close together
        batch[40].product_code = "again";
        const auto results = engine->SaveProductBatch(batch);
        QCOMPARE(results.size(), batch.size());
        QCOMPARE(results[0].outcome, DatabaseEngine::BatchResult::Updated);
        QCOMPARE(results[1].outcome, DatabaseEngine::BatchResult::Inserted);
        QCOMPARE(results[5].outcome, DatabaseEngine::BatchResult::Inserted);
        QCOMPARE(results[7].outcome, DatabaseEngine::BatchResult::Inserted);
        QCOMPARE(results[40].outcome, DatabaseEngine::BatchResult::Updated);
        QCOMPARE(results[DatabaseEngine::BatchRows + 10].outcome,
                 DatabaseEngine::BatchResult::Updated);
        QCOMPARE(GoodsRows(), batch.size() - 2 + 1); // two serials twice; store B's row
        QCOMPARE(StoredGoods(3), QList<ProductRecord>{otherKind});
        const QList<ProductRecord> sales = StoredGoods(2);
        QCOMPARE(sales.first(), changed);
        QCOMPARE(sales.size(), batch.size() - 3);
        QVERIFY(sales.contains(batch[40]));
        QVERIFY(sales.contains(batch[DatabaseEngine::BatchRows + 10]));

        engine->SetStoreNo("STORE-B");
        QCOMPARE(StoredGoods(2), QList<ProductRecord>{mine});
        engine->SetStoreNo("STORE-A");
    }

    void refusedRecordIsLeftOutAndTheOthersStored()
    {
        RefuseBadDates();
        QList<ProductRecord> batch;
        for (int i = 0; i < 300; ++i)
            batch << Goods(0, i);
        batch[4].product_time = RefusedDate;
        batch[170].product_time = RefusedDate;
        const auto results = engine->SaveProductBatch(batch);
        for (int i = 0; i < batch.size(); ++i) {
            QCOMPARE(results[i].outcome, i == 4 || i == 170
                                             ? DatabaseEngine::BatchResult::Refused
                                             : DatabaseEngine::BatchResult::Inserted);
        }
        QVERIFY(!results[4].error.isEmpty());
        batch.removeAt(170);
        batch.removeAt(4);
        QCOMPARE(StoredGoods(0), batch);

        FinanceRecord m = Money(1, 1);
        QCOMPARE(engine->SaveFinanceBatch({m, m}).last().outcome,
                 DatabaseEngine::BatchResult::Updated);
        QCOMPARE(StoredMoney(1), QList<FinanceRecord>{m});
    }

    void everyKindRoundTripsExactlyAndASecondImportUpdates()
    {
        for (int kind = 0; kind < 5; ++kind) {
            QList<ProductRecord> page;
            for (int i = 0; i < 3; ++i)
                page << Goods(kind, i);
            const QString path = PathOf(QStringLiteral("goods%1.xls").arg(kind));
            std::unique_ptr<QStandardItemModel> model(PageOf(page));
            QCOMPARE(LedgerExport::Write(path, LedgerSheet::GoodsLedger, *model), QString());
            const ImportReport first = Import(path, LedgerSheet::GoodsLedger, kind);
            QVERIFY2(first.Read(), qPrintable(first.failure));
            QCOMPARE(first.inserted, 3);
            QVERIFY(first.skipped.isEmpty());
            QCOMPARE(StoredGoods(kind), page);
            const ImportReport second = Import(path, LedgerSheet::GoodsLedger, kind);
            QCOMPARE(second.inserted, 0);
            QCOMPARE(second.updated, 3);
            QCOMPARE(StoredGoods(kind), page);
        }
        for (int kind = 0; kind < 7; ++kind) {
            QList<FinanceRecord> page;
            for (int i = 0; i < 2; ++i)
                page << Money(kind, i);
            const QString path = PathOf(QStringLiteral("money%1.xls").arg(kind));
            std::unique_ptr<QStandardItemModel> model(PageOf(page));
            QCOMPARE(LedgerExport::Write(path, LedgerSheet::MoneyLedger, *model), QString());
            QCOMPARE(Import(path, LedgerSheet::MoneyLedger, kind).inserted, 2);
            QCOMPARE(Import(path, LedgerSheet::MoneyLedger, kind).updated, 2);
            QCOMPARE(StoredMoney(kind), page);
        }
    }

    void anImportIsOneEntryOfTheHistoryOrNothing()
    {
        QList<ProductRecord> page;
        for (int i = 0; i < 3; ++i)
            page << Goods(2, i);
        const QString path = PathOf(QStringLiteral("sales.xls"));
        std::unique_ptr<QStandardItemModel> model(PageOf(page));
        QCOMPARE(LedgerExport::Write(path, LedgerSheet::GoodsLedger, *model), QString());
        QCOMPARE(Import(path, LedgerSheet::GoodsLedger, 2).inserted, 3);
        QCOMPARE(Import(path, LedgerSheet::GoodsLedger, 2).updated, 3);
        QList<ChangeEntry> history;
        QVERIFY(engine->LoadChangeHistory(history));
        QCOMPARE(history.size(), 2);
        QCOMPARE(history.at(0).action, ChangeEntry::Import);
        QCOMPARE(history.at(0).note, QString("sales.xls：新增 3 行,更新 0 行,跳过 0 行"));
        QCOMPARE(history.at(0).before, QString("[]"));
        QCOMPARE(history.at(1).note, QString("sales.xls：新增 0 行,更新 3 行,跳过 0 行"));
        QList<QVariantList> before;
        QVERIFY(ChangeRows::Decode(history.at(1).before, {"product_serial"}, before));
        QCOMPARE(before.size(), 3);

        // When the history cannot be written (here a table of that name that is no history),
        // nothing is imported.
        QVERIFY(engine->ClearProductInfo(2));
        QSqlQuery query(DbManager::Instance()->Database());
        QVERIFY(query.exec("drop table tb_sm_change_log"));
        QVERIFY(query.exec("create table tb_sm_change_log (id int)"));
        QVERIFY(DbManager::Instance()->ConnectFromConfig(db->ConfigPath()));
        const ImportReport refused = Import(path, LedgerSheet::GoodsLedger, 2);
        QVERIFY(refused.failure.contains("操作记录"));
        QCOMPARE(refused.inserted, 0);
        QCOMPARE(StoredGoods(2), QList<ProductRecord>());
    }

    void aFileFromAnotherPageTakesThisPagesKind()
    {
        const QString path = PathOf("sales.xls");
        std::unique_ptr<QStandardItemModel> model(PageOf(QList<ProductRecord>{Goods(2, 1)}));
        QCOMPARE(LedgerExport::Write(path, LedgerSheet::GoodsLedger, *model), QString());
        QCOMPARE(Import(path, LedgerSheet::GoodsLedger, 4).inserted, 1);
        QCOMPARE(StoredGoods(4).size(), 1);
        QCOMPARE(StoredGoods(2).size(), 0);
    }

    void badRowsAreReportedByRowAndNothingOfThemStored()
    {
        RefuseCode();
        QList<ProductRecord> page;
        for (int i = 0; i < 9; ++i)
            page << Goods(0, i);
        page[1] = ProductRecord();     // sheet row 3: blank
        page[2].product_price = "abc"; // row 4
        page[3].product_name = QString(51, 'n');
        page[4].product_time = RefusedDate; // row 6: no such day
        page[5].product_serial.clear();     // row 7: a new record
        page[6].product_code = "refused";   // row 8
        const QString path = PathOf("bad.xls");
        std::unique_ptr<QStandardItemModel> model(PageOf(page));
        QCOMPARE(LedgerExport::Write(path, LedgerSheet::GoodsLedger, *model), QString());

        const ImportReport report = Import(path, LedgerSheet::GoodsLedger, 0);
        QCOMPARE(report.inserted, 4);
        QCOMPARE(report.skipped.size(), 5);
        QCOMPARE(report.skipped[0].sheetRow, 3);
        QCOMPARE(report.skipped[0].reason, QString("空行"));
        QCOMPARE(report.skipped[1].sheetRow, 4);
        QCOMPARE(report.skipped[1].reason, QString("第 11 列不是数字: abc"));
        QCOMPARE(report.skipped[2].sheetRow, 5);
        QVERIFY(report.skipped[2].reason.contains("超过该列的 50 个字符"));
        QCOMPARE(report.skipped[3].sheetRow, 6);
        QCOMPARE(report.skipped[3].reason, QString("第 8 列不是日期: 2024-02-30"));
        QCOMPARE(report.skipped[4].sheetRow, 8);
        QVERIFY2(report.skipped[4].reason.startsWith("数据库拒绝保存: "),
                 qPrintable(report.skipped[4].reason));
        QVERIFY(report.skipped[4].reason.contains("refused by the shop rule"));
        const QList<ProductRecord> stored = StoredGoods(0);
        QCOMPARE(stored.size(), 4);
        for (const ProductRecord& r : stored) {
            QVERIFY(r.product_price == "12.50");
            QVERIFY(r.product_name == "A^^B");
        }
        QFile text(path + ".import.txt");
        QVERIFY(text.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(text.readAll()).contains("第 8 行: 数据库拒绝保存"));

        // A sheet narrower than a goods row: every row is too short.
        std::unique_ptr<QStandardItemModel> narrow(new QStandardItemModel(2, 5));
        for (int r = 0; r < 2; ++r)
            narrow->setItem(r, 0, new QStandardItem("x"));
        QCOMPARE(LedgerExport::Write(PathOf("narrow.xls"), 0, *narrow), QString());
        const ImportReport shortRows = Import(PathOf("narrow.xls"), LedgerSheet::GoodsLedger, 0);
        QCOMPARE(shortRows.skipped.size(), 2);
        QCOMPARE(shortRows.skipped[1].sheetRow, 3);
        QCOMPARE(shortRows.skipped[1].reason, QString("只有 5 列,至少需要 19 列"));
        QCOMPARE(StoredGoods(0).size(), 4);
    }

    // Real date cells, day numbers and written dates from other programs' files, in both date
    // systems, arrive as "yyyy-MM-dd"; a cell that is no date refuses its row.
    void datesFromOtherProgramsAreStoredAsYearMonthDay_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("dates"); // of the stored records, in entry time order
        QTest::addColumn<QStringList>("refused");
        const QString day = QStringLiteral("2024-03-05");
        QTest::newRow("xlsx 1900")
            << "goods1900.xlsx" << QStringList{day, day, day, day, day, day, "1900-03-01", day}
            << QStringList{"8: 第 8 列不是日期: 2024-02-30", "10: 第 8 列不是日期: 60"};
        QTest::newRow("xlsx 1904")
            << "goods1904.xlsx" << QStringList{day, day, day, "1904-01-01"} << QStringList();
        QTest::newRow("xlsx 1904 ISO dates")
            << "goods1904iso.xlsx" << QStringList{day, day} << QStringList();
        QTest::newRow("xls 1900") << "goods1900.xls" << QStringList{day, day, day, day}
                                  << QStringList{"6: 第 8 列没有日期"};
        QTest::newRow("xls 1904") << "goods1904.xls" << QStringList{day, day, day} << QStringList();
        QTest::newRow("money xlsx") << "money1900.xlsx" << QStringList{day, day}
                                    << QStringList{"4: 第 4 列不是日期: 5/3/2024"};
    }

    void datesFromOtherProgramsAreStoredAsYearMonthDay()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, dates);
        QFETCH(QStringList, refused);
        if (!PythonPeer::Missing().isEmpty())
            QSKIP(qPrintable(PythonPeer::Missing()));
        const bool money = file.startsWith("money");
        const ImportReport report = Import(
            ForeignSheet(file), money ? LedgerSheet::MoneyLedger : LedgerSheet::GoodsLedger, 0);
        QVERIFY2(report.Read(), qPrintable(report.failure));
        QCOMPARE(Skipped(report), refused);
        QCOMPARE(report.inserted, dates.size());
        QStringList stored;
        if (money) {
            for (const FinanceRecord& r : StoredMoney(0))
                stored << r.ie_time;
        } else {
            for (const ProductRecord& r : StoredGoods(0))
                stored << r.product_time;
        }
        QCOMPARE(stored, dates);
        // Each is found by the day it names.
        QList<ProductRecord> found;
        QVERIFY(engine->SelectProductRecords(1, 0, "", "2024-03-05", found));
        QCOMPARE(found.size(), money ? 0 : int(dates.count("2024-03-05")));
    }

    // A row without an entry time is a new record at every import; the result says so.
    void rowsWithoutEntryTimeAreAddedAgainAndCounted()
    {
        QList<FinanceRecord> page = {Money(2, 1), Money(2, 2), Money(2, 3)};
        page[0].ie_serial.clear();
        page[2].ie_serial.clear();
        const QString path = PathOf("receipts.xls");
        std::unique_ptr<QStandardItemModel> model(PageOf(page));
        QCOMPARE(LedgerExport::Write(path, LedgerSheet::MoneyLedger, *model), QString());
        const QString note = QStringLiteral("其中 2 行没有录入时间,已作为新记录添加;再次导入此"
                                            "文件会再次添加这些行。");

        const ImportReport first = Import(path, LedgerSheet::MoneyLedger, 2);
        QCOMPARE(first.inserted, 3);
        QCOMPARE(first.insertedWithoutEntryTime, 2);
        QCOMPARE(first.Summary().split('\n').mid(0, 2),
                 QStringList({"新增 3 行,更新 0 行,跳过 0 行。", note}));
        QVERIFY(first.FullText().contains(note));

        const ImportReport second = Import(path, LedgerSheet::MoneyLedger, 2);
        QCOMPARE(second.inserted, 2);
        QCOMPARE(second.updated, 1);
        QCOMPARE(second.insertedWithoutEntryTime, 2);
        QVERIFY(second.Summary().contains(note));
        QCOMPARE(StoredMoney(2).size(), 5);

        // A file whose rows all have their entry time says nothing of it.
        page[0].ie_serial = "2024-03-15 12:00:00:000";
        page[2].ie_serial = "2024-03-15 12:00:01:000";
        model.reset(PageOf(page));
        QCOMPARE(LedgerExport::Write(path, LedgerSheet::MoneyLedger, *model), QString());
        const ImportReport third = Import(path, LedgerSheet::MoneyLedger, 2);
        QCOMPARE(third.insertedWithoutEntryTime, 0);
        QVERIFY(!third.Summary().contains("没有录入时间"));
    }

    // A server that goes away during an import is tried once more, not once for every half of
    // every batch: the import stops there and names every row it did not save.
    void lostServerStopsTheImportAfterOneReconnect()
    {
        if (db->Kind() == TestDatabase::Sqlite)
            QSKIP("server only");
        const int rows = DatabaseEngine::BatchRows + 300;
        QList<ProductRecord> page;
        for (int i = 0; i < rows; ++i)
            page << Goods(0, i);
        const QString path = PathOf("many.xls");
        std::unique_ptr<QStandardItemModel> model(PageOf(page));
        QCOMPARE(LedgerExport::Write(path, LedgerSheet::GoodsLedger, *model), QString());

        const QString name = db->ServerDatabase();
        ImportReport report;
        int reconnects = 0;
        {
            ReconnectCounter counter;
            bool gone = false;
            report = LedgerImport(*engine, NewSerial)
                         .Run(path, LedgerSheet::GoodsLedger, 0, [&](int, int) {
                             if (gone)
                                 return;
                             gone = true; // after the first transaction's rows
                             QVERIFY(TestDatabase::OnPgServer("alter database " + name +
                                                              " allow_connections false"));
                             QVERIFY(db->DropConnections());
                         });
            reconnects = counter.Count();
        }
        QVERIFY(TestDatabase::OnPgServer("alter database " + name + " allow_connections true"));
        QCOMPARE(reconnects, 1);
        QCOMPARE(report.inserted, DatabaseEngine::BatchRows);
        QCOMPARE(report.notSaved, 300);
        QCOMPARE(report.skipped.size(), 300);
        QCOMPARE(report.skipped.first().sheetRow, DatabaseEngine::BatchRows + 2);
        QCOMPARE(report.skipped.last().sheetRow, rows + 1);
        QCOMPARE(report.skipped.last().reason, QString("未保存(导入已停止)"));
        QVERIFY2(report.Summary().split('\n').value(1).startsWith("导入未完成: 无法连接数据库("),
                 qPrintable(report.Summary()));
        QVERIFY(report.Summary().contains("300 行未保存,请在问题解决后重新导入此文件。"));
        QCOMPARE(StoredGoods(0).size(), DatabaseEngine::BatchRows); // on a reopened connection
    }

    void unreadableFilesFailAndStayAsTheyWere_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("damaged xls") << "damaged.xls" << CompoundSignature + QByteArray(600, 'x');
        QTest::newRow("damaged xlsx") << "damaged.xlsx" << QByteArray("PK\x03\x04garbage", 11);
        QTest::newRow("empty") << "empty.xls" << QByteArray();
        QTest::newRow("text") << "notes.xlsx" << QByteArray("a+b+c\n1+2+3\n");
    }

    void unreadableFilesFailAndStayAsTheyWere()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = PathOf(name);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        const QByteArray before = Digest(path);
        const ImportReport report = Import(path, LedgerSheet::GoodsLedger, 0);
        QVERIFY(!report.Read());
        QVERIFY2(report.failure.contains(path), qPrintable(report.failure));
        QCOMPARE(Digest(path), before);
        QCOMPARE(QFileInfo(path).size(), content.size());
        QVERIFY(!QFile::exists(path + ".import.txt"));
        QCOMPARE(GoodsRows(), 0);
    }

    void missingFileOrFolderFailsAndCreatesNothing()
    {
        const QString missing = PathOf("gone.xls");
        const ImportReport report = Import(missing, LedgerSheet::MoneyLedger, 0);
        QCOMPARE(report.failure, QString("文件 %1 不存在").arg(missing));
        QVERIFY(!QFile::exists(missing));
        QVERIFY(!Import(db->WorkDir(), LedgerSheet::MoneyLedger, 0).Read());
        QCOMPARE(QDir(db->WorkDir()).entryList({"*.xls*"}, QDir::Files).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestLedgerImport)
#include "tst_ledgerimport.moc"
