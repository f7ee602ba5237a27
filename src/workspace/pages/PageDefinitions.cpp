#include "PageDefinitions.h"

#include <QPair>

namespace
{

const QString IconFolder = QStringLiteral(":/icons/icons/littleIcon1/");

// The goods-layout header texts that differ between tables, in the order purchase in, purchase
// return, sale (and sales statistics), sales return, loss, inventory.
enum GoodsTable { PurchaseIn, PurchaseBack, SaleOut, SaleBack, Loss, Inventory };

QStringList GoodsHeaders(GoodsTable t)
{
    static const QStringList serial = {"录入时间", "录入时间", "录入时间",
                                       "录入时间", "录入时间", "入库时间"};
    static const QStringList date = {"进货日期", "退货日期", "出售日期",
                                     "退货日期", "退货日期", "退货日期"};
    static const QStringList num = {"进货数量", "退货数目", "出售数目",
                                    "退回数量", "损失数目", "库存数目"};
    static const QStringList price = {"产品单价", "退货单价", "出售单价",
                                      "退回单价", "损失单价", "商品单价"};
    static const QStringList total = {"合计金额", "退款金额", "合计金额",
                                      "退回金额", "损失金额", "商品金额"};
    static const QStringList pay = {"已付款项", "已退金额", "已付款项", "已退款项", "----", "----"};
    static const QStringList debt = {"尚欠余款", "未退款项", "尚欠余款",
                                     "未退余款", "----",     "----"};
    static const QStringList supply = {"供货商",   "供货商",   "客户信息",
                                       "客户信息", "经手人员", "经手人员"};
    static const QStringList person = {"采购人员", "退货人员", "销售人员",
                                       "销售人员", "核实人员", "核实人员"};
    return {serial[t], "商品类目", "商品名称", "商品型号", "商品色号", "商品编码", "商品规格",
            date[t],   "存储仓库", num[t],     price[t],   total[t],   pay[t],     debt[t],
            supply[t], person[t],  "单据号",   "录入人员", "备注"};
}

QStringList MoneyHeaders(int kind)
{
    static const QStringList item = {"收款项目", "欠款项目", "收款项目", "支出项目",
                                     "支付项目", "支出项目", "支付项目"};
    static const QStringList sum = {"收款数额", "欠款数额", "收入数额", "支付数额",
                                    "支付数额", "支出数额", "支付数额"};
    static const QStringList time = {"收款时间", "欠款时间", "收入时间", "支付时间",
                                     "支付时间", "支出时间", "支付时间"};
    static const QStringList client = {"客户信息", "客户信息",   "客户信息",  "收款方信息",
                                       "员工信息", "收款方信息", "收款方信息"};
    static const QStringList sale = {"销售人员", "销售人员", "销售人员", "采购人员",
                                     "经手人员", "经手人员", "经手人员"};
    static const QStringList cert = {"收款单据号", "欠款凭证号", "收款凭证号", "支付凭证号",
                                     "收款凭证号", "收款凭证号", "支付凭证号"};
    return {"录入时间", item[kind],   sum[kind],
            time[kind], client[kind], sale[kind],
            cert[kind], "录入人员",   kind == 0 ? "备注(关联、备忘等)" : "备注"};
}

QString Suffixed(const QString& base, int number)
{
    return number == 1 ? base : QStringLiteral("%1_%2").arg(base).arg(number);
}

QList<PageButton> GoodsLedgerButtons(int n)
{
    return {{Suffixed("btn_puradd", n), "增加", IconFolder + "Add.png"},
            {Suffixed("btn_purdel", n), "删除", IconFolder + "Delete.png"},
            {Suffixed("btn_purclr", n), "清空", IconFolder + "No.png"},
            {Suffixed("btn_purquery", n), "查询", IconFolder + "Find.png"},
            {Suffixed("btn_inport", n), "导入", IconFolder + "Import.png"},
            {Suffixed("btn_export", n), "导出", IconFolder + "Export.png"},
            {Suffixed("btn_purprint", n), "打印", IconFolder + "Print.png"}};
}

QList<PageButton> MoneyLedgerButtons(int n)
{
    const QString s = QString::number(n);
    return {{"btn_finadd_" + s, "增加", IconFolder + "Add.png"},
            {"btn_findel_" + s, "删除", IconFolder + "Delete.png"},
            {"btn_finclr_" + s, "清空", IconFolder + "No.png"},
            {"btn_finquery_" + s, "查询", IconFolder + "Find.png"},
            {"btn_fininport_" + s, "导入", IconFolder + "Import.png"},
            {"btn_finexport_" + s, "导出", IconFolder + "Export.png"},
            {"btn_finprint_" + s, "打印", IconFolder + "Print.png"}};
}

PageDefinition GoodsPage(const QString& page, const QString& table, PageRole role, int kind,
                         GoodsTable headers, int number)
{
    PageDefinition d;
    d.stack = role == PageRole::SalesStatistics ? "stackedWidget_2" : "stackedWidget";
    d.page = page;
    d.table = table;
    d.family = PageFamily::Goods;
    d.role = role;
    d.kind = kind;
    const QString n = QString::number(number);
    d.totalLabels = {"总金额:", "已付款:", "未付款:"};
    d.totalFields = {"lineEdit_t_" + n, "lineEdit_p_" + n, "lineEdit_d_" + n};
    d.totalButton = "btn_total_" + n;
    d.totalButtonText = "统计";
    d.headers = GoodsHeaders(headers);
    return d;
}

PageDefinition MoneyPage(const QString& page, const QString& table, PageRole role, int kind,
                         int number)
{
    PageDefinition d;
    d.stack = "stackedWidget_3";
    d.page = page;
    d.table = table;
    d.family = PageFamily::Money;
    d.role = role;
    d.kind = kind;
    const QString n = QString::number(number);
    d.titleButton = "btn_fin_" + n;
    d.totalLabels = {"总额:"};
    d.totalFields = {"lineEdit_ft_" + n};
    d.totalButton = "btn_ft_" + n;
    d.totalButtonText = "数额统计";
    return d;
}

QList<PageDefinition> Build()
{
    QList<PageDefinition> pages;
    struct GoodsLedger {
        const char* page;
        const char* table;
        const char* title;
        const char* action;
    };
    const GoodsLedger goods[] = {
        {"page_purchaseIn_1", "tab_purchaseIn", "采购进货表", "action_purchase"},
        {"page_purchaseBack_2", "tab_purchaseBack", "采购退货表", "action_purBack"},
        {"page_saleout_3", "tab_saleout", "销售管理表", "action_saleout"},
        {"page_saleback_4", "tab_saleback", "销售退货表", "action_saleback"},
        {"page_Lossmge_5", "tab_storelose", "损耗表", "action_loss"},
    };
    for (int kind = 0; kind < PageDefinitions::GoodsKinds; ++kind) {
        const int n = kind + 1;
        PageDefinition d = GoodsPage(goods[kind].page, goods[kind].table, PageRole::Ledger, kind,
                                     GoodsTable(kind), n);
        d.titleButton = Suffixed("btn_label", n);
        d.titleText = goods[kind].title;
        d.titleAction = goods[kind].action;
        d.buttons = GoodsLedgerButtons(n);
        pages << d;
    }

    PageDefinition inventory =
        GoodsPage("page_store_curr", "tab_storeCurr", PageRole::Inventory, -1, Inventory, 6);
    inventory.titleButton = "btn_label_6";
    inventory.titleText = "库存表";
    inventory.titleAction = "action_instore";
    inventory.buttons = {{"btn_purquery_6", "查询", IconFolder + "Find.png"},
                         {"btn_purprint_6", "打印", IconFolder + "Print.png"},
                         {"btn_export_6", "导出", IconFolder + "Export.png"}};
    pages << inventory;

    PageDefinition sales =
        GoodsPage("page", "tab_saletotal_1", PageRole::SalesStatistics, -1, SaleOut, 7);
    sales.buttons = {{"btn_salequery_1", "查询", IconFolder + "Find.png"},
                     {"btn_export_7", "导出", IconFolder + "Export.png"},
                     {"btn_purprint_7", "打印", IconFolder + "Print.png"}};
    pages << sales;

    struct MoneyLedger {
        const char* page;
        const char* table;
        const char* title;
        const char* action;
    };
    const MoneyLedger money[] = {
        {"page_income", "tab_income", "收款管理表", "action_income"},
        {"page_debt", "tab_debt", "未收欠款管理表", "action_debt"},
        {"page_inother", "tab_inother", "其他收入表", "action_inother"},
        {"page_purpay", "tab_purpay", " 采购支付表", "action_purpay"},
        {"page_salary", "tab_salary", "员工薪酬", "action_salary"},
        {"page_utility", "tab_utility", "水电租赁支出", "action_utilites"},
        {"page_expother", "tab_expother", "其他支出", "action_expother"},
    };
    for (int kind = 0; kind < PageDefinitions::MoneyKinds; ++kind) {
        const int n = kind + 1;
        PageDefinition d =
            MoneyPage(money[kind].page, money[kind].table, PageRole::Ledger, kind, n);
        d.titleText = money[kind].title;
        d.titleAction = money[kind].action;
        d.buttons = MoneyLedgerButtons(n);
        d.headers = MoneyHeaders(kind);
        pages << d;
    }

    PageDefinition profit = MoneyPage("page_profit", "tab_profit", PageRole::Profit, -1, 8);
    profit.titleText = "利润表";
    profit.titleAction = "action_profit";
    profit.buttons = {{"btn_finquery_8", "查询", IconFolder + "Find.png"},
                      {"btn_finexport_8", "导出", IconFolder + "Export.png"},
                      {"btn_finprint_8", "打印", IconFolder + "Print.png"}};
    profit.headers = {"录入时间", "款项", "总计(元）", "--", "--", "--", "--", "--", "备注"};
    pages << profit;
    return pages;
}

} // namespace

