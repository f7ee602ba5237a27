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

} // namespace

RoleView ViewFor(int userType)
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

} // namespace UserRoles
