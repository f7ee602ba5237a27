#include "CellDelegates.h"
#include "ComboxBoxSpec.h"
#include "LedgerModel.h"
#include "ListSources.h"
#include "PageDefinitions.h"
#include "tst_workspace.h"

#include <QDateEdit>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTest>

namespace
{

ListSources SampleLists()
{
    ListSources lists;
    lists.SetMasterList(ListSources::Categories, "衬衫;裤子");
    lists.SetMasterList(ListSources::Models, "M##1;M&&2");
    lists.SetPersonList(ListSources::Employees, "小王-13800000000;小李-13900000000");
    lists.SetPersonList(ListSources::Clients, "客户甲-地址;客户乙-地址");
    lists.SetPersonList(ListSources::Suppliers, "供应商甲-x");
    lists.SetPersonList(ListSources::Distributors, "分销商甲-y");
    return lists;
}

const PageDefinition& Page(const QString& table)
{
    const PageDefinition* d = PageDefinitions::ByTable(table);
    Q_ASSERT(d);
    return *d;
}

} // namespace

void TestPages::fifteenPagesWithTheirObjectNames()
{
    const QList<PageDefinition>& pages = PageDefinitions::All();
    QCOMPARE(pages.size(), 15);
    QStringList tables;
    for (const PageDefinition& d : pages)
        tables << d.table;
    QCOMPARE(tables,
             (QStringList{"tab_purchaseIn", "tab_purchaseBack", "tab_saleout", "tab_saleback",
                          "tab_storelose", "tab_storeCurr", "tab_saletotal_1", "tab_income",
                          "tab_debt", "tab_inother", "tab_purpay", "tab_salary", "tab_utility",
                          "tab_expother", "tab_profit"}));
    QCOMPARE(PageDefinitions::Ledger(PageFamily::Goods, 2)->page, QString("page_saleout_3"));
    QCOMPARE(PageDefinitions::Ledger(PageFamily::Goods, 4)->titleButton, QString("btn_label_5"));
    QCOMPARE(PageDefinitions::Ledger(PageFamily::Money, 3)->titleText, QString(" 采购支付表"));
    QCOMPARE(PageDefinitions::Ledger(PageFamily::Money, 6)->totalButton, QString("btn_ft_7"));
    QCOMPARE(Page("tab_purchaseIn").buttons.first().name, QString("btn_puradd"));
    QCOMPARE(Page("tab_saleback").buttons.at(4).name, QString("btn_inport_4"));
    QCOMPARE(Page("tab_salary").buttons.at(6).name, QString("btn_finprint_5"));
    QCOMPARE(Page("tab_saletotal_1").stack, QString("stackedWidget_2"));
    QCOMPARE(Page("tab_saletotal_1").totalFields,
             (QStringList{"lineEdit_t_7", "lineEdit_p_7", "lineEdit_d_7"}));
    QCOMPARE(Page("tab_profit").totalFields, QStringList{"lineEdit_ft_8"});
    QVERIFY(Page("tab_saletotal_1").titleButton.isEmpty());
    QCOMPARE(PageDefinitions::PaymentItems().first(), QString("销售收款"));
    QCOMPARE(PageDefinitions::PaymentItems().size(), 11);
}

void TestPages::headersFollowTheTable_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("header");
    QTest::newRow("purchase date") << "tab_purchaseIn" << 7 << "进货日期";
    QTest::newRow("return count") << "tab_purchaseBack" << 9 << "退货数目";
    QTest::newRow("sale person") << "tab_saleout" << 15 << "销售人员";
    QTest::newRow("statistics like sales") << "tab_saletotal_1" << 7 << "出售日期";
    QTest::newRow("sales return owed") << "tab_saleback" << 13 << "未退余款";
    QTest::newRow("loss paid") << "tab_storelose" << 12 << "----";
    QTest::newRow("loss checker") << "tab_storelose" << 15 << "核实人员";
    QTest::newRow("stock serial") << "tab_storeCurr" << 0 << "入库时间";
    QTest::newRow("stock count") << "tab_storeCurr" << 9 << "库存数目";
    QTest::newRow("remark") << "tab_storeCurr" << 18 << "备注";
    QTest::newRow("income remark") << "tab_income" << 8 << "备注(关联、备忘等)";
    QTest::newRow("debt proof") << "tab_debt" << 6 << "欠款凭证号";
    QTest::newRow("salary staff") << "tab_salary" << 4 << "员工信息";
    QTest::newRow("utility sum") << "tab_utility" << 2 << "支出数额";
    QTest::newRow("other expense remark") << "tab_expother" << 8 << "备注";
    QTest::newRow("profit total") << "tab_profit" << 2 << "总计(元）";
    QTest::newRow("profit filler") << "tab_profit" << 7 << "--";
}

