#include "DatabaseEngine.h"
#include "DialogHelp.h"
#include "DialogShowText.h"
#include "DialogStoreSet.h"
#include "ItemPicker.h"
#include "ListCodec.h"
#include "MainWindow.h"
#include "ScriptedPrompt.h"
#include "SignedInWindow.h"
#include "TestFolder.h"
#include "tst_workspace.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace
{

// A warehouse row as the list dialog writes it: serial, name, number, partitions, slots, two more.
QStringList Warehouse(const QString& number, const QString& partitions, const QString& slotCount)
{
    return {"1", "仓库", number, partitions, slotCount, "", ""};
}

bool SaveWarehouses(const QList<QStringList>& rows)
{
    return DatabaseEngine::Instance()->SaveListInfo(
        1, ListRecord{DialogStoreSet::WarehouseListKind, ListCodec::Pack(rows)});
}

QStringList Items(const QWidget& dialog, const char* box)
{
    auto* combo = dialog.findChild<QComboBox*>(box);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

void Choose(const QWidget& dialog, const char* box, const QString& text)
{
    auto* combo = dialog.findChild<QComboBox*>(box);
    combo->setCurrentIndex(combo->findText(text));
}

QString Place(const QWidget& dialog)
{
    return dialog.findChild<QLineEdit*>("lineEdit")->text();
}

void Confirm(QWidget& dialog)
{
    QTest::mouseClick(dialog.findChild<QPushButton*>("pushButton"), Qt::LeftButton);
}

// The window's store chooser: a window of its own, so found among the top-level widgets.
DialogStoreSet* StoreChooser()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* chooser = qobject_cast<DialogStoreSet*>(w))
            return chooser;
    }
    return nullptr;
}

QTableView* ShownTable(MainWindow& w, const char* action, const QString& table)
{
    w.findChild<QAction*>(action)->trigger();
    w.show();
    QTableView* view = w.Table(table);
    view->resize(1000, 400);
    return view;
}

void ClickCell(QTableView* table, int row, int column, bool twice = false)
{
    const QModelIndex index = table->model()->index(row, column);
    table->scrollTo(index);
    const QPoint at = table->visualRect(index).center();
    if (twice) {
        QTest::mousePress(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    } else
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

void TestDialogs::chooserComposesAndWritesThePlace()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(SaveWarehouses({Warehouse("01", "3", "4"), Warehouse("02", "60", "2")}));
    DialogStoreSet dialog;
    dialog.Reload();
    QCOMPARE(Items(dialog, "comboBox"), (QStringList{"01", "02"}));
    QCOMPARE(Items(dialog, "comboBox_2"), (QStringList{"A", "B", "C"}));
    QCOMPARE(Items(dialog, "comboBox_3"), (QStringList{"1", "2", "3", "4"}));
    QCOMPARE(Place(dialog), QString("01-A-1"));
    Choose(dialog, "comboBox_2", "B");
    Choose(dialog, "comboBox_3", "2");
    QCOMPARE(Place(dialog), QString("01-B-2"));

    QStandardItemModel model(3, 19);
    dialog.SetTarget(&model, 1, 8);
    dialog.show();
    Confirm(dialog);
    QCOMPARE(model.index(1, 8).data().toString(), QString("01-B-2"));
    QVERIFY(model.index(0, 8).data().toString().isEmpty());
    QVERIFY(dialog.isHidden());

    // The second warehouse brings its own partitions and slots; the cap is 52 names.
    Choose(dialog, "comboBox", "02");
    const QStringList partitions = Items(dialog, "comboBox_2");
    QCOMPARE(partitions.size(), 52);
    QCOMPARE(partitions.last(), QString("Z+"));
    QCOMPARE(Items(dialog, "comboBox_3"), (QStringList{"1", "2"}));
    QCOMPARE(Place(dialog), QString("02-A-1"));
}

void TestDialogs::chooserReadsBadCountsAsNone_data()
{
    QTest::addColumn<QString>("partitions");
    QTest::newRow("empty") << "";
    QTest::newRow("not a number") << "东区";
}

void TestDialogs::chooserReadsBadCountsAsNone()
{
    QFETCH(QString, partitions);
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(SaveWarehouses({Warehouse("01", partitions, "2")}));
    DialogStoreSet dialog;
    dialog.Reload();
    QVERIFY(Items(dialog, "comboBox_2").isEmpty());
    Choose(dialog, "comboBox_3", "2");
    QCOMPARE(Place(dialog), QString("01--2"));
}

void TestDialogs::emptyListStillTakesATypedPlace()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(SaveWarehouses({Warehouse("01", "3", "4")}));
    DialogStoreSet dialog;
    dialog.Reload();
    QCOMPARE(Items(dialog, "comboBox_2").size(), 3);
    // The warehouses are removed and the window asks the chooser to read its list again.
    QVERIFY(SaveWarehouses({}));
    dialog.Reload();
    for (const char* box : {"comboBox", "comboBox_2", "comboBox_3"})
        QVERIFY2(Items(dialog, box).isEmpty(), box);
    QStandardItemModel model(1, 19);
    dialog.SetTarget(&model, 0, 8);
    dialog.findChild<QLineEdit*>("lineEdit")->setText("东库 3 号架");
    Confirm(dialog);
    QCOMPARE(model.index(0, 8).data().toString(), QString("东库 3 号架"));
}

