// The shop analyses as a clerk reaches them: the low-stock list after sign-in and on demand, the
// dialog of reorder levels, the ageing and margin windows, and what each role gets of them. Each
// runs on a bench's pages and status line with a real SQLite database.
#include "AnalysisFlow.h"
#include "AnalysisWindow.h"
#include "DatabaseEngine.h"
#include "DbManager.h"
#include "FlowBench.h"
#include "ReorderDialog.h"
#include "ReorderLevels.h"
#include "SampleGoods.h"
#include "StatusLine.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

namespace
{

constexpr int Purchase = 0;
constexpr int Sale = 2;

// Five of M-1 bought, two sold on credit: three on hand, 20 of the sale still owed by 李.
bool AddSampleLedger()
{
    ProductRecord sale =
        SampleGoods(Sale, "s1", QDate::currentDate().toString(Qt::ISODate), "M-1", "2");
    sale.product_total = "30";
    sale.product_pay = "10";
    sale.product_debt = "20";
    return TestFolder::AddProduct(SampleGoods(Purchase, "p1", "2024-01-02", "M-1", "5")) &&
           TestFolder::AddProduct(sale);
}

QList<ReorderLevel> StoredLevels()
{
    QList<ReorderLevel> out;
    ReorderLevels(*DbManager::Instance(), DatabaseEngine::Instance()->StoreNo()).Load(out);
    return out;
}

bool SetLevel(double level)
{
    return ReorderLevels(*DbManager::Instance(), DatabaseEngine::Instance()->StoreNo())
        .Save({{"M-1", "红", "一号库", level}});
}

// The table an analysis window shows for its view of that place.
const QAbstractItemModel* TabTable(AnalysisWindow* window, int view)
{
    window->Choose(view);
    return window->View()->model();
}

// Types `text` into the level cell of the first row as a clerk does (moving there opens the
// editor), and leaves the editor open.
void TypeLevel(ReorderDialog& dialog, const QString& text)
{
    QTableView* table = dialog.Table();
    const QModelIndex cell = table->model()->index(0, ReorderDialog::LevelColumn);
    table->setCurrentIndex(cell);
    if (!table->indexWidget(cell))
        table->edit(cell);
    auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(cell));
    QVERIFY(editor);
    editor->selectAll();
    // As an input method hands over what was typed, Chinese included.
    editor->insert(text);
}

QString LevelCell(const ReorderDialog& dialog)
{
    return dialog.Model()->item(0, ReorderDialog::LevelColumn)->text();
}

} // namespace

class TestAnalysisFlow : public QObject
{
    Q_OBJECT
private slots:
    void afterSignInTheLowStockListShowsOnlyWhenSomethingIsLow()
    {
        FlowBench bench;
        QVERIFY(bench.ready && AddSampleLedger());
        AnalysisFlow flow(bench.window, *bench.status, 2);
        QSignalSpy shown(&flow, &AnalysisFlow::Shown);

        QVERIFY(SetLevel(2)); // three on hand: not low
        flow.CheckLowStock();
        QVERIFY(shown.wait(10000));
        QVERIFY(!flow.LowStockWindow());
        QVERIFY(bench.prompt.shown.isEmpty());
        QVERIFY(bench.Bar()->isHidden());

        QVERIFY(SetLevel(3)); // at the level
        flow.CheckLowStock();
        QVERIFY(shown.wait(10000));
        QVERIFY(flow.LowStockWindow() && flow.LowStockWindow()->isVisible());
        const QAbstractItemModel* list = TabTable(flow.LowStockWindow(), 0);
        QVERIFY(list);
        QCOMPARE(list->rowCount(), 1);
        QCOMPARE(list->index(0, 0).data().toString(), QString("M-1"));
        QCOMPARE(list->index(0, 4).data().toString(), QString("3"));
        QVERIFY(bench.prompt.shown.isEmpty());
    }

    void onDemandAnEmptyListIsToldWithWhatToDo()
    {
        FlowBench bench;
        QVERIFY(bench.ready && AddSampleLedger());
        AnalysisFlow flow(bench.window, *bench.status, 1);
        QSignalSpy shown(&flow, &AnalysisFlow::Shown);
        flow.ShowLowStock();
        QVERIFY(shown.wait(10000));
        QVERIFY(!flow.LowStockWindow());
        QCOMPARE(bench.prompt.shown.size(), 1);
        QVERIFY(bench.prompt.shown[0].text.contains("设置库存预警"));
    }

    void typedLevelsAreCheckedAndStoredByKey()
    {
        FlowBench bench;
        QVERIFY(bench.ready && AddSampleLedger());
        AnalysisFlow flow(bench.window, *bench.status, 2);
        QSignalSpy shown(&flow, &AnalysisFlow::Shown);
        flow.EditLevels();
        QVERIFY(shown.wait(10000));
        ReorderDialog* dialog = flow.LevelsDialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->Model()->rowCount(), 1);
        QCOMPARE(dialog->Model()->item(0, ReorderDialog::OnHandColumn)->text(), QString("3"));

        // Not a number: told, nothing stored, the text kept for correcting.
        TypeLevel(*dialog, "三");
        QVERIFY(!dialog->Save());
        QCOMPARE(bench.prompt.shown.size(), 1);
        QVERIFY(bench.prompt.shown[0].text.contains("不是数字"));
        QCOMPARE(LevelCell(*dialog), QString("三"));
        QVERIFY(StoredLevels().isEmpty());

