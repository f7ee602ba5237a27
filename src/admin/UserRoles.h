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

// The role names offered for codes 1 to 4, in code order.
QStringList Labels();
// One line per role, code order, telling what each role sees.
QStringList Descriptions();
// The code of a typed role text: the first of "超级"/"1" -> 1, "授权"/"2" -> 2, "普通"/"3" -> 3,
// "浏览"/"4" -> 4 that the text contains, otherwise 3.
int CodeForText(const QString& text);

} // namespace UserRoles