CellEditor PageDefinition::EditorOf(int column) const
{
    if (role == PageRole::Inventory || column == 0)
        return CellEditor::Fixed;
    if (role == PageRole::Profit)
        return CellEditor::Text;
    if (family == PageFamily::Goods) {
        if (column == PageDefinitions::StoreColumn)
            return CellEditor::Fixed;
        if (column == PageDefinitions::DateColumnGoods)
            return CellEditor::Date;
    } else if (column == PageDefinitions::DateColumnMoney) {
        return CellEditor::Date;
    }
    return SourceOf(column) == ListSource::None ? CellEditor::Text : CellEditor::List;
}

int PageDefinition::MaxLength(int column) const
{
    return column == ColumnCount() - 1 ? -1 : PageDefinitions::TextLength;
}

ListSource PageDefinition::SourceOf(int column) const
{
    if (role == PageRole::Inventory || role == PageRole::Profit)
        return ListSource::None;
    if (family == PageFamily::Money) {
        switch (column) {
        case 1:
            return ListSource::PaymentItems;
        case 4:
            return table.contains("tab_salary") ? ListSource::Employees : ListSource::Clients;
        case 5:
        case 7:
            return ListSource::Employees;
        default:
            return ListSource::None;
        }
    }
    const bool purchase = table.contains("tab_purchaseIn") || table.contains("tab_purchaseBack");
    const bool sale = table.contains("tab_saleout") || table.contains("tab_saleback");
    switch (column) {
    case 1:
        return ListSource::Categories;
    case 2:
        return ListSource::GoodsNames;
    case 3:
        return ListSource::Models;
    case 4:
        return ListSource::Colours;
    case 6:
        return ListSource::Sizes;
    case 14:
        return purchase ? ListSource::Suppliers
               : sale   ? ListSource::Clients
                        : ListSource::Employees;
    case 15:
        return sale ? ListSource::EmployeesThenDistributors : ListSource::Employees;
    case 17:
        return ListSource::Employees;
    default:
        return ListSource::None;
    }
}