        // Still in its editor when saved: it counts.
        TypeLevel(*dialog, "4");
        dialog->findChild<QPushButton*>("btn_reordersave")->click();
        QCOMPARE(StoredLevels(), QList<ReorderLevel>({{"M-1", "红", "一号库", 4}}));
        QVERIFY(!dialog->HasChanges());
        // Told in the dialog, without a box to click away.
        QCOMPARE(bench.prompt.shown.size(), 1);
        QVERIFY(dialog->findChild<QLabel*>("label_reordersaved")->text().contains("已保存 1 项"));

        // Cleared: the level goes.
        TypeLevel(*dialog, "");
        QVERIFY(dialog->Save());
        QVERIFY(StoredLevels().isEmpty());
    }

    void aSaveThatFailsIsToldAndKeepsWhatWasTyped()
    {
        FlowBench bench;
        QVERIFY(bench.ready && AddSampleLedger());
        AnalysisFlow flow(bench.window, *bench.status, 1);
        QSignalSpy shown(&flow, &AnalysisFlow::Shown);
        flow.EditLevels();
        QVERIFY(shown.wait(10000));
        ReorderDialog* dialog = flow.LevelsDialog();
        QVERIFY(dialog);

        DbManager::Instance()->Disconnect();
        TypeLevel(*dialog, "6");
        QVERIFY(!dialog->Save());
        QCOMPARE(bench.prompt.shown.size(), 1);
        QCOMPARE(bench.prompt.shown[0].title, QString("保存失败"));
        QVERIFY(bench.prompt.shown[0].text.contains("数据库未连接"));
        QVERIFY(bench.StatusText().contains("保存失败"));
        QCOMPARE(LevelCell(*dialog), QString("6"));
        QVERIFY(dialog->HasChanges());

        // Closing asks before the typed level is dropped; "返回" keeps the dialog.
        bench.prompt.AnswerBoxes({1});
        dialog->reject();
        QVERIFY(dialog->isVisible());
        QCOMPARE(LevelCell(*dialog), QString("6"));

        QVERIFY(bench.folder.Connect());
        QVERIFY(dialog->Save());
        QCOMPARE(StoredLevels(), QList<ReorderLevel>({{"M-1", "红", "一号库", 6}}));
    }

    void ageingAndMarginsFillTheirTabs()
    {
        FlowBench bench;
        QVERIFY(bench.ready && AddSampleLedger());
        AnalysisFlow flow(bench.window, *bench.status, 1);
        QSignalSpy shown(&flow, &AnalysisFlow::Shown);

        flow.ShowAgeing();
        QVERIFY(shown.wait(10000));
        AnalysisWindow* ageing = flow.AgeingWindow();
        QCOMPARE(ageing->ViewCount(), 2);
        const QAbstractItemModel* customers = TabTable(ageing, 0);
        QCOMPARE(customers->rowCount(), 2); // and the total row
        QCOMPARE(customers->index(0, 0).data().toString(), QString("李"));
        QCOMPARE(customers->index(0, 1).data().toString(), QString("20.00")); // 0-30 days

        flow.ShowMargins();
        QVERIFY(shown.wait(10000));
        AnalysisWindow* margins = flow.MarginWindow();
        QCOMPARE(margins->ViewCount(), 3);
        const QAbstractItemModel* people = TabTable(margins, 0);
        QCOMPARE(people->rowCount(), 2);
        QCOMPARE(people->index(0, 0).data().toString(), QString("王"));
        QCOMPARE(people->index(0, 1).data().toString(), QString("30.00")); // amount
        QCOMPARE(people->index(0, 2).data().toString(), QString("20.00")); // 2 at 10
        QCOMPARE(people->index(0, 3).data().toString(), QString("10.00")); // margin
        QCOMPARE(people->index(0, 5).data().toString(), QString("33.3"));  // rate in percent

        // A period that ends before it begins is refused before anything runs.
        margins->SetDates({QDate(2024, 5, 2), QDate(2024, 5, 1)});
        margins->RunButton()->click();
        QVERIFY(bench.prompt.shown.last().text.contains("晚于"));
        QVERIFY(bench.Bar()->isHidden());
    }

    void rolesGetOnlyTheAnalysesTheyMaySee()
    {
        FlowBench bench;
        QVERIFY(bench.ready && AddSampleLedger());
        for (int role : {3, 4}) {
            AnalysisFlow flow(bench.window, *bench.status, role);
            flow.CheckLowStock();
            flow.ShowLowStock();
            flow.EditLevels();
            flow.ShowAgeing();
            flow.ShowMargins();
            QVERIFY(bench.Bar()->isHidden());
            QVERIFY(!flow.LowStockWindow() && !flow.LevelsDialog() && !flow.AgeingWindow() &&
                    !flow.MarginWindow());
        }
        AnalysisFlow authorised(bench.window, *bench.status, 2);
        authorised.ShowAgeing();
        authorised.ShowMargins();
        QVERIFY(!authorised.AgeingWindow() && !authorised.MarginWindow());
        QVERIFY(bench.Bar()->isHidden());
    }
};

QTEST_MAIN(TestAnalysisFlow)
#include "tst_analysisflow.moc"
