// Sheet lines <-> ledger records, ledger pages written to sheets and the import report, without a
// database.
#include "ExcelEngine.h"
#include "ImportReport.h"
#include "LedgerSheet.h"
#include "LedgerSheetRows.h"
#include "SerialDate.h"

#include <QFile>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

namespace
{

QStringList GoodsCells()
{
    QStringList cells;
    for (int c = 0; c < ProductRecord::TextCount; ++c)
        cells << QStringLiteral("g%1").arg(c);
    cells[0] = "2024-03-15 10:00:00:001";
    cells[7] = "2024K03K15";
    for (int c = 9; c <= 13; ++c)
        cells[c] = QString::number(c * 1.5);
    return cells;
}

QStringList MoneyCells()
{
    return {"2024-03-15 10:00:00:002",
            "销售收款",
            "99.5",
            "2024K03K16",
            "客户",
            "张三",
            "NO-1",
            "李四",
            "备注"};
}

} // namespace

class TestLedgerSheets : public QObject
{
    Q_OBJECT

    int made = 0;
    LedgerSheetRows Rows(int kind, bool dateSystem1904 = false)
    {
        return LedgerSheetRows(
            kind, [this] { return QStringLiteral("new-%1").arg(++made); }, dateSystem1904);
    }

private slots:
    void goodsLineBecomesTheRecordOfThePagesKind()
    {
        QStringList cells = GoodsCells();
        cells[2] = "A^^B+C"; // cells come as they are: no escapes
        cells[18] = "\"引号\" 与 'quote'";
        cells << "ignored"
              << "too";
        ProductRecord r;
        QString reason;
        QVERIFY2(Rows(4).ToRecord(cells, r, reason), qPrintable(reason));
        QCOMPARE(r.tab_type, 4);
        QCOMPARE(r.product_serial, QString("2024-03-15 10:00:00:001"));
        QCOMPARE(r.product_name, QString("A^^B+C"));
        QCOMPARE(r.product_model, QString("g3"));
        QCOMPARE(r.product_time, QString("2024-03-15"));
        QCOMPARE(r.product_num, QString("13.5"));
        QCOMPARE(r.prodcut_remark, cells[18]);
    }

    void moneyLineTurnsKDatesAndNothingElse()
    {
        QStringList cells = MoneyCells();
        cells[6] = "K1K2"; // only the date column is read as a date
        FinanceRecord r;
        QString reason;
        QVERIFY2(Rows(6).ToRecord(cells, r, reason), qPrintable(reason));
        QCOMPARE(r.tab_type, 6);
        QCOMPARE(r.ie_time, QString("2024-03-16"));
        QCOMPARE(r.ie_cert, QString("K1K2"));
        QCOMPARE(r.ie_sum, QString("99.5"));
    }

    // Whatever form a date arrives in, it is stored as the one form the queries find; a cell
    // that names no day refuses its row, like a bad number.
    void datesAreStoredAsYearMonthDay_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("dateSystem1904");
        QTest::addColumn<QString>("stored"); // empty: the row is refused
        const QStringList written = {"2024-03-05",
                                     "2024K03K05",
                                     "2024/3/5",
                                     "2024-3-5",
                                     "2024.3.5",
                                     "2024年3月5日",
                                     " 2024/03/05 ",
                                     "2024/3/5 10:11",
                                     "2024-3-5 10:11:12",
                                     "2024年3月5日 8:05",
                                     "2024-03-05T10:11:12.5",
                                     "2024-03-05 10:11:12:345"};
        for (const QString& text : written)
            QTest::newRow(qPrintable(text)) << text << false << "2024-03-05";
        QTest::newRow("day number") << "45356" << false << "2024-03-05";
        QTest::newRow("day number with time") << "45356.4244444444" << false << "2024-03-05";
        QTest::newRow("1904 day number") << "43894" << true << "2024-03-05";
        QTest::newRow("first day") << "1" << false << "1900-01-01";
        QTest::newRow("before the phantom day") << "59" << false << "1900-02-28";
        QTest::newRow("after the phantom day") << "61" << false << "1900-03-01";
        QTest::newRow("1904 first day") << "0" << true << "1904-01-01";
        QTest::newRow("last day") << "2958465" << false << "9999-12-31";
        QTest::newRow("leap day") << "2024-2-29" << false << "2024-02-29";

