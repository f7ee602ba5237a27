#pragma once

#include <QStringList>
#include <optional>

// What a signed-in user of a role sees of the main window, by object names.
struct RoleView {
    std::optional<int> goodsStartPage; // index of the goods page stack, none = the form's
    QStringList hiddenActions;
    QStringList hiddenMenus;
    QStringList hiddenWidgets;
    QStringList shownActions;
};

// Role codes of tb_sm_user.user_type: 1 super user, 2 authorised user, 3 general user,
// 4 browse user.
namespace UserRoles
{

// Unknown codes see everything, as a super user does.
RoleView ViewFor(int userType);

} // namespace UserRoles
