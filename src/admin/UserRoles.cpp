#include "UserRoles.h"

namespace UserRoles
{

namespace
{

// Money ledgers, purchasing, person lists, user management and backup: kept from every role
// below the super user.
RoleView Restricted(int startPage)
{
    RoleView view;
    view.goodsStartPage = startPage;
    view.hiddenWidgets = {"stackedWidget_3"};
    view.hiddenMenus = {"menu_finance",  "menu_income",   "menu_pay",   "menu_earn",
                        "menu_purchase", "menu_employee", "menu_client"};
    view.hiddenActions = {
        "action_showFin",  "action_income",   "action_debt",       "action_inother",
        "action_purpay",   "action_salary",   "action_utilites",   "action_expother",
        "action_profit",   "action_purchase", "action_purBack",    "action_distri",
        "action_employee", "action_client",   "action_ref",        "action_supplier",
        "action_users",    "action_datasave", "action_datarestore"};
    return view;
}

// The analysis entries the role may not see are hidden, and the menu with them when none is left.
RoleView WithAnalyses(int userType, RoleView view)
{
    bool any = false;
    for (Analysis a : {Analysis::LowStock, Analysis::Levels, Analysis::Ageing, Analysis::Margin}) {
        if (MaySee(userType, a))
            any = true;
        else
            view.hiddenActions << AnalysisAction(a);
    }
    if (!any)
        view.hiddenMenus << AnalysisMenu;
    return view;
}

RoleView ViewWithoutAnalyses(int userType)
{
    const int salesPage = 2;
    const int inventoryPage = 5;
    switch (userType) {
    case 2:
        return Restricted(salesPage);
    case 3: {
        RoleView view = Restricted(salesPage);
        view.hiddenActions << "action_saleout"
                           << "action_saleback";
        view.shownActions << "action_saletotal";
        return view;
    }
    case 4: {
        RoleView view = Restricted(inventoryPage);
        view.hiddenActions << "action_saleout"
                           << "action_saleback"
                           << "action_showSale"
                           << "action_infotodb"
                           << "action_editstore";
        return view;
    }
    default:
        return {};
    }
}

} // namespace

RoleView ViewFor(int userType)
{
    return WithAnalyses(userType, ViewWithoutAnalyses(userType));
}

bool MaySee(int userType, Analysis analysis)
{
    switch (userType) {
    case 2:
        return analysis == Analysis::LowStock || analysis == Analysis::Levels;
    case 3:
    case 4:
        return false;
    default:
        return true;
    }
}

const char* AnalysisAction(Analysis analysis)
{
    switch (analysis) {
    case Analysis::LowStock:
        return "action_lowstock";
    case Analysis::Levels:
        return "action_reorder";
    case Analysis::Ageing:
        return "action_ageing";
    case Analysis::Margin:
        return "action_margin";
    }
    return "";
}

bool Allows(int userType, Change change)
{
    switch (userType) {
    case 3:
        return change != Change::Import;
    case 4:
        return false;
    default:
        return true;
    }
}

bool MayAuthoriseClear(int userType)
{
    return userType == 1 || userType == 2;
}

bool SeesChainSummary(int userType)
{
    return userType == 1;
}

bool SeesChangeHistory(int userType)
{
    return userType == 1;
}

QString Label(int userType)
{
    const QStringList labels = Labels();
    return userType >= 1 && userType <= labels.size() ? labels.at(userType - 1)
                                                      : QStringLiteral("权限代码 %1").arg(userType);
}

QStringList Labels()
{
    return {QStringLiteral("超级用户"), QStringLiteral("授权用户"), QStringLiteral("一般用户"),
            QStringLiteral("浏览用户")};
}

QStringList Descriptions()
{
    return {QStringLiteral("1.超级用户:所有权限均可见（老板、管理员等）"),
            QStringLiteral("2.允许用户:除采购和财务信息均可见（骨干员工、一般合伙人等）"),
            QStringLiteral("3.一般用户:除销售统计和库存信息外,均不可见（店员、销售人员等）"),
            QStringLiteral("4.浏览用户:除库存信息外,均不可见(仓库管理等岗位)")};
}

int CodeForText(const QString& text)
{
    static const struct {
        const char* word;
        QChar digit;
        int code;
    } tests[] = {{"超级", u'1', 1}, {"授权", u'2', 2}, {"普通", u'3', 3}, {"浏览", u'4', 4}};
    for (const auto& test : tests) {
        if (text.contains(QString::fromUtf8(test.word)) || text.contains(test.digit))
            return test.code;
    }
    return 3;
}

} // namespace UserRoles
