// The table of figures with its sorting, sheet export, full-report PDF and chart figures, in a
// real dialog whose boxes and file questions are answered from inside a modal loop.
#include "ExcelEngine.h"
#include "FigureTableDialog.h"
#include "FigureTableModel.h"
#include "ModelColumn.h"
#include "PdfText.h"
#include "ScriptedPrompt.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace
{

// Three shops, given in an order no column sorts them in, and their total.
FigureTable Shops()
{
    FigureTable table;
    table.title = QStringLiteral("门店汇总");
    table.period = QStringLiteral("2024-05-01 至 2024-05-31");
    table.columns = {{QStringLiteral("门店"), FigureColumn::Text},
                     {QStringLiteral("销售额"), FigureColumn::Money},
                     {QStringLiteral("库存数量"), FigureColumn::Quantity},
                     {QStringLiteral("未定位记录"), FigureColumn::Count}};
    table.rows = {{{QStringLiteral("西店")}, {1234567.8, 12.5, 0}},
                  {{QStringLiteral("总店")}, {-20, 3000, 2}},
                  {{QStringLiteral("东店")}, {999.999, 0.25, 1}}};
    table.totals = FigureRow{{QStringLiteral("合计")}, {1235547.799, 3012.75, 3}};
    return table;
}

} // namespace

class TestFigureTable : public QObject
{
    Q_OBJECT

private slots:
    void numbersAreGroupedAndSortingKeepsTheTotalLast()
    {
        FigureTableDialog dialog;
        dialog.SetTable(Shops());
        QCOMPARE(dialog.windowTitle(), QString("门店汇总（2024-05-01 至 2024-05-31）"));
        QAbstractItemModel& model = *dialog.View()->model();
        // Unsorted, the rows keep the caller's order.
        QCOMPARE(ModelColumn(model, 0), QStringList({"西店", "总店", "东店", "合计"}));
        QCOMPARE(ModelColumn(model, 1),
                 QStringList({"1,234,567.80", "-20.00", "1,000.00", "1,235,547.80"}));
        QCOMPARE(ModelColumn(model, 2), QStringList({"12.5", "3,000", "0.25", "3,012.75"}));
        QCOMPARE(ModelColumn(model, 3), QStringList({"0", "2", "1", "3"}));
        QVERIFY(model.index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignRight);
        QVERIFY(model.index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignLeft);
        QVERIFY(model.index(3, 1).data(Qt::FontRole).value<QFont>().bold());

        // The reader clicks a header: by value, not by text ("-20.00" < "1,000.00").
        dialog.View()->sortByColumn(1, Qt::AscendingOrder);
        QCOMPARE(ModelColumn(model, 0), QStringList({"总店", "东店", "西店", "合计"}));
        dialog.View()->sortByColumn(2, Qt::DescendingOrder);
        QCOMPARE(ModelColumn(model, 0), QStringList({"总店", "西店", "东店", "合计"}));
        dialog.View()->sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(ModelColumn(model, 0).last(), QString("合计"));
        QCOMPARE(ModelColumn(model, 0).mid(0, 3).size(), 3);

        // New figures keep the sort the reader chose.
        dialog.View()->sortByColumn(3, Qt::DescendingOrder);
        FigureTable next = Shops();
        next.rows[0].values[2] = 9;
        dialog.SetTable(next);
        QCOMPARE(ModelColumn(model, 0), QStringList({"西店", "总店", "东店", "合计"}));
        QCOMPARE(dialog.View()->horizontalHeader()->sortIndicatorSection(), 3);
    }

    void theChartTakesTheChosenColumnAsSortedWithoutTheTotal()
    {
        const FigureTable table = Shops();
        const ChartSeries bar =
            FigureTables::Bar(table, 1, FigureTables::SortedOrder(table, 1, true));
        QCOMPARE(bar.names, QStringList({"西店", "东店", "总店"}));
        QCOMPARE(bar.values, QList<double>({1234567.8, 999.999, -20}));
        QCOMPARE(bar.yTitle, QString("元"));
        QVERIFY(bar.subtitle.startsWith("销售额"));
        QVERIFY(FigureTables::Bar(table, 3, {0}).yTitle.isEmpty());

        ScriptedPrompt prompt;
        FigureTableDialog dialog;
        dialog.SetTable(table);
        dialog.ShowChart(0); // a text column has nothing to draw
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].title, QString("图形显示"));
        QVERIFY(!dialog.Chart());
    }

    void theSheetAndThePdfHoldTheRowsAsShown()
    {
        QTemporaryDir dir;
        ScriptedPrompt prompt;
        FigureTableDialog dialog;
        dialog.SetTable(Shops());
        dialog.View()->sortByColumn(1, Qt::DescendingOrder);

        const QString sheet = QDir(dir.path()).filePath("shops");
        prompt.AnswerFiles({sheet});
        dialog.ExportSheet();
        QVERIFY2(prompt.shown.isEmpty(), qPrintable(prompt.shown.value(0).text));
        QCOMPARE(dialog.Note(), "已导出表格：" + QDir::toNativeSeparators(sheet + ".xls"));
        ExcelEngine engine(sheet + ".xls");
        QVERIFY(engine.Open());
        QStringList lines;
        QVERIFY(engine.ReadSheetToList(lines));
        // Numbers without separators, rounded as shown, the total row last.
        QCOMPARE(lines, QStringList({"西店+1234567.8+12.5+0", "东店+1000+0.25+1", "总店+-20+3000+2",
                                     "合计+1235547.8+3012.75+3"}));

        if (!PdfText::Available())
            QSKIP("pdftotext is not installed");
        const QString pdf = QDir(dir.path()).filePath("shops");
        prompt.AnswerFiles({pdf});
        dialog.WritePdf();
        QVERIFY(prompt.shown.isEmpty());
        const QString text = PdfText::Pages(pdf + ".pdf").join('\n');
        QVERIFY2(text.contains("门店汇总"), qPrintable(text));
        QVERIFY2(text.contains("2024-05-01 至 2024-05-31"), qPrintable(text));
        QVERIFY2(text.indexOf("西店") < text.indexOf("东店"), qPrintable(text));
        QVERIFY2(text.indexOf("总店") < text.indexOf("合计"), qPrintable(text));
        QVERIFY2(text.contains("1,235,547.80"), qPrintable(text));
    }

    void aFileThatCannotBeWrittenIsToldAndNothingClaimed()
    {
        QTemporaryDir dir;
        ScriptedPrompt prompt;
        FigureTableDialog dialog;
        dialog.SetTable(Shops());
        const QString missing = QDir(dir.path()).filePath("no/such/folder/shops.xls");
        prompt.AnswerFiles({missing, QDir(dir.path()).filePath("no/such/folder/shops.pdf")});
        dialog.ExportSheet();
        dialog.WritePdf();
        QCOMPARE(prompt.shown.size(), 2);
        QCOMPARE(prompt.shown[0].title, QString("导出失败"));
        QCOMPARE(prompt.shown[1].title, QString("输出失败"));
        QVERIFY(dialog.Note().isEmpty());

        dialog.ExportSheet(); // the file question cancelled: nothing happens
        QCOMPARE(prompt.shown.size(), 2);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestFigureTable test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_figuretable.moc"