namespace PageDefinitions
{

const QList<PageDefinition>& All()
{
    static const QList<PageDefinition> pages = Build();
    return pages;
}

const PageDefinition* ByTable(const QString& table)
{
    for (const PageDefinition& d : All()) {
        if (d.table == table)
            return &d;
    }
    return nullptr;
}

const PageDefinition* ByButton(const QString& button)
{
    for (const PageDefinition& d : All()) {
        if (d.totalButton == button)
            return &d;
        for (const PageButton& b : d.buttons) {
            if (b.name == button)
                return &d;
        }
    }
    return nullptr;
}

const PageDefinition* Ledger(PageFamily family, int kind)
{
    for (const PageDefinition& d : All()) {
        if (d.role == PageRole::Ledger && d.family == family && d.kind == kind)
            return &d;
    }
    return nullptr;
}

ButtonRole RoleOfButton(const QString& button)
{
    static const QList<QPair<QLatin1String, ButtonRole>> roles = {
        {QLatin1String("inport"), ButtonRole::Import},
        {QLatin1String("export"), ButtonRole::Export},
        {QLatin1String("print"), ButtonRole::Print},
        {QLatin1String("query"), ButtonRole::Query},
        {QLatin1String("add"), ButtonRole::Add},
        {QLatin1String("del"), ButtonRole::Delete},
        {QLatin1String("clr"), ButtonRole::Clear}};
    for (const auto& [part, role] : roles) {
        if (button.contains(part))
            return role;
    }
    return ButtonRole::Other;
}

const QStringList& PaymentItems()
{
    static const QStringList items = {"销售收款", "销售欠款", "销售提成", "采购付款",
                                      "工资款",   "员工奖金", "水电款",   "租金款",
                                      "活动费",   "办公用品", "其它款项"};
    return items;
}

} // namespace PageDefinitions
