#include "LedgerModel.h"
#include "ListSources.h"
#include "PageDefinitions.h"
#include "tst_workspace.h"

#include <QSignalSpy>
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