void TestDialogs::storeCellClickOpensTheChooserOnTop()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(SaveWarehouses({Warehouse("01", "3", "4")}));
    auto w = SignedInWindow();
    ProductModel* purchases = w->GoodsModel(0);
    purchases->SetRow(LedgerModel::RowMode::New, 0, {});
    QTableView* table = ShownTable(*w, "action_purchase", "tab_purchaseIn");

    ClickCell(table, 0, 7);
    ClickCell(table, 0, 9);
    QVERIFY(!StoreChooser());

    ClickCell(table, 0, 8);
    DialogStoreSet* chooser = StoreChooser();
    QVERIFY(chooser);
    QVERIFY(chooser->isVisible());
    QVERIFY(!chooser->parentWidget());
    QVERIFY(chooser->isWindow());
    QVERIFY(chooser->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(Items(*chooser, "comboBox"), QStringList{"01"});

    Choose(*chooser, "comboBox_2", "B");
    Choose(*chooser, "comboBox_3", "2");
    Confirm(*chooser);
    QCOMPARE(purchases->index(0, 8).data().toString(), QString("01-B-2"));
    QCOMPARE(TestFolder::Count("select count(*) from tb_sm_product_info "
                               "where product_store='01-B-2' and tab_type=0"),
             1);

    // Built once: the next click reuses the chooser with its last choice.
    ClickCell(table, 0, 8);
    QCOMPARE(StoreChooser(), chooser);
    QCOMPARE(Place(*chooser), QString("01-B-2"));
    // A double click there is two clicks on the chooser, not a text to view.
    ClickCell(table, 0, 8, true);
    auto* viewer = w->findChild<DialogShowText*>();
    QVERIFY(!viewer || viewer->isHidden());
}

void TestDialogs::helpActionOpensTheHelpDialog()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow();
    QString shown;
    bool modal = false;
    // Closes the help dialog from inside its own event loop, once it is shown.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* help = qobject_cast<DialogHelp*>(top);
            if (help && help->isVisible()) {
                shown = help->windowTitle();
                modal = help->isModal();
                help->reject();
            }
        }
    });
    answer.start(1);
    w->findChild<QAction*>("action_help")->trigger();
    answer.stop();
    QCOMPARE(shown, QString("联系方式"));
    QVERIFY(modal);
}

void TestDialogs::f1ShowsTheAboutBoxWhileThePickerHoldsEntries()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ScriptedPrompt prompt;
    auto w = SignedInWindow();
    QTest::keyClick(w.get(), Qt::Key_F1);
    QVERIFY(prompt.shown.isEmpty());

    w->Picker()->List()->addItem("红色");
    QTest::keyClick(w.get(), Qt::Key_F1);
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown[0].title, QString("关于软件 V1.0..."));
    const QStringList lines = prompt.shown[0].text.split('\n');
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], QString("软件 V1.0"));
    QVERIFY(lines[1].isEmpty() && lines[3].isEmpty());
    QVERIFY(!lines[2].isEmpty());
}

void TestDialogs::viewerShowsTheWholeTextOfAFixedCell()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow();
    ProductRecord stock;
    stock.product_name = "第一行 <b>粗体</b>\n第二行\n第三行";
    stock.product_store = "01-A-1";
    auto* inventory = dynamic_cast<ProductModel*>(w->Table("tab_storeCurr")->model());
    QVERIFY(inventory);
    inventory->ShowRecords({stock});
    QTableView* table = ShownTable(*w, "action_instore", "tab_storeCurr");
    ClickCell(table, 0, 2, true);
    auto* shown = w->findChild<DialogShowText*>();
    QVERIFY(shown);
    QVERIFY(shown->isVisible());
    auto* text = shown->findChild<QTextEdit*>("textEdit");
    QCOMPARE(text->toPlainText(), stock.product_name);
    QVERIFY(text->isReadOnly());
    QCOMPARE(shown->size(), QSize(300, 200));

    // An editable cell opens its editor instead; the viewer keeps its last text.
    shown->hide();
    w->GoodsModel(2)->SetRow(LedgerModel::RowMode::New, 0, {});
    QTableView* sales = ShownTable(*w, "action_saleout", "tab_saleout");
    ClickCell(sales, 0, 5, true);
    QVERIFY(shown->isHidden());
    QCOMPARE(text->toPlainText(), stock.product_name);
}