        for (const char* text : {"2024-02-30", "2023-02-29", "2024-13-01", "2024-3/5", "15/03/2024",
                                 "24/3/5", "2024/3/5 25:00", "2024-3-5 10", "3月5日", "2024年3月",
                                 "昨天", "15/03/2024K", "-5", "1e5", "2024-03-05 abc", "20240305"})
            QTest::newRow(text) << QString(text) << false << QString();
        QTest::newRow("phantom 29 February 1900") << "60" << false << QString();
        QTest::newRow("day 0 of 1900") << "0" << false << QString();
        QTest::newRow("past 9999") << "2958466" << false << QString();
        QTest::newRow("before 1904") << "-1" << true << QString();
    }

    void datesAreStoredAsYearMonthDay()
    {
        QFETCH(QString, cell);
        QFETCH(bool, dateSystem1904);
        QFETCH(QString, stored);
        const LedgerSheetRows rows = Rows(0, dateSystem1904);
        QStringList goods = GoodsCells();
        goods[7] = cell;
        ProductRecord p;
        QString reason;
        if (!stored.isEmpty()) {
            QVERIFY2(rows.ToRecord(goods, p, reason), qPrintable(reason));
            QCOMPARE(p.product_time, stored);
            return;
        }
        QVERIFY(!rows.ToRecord(goods, p, reason));
        QCOMPARE(reason, QStringLiteral("第 8 列不是日期: %1").arg(cell));
        QCOMPARE(p, ProductRecord());
        QStringList money = MoneyCells();
        money[3] = cell;
        FinanceRecord f;
        QVERIFY(!rows.ToRecord(money, f, reason));
        QCOMPARE(reason, QStringLiteral("第 4 列不是日期: %1").arg(cell));
    }

    void anEmptyDateCellRefusesItsRow()
    {
        QStringList money = MoneyCells();
        money[3] = " ";
        FinanceRecord f;
        QString reason;
        QVERIFY(!Rows(0).ToRecord(money, f, reason));
        QCOMPARE(reason, QString("第 4 列没有日期"));
    }

    void dayNumbersAndDatesAgreeInBothSystems()
    {
        for (const bool system1904 : {false, true}) {
            const QDate first = system1904 ? QDate(1904, 1, 1) : QDate(1900, 1, 1);
            for (QDate d = first; d.year() < 2101; d = d.addDays(13)) {
                const std::optional<double> day =
                    SerialDate::FromText(d.toString("yyyy-MM-dd") + " 23:59:59", system1904);
                QVERIFY(day);
                QCOMPARE(SerialDate::ToDate(*day, system1904), d);
            }
        }
    }

    void emptyEntryTimesBecomeNewAndDistinct()
    {
        QStringList cells = GoodsCells();
        QVERIFY(!LedgerSheetRows::IsNewRecord(cells));
        cells[0].clear();
        QVERIFY(LedgerSheetRows::IsNewRecord(cells));
        const LedgerSheetRows rows = Rows(0);
        ProductRecord a, b;
        QString reason;
        QVERIFY(rows.ToRecord(cells, a, reason));
        QVERIFY(rows.ToRecord(cells, b, reason));
        QVERIFY(!a.product_serial.isEmpty());
        QVERIFY(a.product_serial != b.product_serial);
    }

    void linesThatCannotBeRecordsSayWhy_data()
    {
        QTest::addColumn<bool>("goods");
        QTest::addColumn<QStringList>("line");
        QTest::addColumn<QString>("reason");
        QStringList g = GoodsCells();
        QTest::newRow("blank") << true << QStringList(19) << "空行";
        QTest::newRow("blanks") << false << QStringList{" ", "", "\t", "", "", "", "", "", ""}
                                << "空行";
        QTest::newRow("short goods") << true << g.mid(0, 18) << "只有 18 列,至少需要 19 列";
        QTest::newRow("short money")
            << false << QStringList{"a", "1", "b"} << "只有 3 列,至少需要 9 列";
        for (int c : {9, 10, 11, 12, 13}) {
            QStringList bad = g;
            bad[c] = "12元";
            QTest::addRow("number column %d", c)
                << true << bad << QStringLiteral("第 %1 列不是数字: 12元").arg(c + 1);
        }
        QStringList money = MoneyCells();
        money[2] = "abc";
        QTest::newRow("money amount") << false << money << "第 3 列不是数字: abc";
        QStringList longText = g;
        longText[2] = QString(51, QChar(0x5546));
        QTest::newRow("51 characters")
            << true << longText << "第 3 列有 51 个字符,超过该列的 50 个字符";
        money = MoneyCells();
        money[7] = QString(60, 'x');
        QTest::newRow("money 60") << false << money << "第 8 列有 60 个字符,超过该列的 50 个字符";
    }

    void linesThatCannotBeRecordsSayWhy()
    {
        QFETCH(bool, goods);
        QFETCH(QStringList, line);
        QFETCH(QString, reason);
        QString why;
        ProductRecord p;
        FinanceRecord f;
        const bool ok = goods ? Rows(0).ToRecord(line, p, why) : Rows(0).ToRecord(line, f, why);
        QVERIFY(!ok);
        QCOMPARE(why, reason);
        QCOMPARE(p, ProductRecord());
        QCOMPARE(f, FinanceRecord());
    }

    void textsUpToTheirColumnAndLongRemarksPass()
    {
        QStringList cells = GoodsCells();
        cells[2] = QString(50, QChar(0x5546));
        cells[18] = QString(5000, 'r');
        cells[9] = " 12 ";
        cells[10] = "";
        ProductRecord r;
        QString reason;
        QVERIFY2(Rows(1).ToRecord(cells, r, reason), qPrintable(reason));
        QCOMPARE(r.prodcut_remark.size(), 5000);
        QCOMPARE(r.product_num, QString(" 12 ")); // checked, stored as read
    }

    void ledgerPagesWriteEveryCellAndDates_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("dateColumn");
        QTest::newRow("goods") << int(LedgerSheet::GoodsLedger) << 7;
        QTest::newRow("money") << int(LedgerSheet::MoneyLedger) << 3;
    }

    void ledgerPagesWriteEveryCellAndDates()
    {
        QFETCH(int, kind);
        QFETCH(int, dateColumn);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ledger%1.xls").arg(kind));
        QStandardItemModel model(3, 8);
        for (int c = 0; c < 8; ++c)
            model.setHorizontalHeaderItem(c, new QStandardItem(QStringLiteral("列%1").arg(c)));
        for (int c = 0; c < 8; ++c)
            model.setItem(0, c, new QStandardItem(QStringLiteral("旧%1").arg(c)));
        {
            // Cells the ledger leaves empty must clear what the file held there before.
            ExcelEngine engine(path);
            QVERIFY(engine.Open());
            QVERIFY(engine.WriteTableToSheet(&model));
        }
        model.setItem(0, 1, new QStandardItem(QString()));
        model.setData(model.index(0, dateColumn), QStringLiteral("2014-05-20"));
        model.setData(model.index(1, dateColumn), QDate(2023, 12, 1));
        model.setData(model.index(1, 0), QStringLiteral("2024-01-02"));
        model.setData(model.index(2, dateColumn), QStringLiteral("不是日期"));
        {
            ExcelEngine engine(path);
            QVERIFY(!LedgerSheet::WriteLedgerToSheet(engine, kind, &model));
            QVERIFY(engine.Open());
            QVERIFY(LedgerSheet::WriteLedgerToSheet(engine, kind, &model));
        }
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        QStringList list;
        engine.ReadSheetToList(list);
        QCOMPARE(list.size(), 3);
        const QStringList first = list[0].split('+');
        QCOMPARE(first.value(1), QString());
        QCOMPARE(first.value(dateColumn), QStringLiteral("2014K05K20"));
        QCOMPARE(first.value(2), QStringLiteral("旧2"));
        QCOMPARE(list[1].split('+').value(dateColumn), QStringLiteral("2023K12K01"));
        QCOMPARE(list[1].split('+').value(0), QStringLiteral("2024-01-02"));
        QCOMPARE(list[2].split('+').value(dateColumn), QStringLiteral("不是日期"));
    }

    void reportListsTwentyAndWritesAllBesideTheSource()
    {
        QTemporaryDir dir;
        ImportReport report;
        report.source = dir.filePath("进货.xls");
        report.inserted = 3;
        report.updated = 2;
        for (int i = 0; i < 25; ++i)
            report.skipped << ImportReport::SkippedRow{i + 2, QStringLiteral("原因%1").arg(i)};
        report.WriteBesideSource();
        QCOMPARE(report.reportPath, dir.filePath("进货.xls.import.txt"));
        const QStringList box = report.Summary().split('\n');
        QCOMPARE(box.first(), QString("新增 3 行,更新 2 行,跳过 25 行。"));
        QCOMPARE(box[1], QString("第 2 行: 原因0"));
        QCOMPARE(box[20], QString("第 21 行: 原因19"));
        QCOMPARE(box[21], QString("……另有 5 行被跳过。"));
        QVERIFY(box[22].endsWith("进货.xls.import.txt"));

        QFile file(report.reportPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QCOMPARE(text, report.FullText());
        QVERIFY(text.contains("第 26 行: 原因24\n"));
    }

    void reportThatCannotBeWrittenSaysWhy()
    {
        ImportReport report;
        report.source = "/nonexistent-folder/x.xls";
        report.WriteBesideSource();
        QVERIFY(report.reportPath.isEmpty());
        QVERIFY(
            report.Summary().contains("报告文件未能写入: /nonexistent-folder/x.xls.import.txt"));
    }
};

QTEST_GUILESS_MAIN(TestLedgerSheets)
#include "tst_ledgersheets.moc"