void TestPages::headersFollowTheTable()
{
    QFETCH(QString, table);
    QFETCH(int, column);
    QFETCH(QString, header);
    const PageDefinition& d = Page(table);
    QCOMPARE(d.ColumnCount(), d.family == PageFamily::Goods ? 19 : 9);
    const ListSources lists;
    ProductModel model(d, lists, nullptr);
    QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), header);
    QCOMPARE(model.columnCount(), d.ColumnCount());
    if (d.family == PageFamily::Goods)
        QVERIFY(
            model.headerData(6, Qt::Horizontal, Qt::ToolTipRole).toString().contains("商品尺寸"));
}

void TestPages::cellEditorsByColumn()
{
    const PageDefinition& purchase = Page("tab_purchaseIn");
    QCOMPARE(purchase.EditorOf(0), CellEditor::Fixed);
    QCOMPARE(purchase.EditorOf(1), CellEditor::List);
    QCOMPARE(purchase.EditorOf(5), CellEditor::Text);
    QCOMPARE(purchase.EditorOf(7), CellEditor::Date);
    QCOMPARE(purchase.EditorOf(8), CellEditor::Fixed);
    QCOMPARE(purchase.EditorOf(9), CellEditor::Text);
    QCOMPARE(purchase.SourceOf(14), ListSource::Suppliers);
    QCOMPARE(purchase.SourceOf(15), ListSource::Employees);
    QCOMPARE(Page("tab_saleback").SourceOf(14), ListSource::Clients);
    QCOMPARE(Page("tab_saleout").SourceOf(15), ListSource::EmployeesThenDistributors);
    QCOMPARE(Page("tab_storelose").SourceOf(14), ListSource::Employees);
    QCOMPARE(Page("tab_salary").SourceOf(4), ListSource::Employees);
    QCOMPARE(Page("tab_income").SourceOf(4), ListSource::Clients);
    QCOMPARE(Page("tab_income").EditorOf(3), CellEditor::Date);
    QCOMPARE(Page("tab_income").SourceOf(1), ListSource::PaymentItems);
    for (int column = 0; column < 19; ++column)
        QCOMPARE(Page("tab_storeCurr").EditorOf(column), CellEditor::Fixed);
}

void TestPages::newRowTakesTheFirstEntryOfEveryList()
{
    const ListSources lists = SampleLists();
    ProductModel purchase(Page("tab_purchaseIn"), lists, nullptr);
    purchase.SetRow(LedgerModel::RowMode::New, 0, ProductRecord());
    ProductRecord row;
    QVERIFY(purchase.GetRow(0, 0, row));
    QVERIFY(QRegularExpression(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:\d{3}$)")
                .match(row.product_serial)
                .hasMatch());
    QCOMPARE(row.product_class, QString("衬衫"));
    QCOMPARE(row.product_model, QString("M-1"));
    QCOMPARE(row.product_time, QDate::currentDate().toString("yyyy-MM-dd"));
    QCOMPARE(row.product_supply, QString("供应商甲"));
    QCOMPARE(row.product_purchase, QString("小王"));
    QCOMPARE(row.product_record, QString("小王"));
    QVERIFY(row.product_store.isEmpty());
    QVERIFY(row.product_num.isEmpty());

    ProductModel sales(Page("tab_saleout"), lists, nullptr);
    sales.SetRow(LedgerModel::RowMode::New, 2, ProductRecord());
    QCOMPARE(sales.rowCount(), 3);
    QVERIFY(sales.GetRow(2, 2, row));
    QCOMPARE(row.tab_type, 2);
    QCOMPARE(row.product_supply, QString("客户甲"));
    QCOMPARE(row.product_purchase, QString("小王"));
    QCOMPARE(sales.Entries(15), (QStringList{"小王", "小李", "分销商甲"}));

    FinanceModel salary(Page("tab_salary"), lists, nullptr);
    salary.SetRow(LedgerModel::RowMode::New, 0, FinanceRecord());
    FinanceRecord money;
    QVERIFY(salary.GetRow(0, 4, money));
    QCOMPARE(money.ie_item, QString("销售收款"));
    QCOMPARE(money.ie_client, QString("小王"));
    QVERIFY(money.ie_sum.isEmpty());
}

void TestPages::shownRecordKeepsItsTextsAndGetsASerial()
{
    const ListSources lists = SampleLists();
    ProductModel model(Page("tab_saleout"), lists, nullptr);
    ProductRecord record;
    record.product_serial = "2024-05-01 10:00:00:123";
    record.product_class = "不在列表里";
    record.product_time = "2024-05-01";
    record.product_num = "3";
    model.SetRow(LedgerModel::RowMode::Show, 0, record);
    QCOMPARE(model.data(model.index(0, 1)).toString(), QString("不在列表里"));
    QCOMPARE(model.data(model.index(0, 9)).toString(), QString("3"));
    ProductRecord back;
    QVERIFY(model.GetRow(0, 2, back));
    record.tab_type = 2;
    QCOMPARE(back, record);

    ProductRecord unnamed;
    model.ShowRecords({record, unnamed, unnamed});
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(!model.data(model.index(1, 0)).toString().isEmpty());
    // Rows without a serial are separate records, however fast they are made.
    QVERIFY(model.data(model.index(1, 0)) != model.data(model.index(2, 0)));
    QStringList made;
    for (int i = 0; i < 500; ++i)
        made << LedgerModel::NextSerial();
    QStringList ordered = made;
    ordered.sort();
    ordered.removeDuplicates();
    QCOMPARE(ordered, made);
    QVERIFY(!model.GetRow(3, 2, back));
    QVERIFY(!model.GetRow(-1, 2, back));
}

