// "门店汇总" without the main window: who is offered it, a run over a real SQLite database on a
// thread of its own with the status line's progress, and a cancel that leaves no half table.
#include "ChainSummaryFlow.h"
#include "FigureTableDialog.h"
#include "FlowBench.h"
#include "ModelColumn.h"
#include "PeriodChooser.h"
#include "SampleGoods.h"
#include "StatusLine.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace
{

ChainConfig TwoShops()
{
    ChainConfig chain;
    chain.shops = {{QStringLiteral("S-EAST"), QStringLiteral("东店")},
                   {FlowBench::Store, QStringLiteral("总店")}};
    return chain;
}

ProductRecord Sale(const QString& serial, const QString& num)
{
    return SampleGoods(2, serial, QStringLiteral("2024-05-05"), QStringLiteral("M-1"), num);
}

} // namespace

class TestChainFlow : public QObject
{
    Q_OBJECT

private slots:
    void onlyASuperUserWithAChainIsOffered()
    {
        const ChainConfig chain = TwoShops();
        QVERIFY(ChainSummaryFlow::Offered(1, chain));
        for (int role : {2, 3, 4, 0, 7})
            QVERIFY2(!ChainSummaryFlow::Offered(role, chain), qPrintable(QString::number(role)));
        QVERIFY(!ChainSummaryFlow::Offered(1, ChainConfig()));

        // A section that cannot be used is told, not summarised.
        FlowBench bench;
        QVERIFY(bench.ready);
        ChainConfig broken;
        broken.error = QStringLiteral("门店编号 S-EAST 重复");
        QVERIFY(ChainSummaryFlow::Offered(1, broken));
        ChainSummaryFlow flow(bench.window, *bench.status, broken);
        QVERIFY(!flow.Open());
        QCOMPARE(bench.prompt.shown.size(), 1);
        QVERIFY(bench.prompt.shown[0].text.contains("门店编号 S-EAST 重复"));
    }

    void aRunShowsEveryNamedShopAndTheTotal()
    {
        FlowBench bench;
        QVERIFY(bench.ready);
        QVERIFY(TestFolder::AddProduct(Sale("a", "2"), FlowBench::Store));
        QVERIFY(TestFolder::AddProduct(Sale("b", "5"), QStringLiteral("S-EAST")));
        // Not in the chain: a sale that would change the total.
        QVERIFY(TestFolder::AddProduct(Sale("c", "1000"), QStringLiteral("S-ELSEWHERE")));

        ChainSummaryFlow flow(bench.window, *bench.status, TwoShops());
        FigureTableDialog* dialog = flow.Open();
        QVERIFY(dialog && dialog->isVisible());
        flow.Chooser()->SetTimeMode(2);
        flow.Chooser()->SetDates(QDate(2024, 5, 1), QDate(2024, 5, 20));
        QSignalSpy finished(&flow, &ChainSummaryFlow::Finished);
        flow.Start();
        QVERIFY(flow.IsRunning());
        QVERIFY(bench.CancelButton()->isEnabled());
        flow.Start(); // a second start while one runs changes nothing
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toInt(), int(ChainResult::Done));
        QVERIFY(!flow.IsRunning());

        QCOMPARE(dialog->windowTitle(), QString("门店汇总（2024-05-01 至 2024-05-31）"));
        const QAbstractItemModel& model = *dialog->View()->model();
        QCOMPARE(ModelColumn(model, 0), QStringList({"东店", "总店", "合计"}));
        // SampleGoods sells at 10 a piece.
        QCOMPARE(ModelColumn(model, 1), QStringList({"50.00", "20.00", "70.00"}));
        QVERIFY(bench.StatusText().contains("门店汇总完成：2 家门店"));
        QVERIFY(bench.prompt.shown.isEmpty());

        // The clerk sorts by sales: the total stays last.
        dialog->View()->sortByColumn(1, Qt::AscendingOrder);
        QCOMPARE(ModelColumn(model, 0), QStringList({"总店", "东店", "合计"}));
    }

    void aCancelledRunLeavesNoHalfTable()
    {
        FlowBench bench;
        QVERIFY(bench.ready);
        QVERIFY(TestFolder::AddProduct(Sale("a", "2"), FlowBench::Store));
        ChainConfig many;
        for (int i = 0; i < 40; ++i)
            many.shops << ChainConfig::Shop{QStringLiteral("S%1").arg(i),
                                            QStringLiteral("店%1").arg(i)};
        many.shops << ChainConfig::Shop{FlowBench::Store, QStringLiteral("总店")};
        ChainSummaryFlow flow(bench.window, *bench.status, many);
        FigureTableDialog* dialog = flow.Open();
        flow.Chooser()->SetTimeMode(5);
        QSignalSpy finished(&flow, &ChainSummaryFlow::Finished);
        flow.Start();
        bench.CancelButton()->click();
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished[0][0].toInt(), int(ChainResult::Stopped));
        QCOMPARE(dialog->View()->model()->rowCount(), 0);
        QCOMPARE(dialog->windowTitle(), QString("门店汇总（全部时间）"));
        QVERIFY(dialog->Note().startsWith("统计已取消"));
        QVERIFY(bench.StatusText().contains("门店汇总已取消"));

        // The next run goes through.
        flow.Start();
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished[1][0].toInt(), int(ChainResult::Done));
        QCOMPARE(dialog->View()->model()->rowCount(), 42);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestChainFlow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chainflow.moc"