void TestPages::datesReadAsTheDateCellDoes()
{
    QCOMPARE(LedgerModel::DateText("2024-3-5"), QString("2024-03-05"));
    QCOMPARE(LedgerModel::DateText("2024-02-29"), QString("2024-02-29"));
    QCOMPARE(LedgerModel::DateText("2023-02-29"), QString("2000-01-01"));
    QCOMPARE(LedgerModel::DateText("2024/03/05"), QString("2000-01-01"));
    QCOMPARE(LedgerModel::DateText(""), QString("2000-01-01"));
    const ListSources lists;
    FinanceModel model(Page("tab_income"), lists, nullptr);
    FinanceRecord record;
    record.ie_time = "soon";
    model.SetRow(LedgerModel::RowMode::Show, 0, record);
    QCOMPARE(model.data(model.index(0, 3)).toString(), QString("2000-01-01"));
    FinanceRecord back;
    QVERIFY(model.GetRow(0, 0, back));
    QCOMPARE(back.ie_time, QString("2000-01-01"));
}

void TestPages::anEditReportsItsRowOnce()
{
    const ListSources lists;
    ProductModel model(Page("tab_purchaseIn"), lists, nullptr);
    model.ShowRecords({ProductRecord(), ProductRecord()});
    QSignalSpy edited(&model, &LedgerModel::RowEdited);
    QVERIFY(model.setData(model.index(1, 9), "4"));
    QCOMPARE(edited.size(), 1);
    QCOMPARE(edited.at(0).at(0).toInt(), 1);
    QVERIFY(model.setData(model.index(1, 9), "4"));
    QCOMPARE(edited.size(), 1);
    QVERIFY(!model.setData(model.index(1, 0), "x"));
    QCOMPARE(edited.size(), 1);
    // The store cell is not typed into, but the store chooser writes it like an edit.
    QVERIFY(!(model.flags(model.index(0, 8)) & Qt::ItemIsEditable));
    QVERIFY(model.setData(model.index(1, 8), "01-B-2"));
    QCOMPARE(edited.size(), 2);
    QVERIFY(model.flags(model.index(0, 5)) & Qt::ItemIsEditable);

    ProductModel stock(Page("tab_storeCurr"), lists, nullptr);
    stock.ShowRecords({ProductRecord()});
    QVERIFY(!(stock.flags(stock.index(0, 9)) & Qt::ItemIsEditable));
    QVERIFY(!stock.setData(stock.index(0, 8), "01-B-2"));
}

void TestPages::listAndDateEditorsAreNamedAfterTableAndRow()
{
    const ListSources lists = SampleLists();
    ProductModel model(Page("tab_saleout"), lists, nullptr);
    ProductRecord record;
    record.product_class = "裤子";
    record.product_time = "2024-06-30";
    model.ShowRecords({ProductRecord(), ProductRecord(), ProductRecord(), record});
    QWidget parent;
    ListCellDelegate list;
    std::unique_ptr<QWidget> editor(list.createEditor(&parent, {}, model.index(3, 1)));
    auto* box = qobject_cast<ComboxBoxSpec*>(editor.get());
    QVERIFY(box);
    QCOMPARE(box->objectName(), QString("tab_saleout.3"));
    QVERIFY(box->isEditable());
    QCOMPARE(box->count(), 2);
    list.setEditorData(box, model.index(3, 1));
    QCOMPARE(box->currentText(), QString("裤子"));
    box->setCurrentIndex(0);
    list.setModelData(box, &model, model.index(3, 1));
    QCOMPARE(model.data(model.index(3, 1)).toString(), QString("衬衫"));

    DateCellDelegate date;
    std::unique_ptr<QWidget> dateEditor(date.createEditor(&parent, {}, model.index(3, 7)));
    auto* edit = qobject_cast<QDateEdit*>(dateEditor.get());
    QVERIFY(edit);
    QCOMPARE(edit->objectName(), QString("tab_saleout.3"));
    QVERIFY(edit->calendarPopup());
    date.setEditorData(edit, model.index(3, 7));
    QCOMPARE(edit->date(), QDate(2024, 6, 30));
    edit->setDate(QDate(2024, 7, 1));
    date.setModelData(edit, &model, model.index(3, 7));
    QCOMPARE(model.data(model.index(3, 7)).toString(), QString("2024-07-01"));
}
