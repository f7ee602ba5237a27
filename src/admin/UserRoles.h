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

// What a user may change on the pages and in the lists the view leaves him. Whatever a role may
// not do is offered to it disabled.
enum class Change {
    Enter,  // add rows and edit cells
    Delete, // delete one row
    Clear,  // ask for a clear, which then needs the sign-in of a role that may authorise it
    Import, // import spreadsheet rows over the stored ones
};
// Super and authorised users (and unknown codes, which see everything) make every change;
// general users enter, edit and delete single rows; browse users change nothing.
bool Allows(int userType, Change change);
// Whether the sign-in of an account of this role lets a page or a list be cleared: only super
// and authorised users.
bool MayAuthoriseClear(int userType);
// Whether the role sees the figures of every shop of a chain side by side: only the super user
// (an unknown code does not).
bool SeesChainSummary(int userType);
// Whether the role reads the change history ("操作记录"): only the super user (an unknown code
// does not).
bool SeesChangeHistory(int userType);
// The shop analyses of the menu "经营分析": the low-stock list and its levels are for super and
// authorised users (and unknown codes), the ageing of unpaid amounts and the gross margin, which
// show purchase prices and money owed, for super users (and unknown codes) only.
enum class Analysis { LowStock, Levels, Ageing, Margin };
bool MaySee(int userType, Analysis analysis);
// The object names of the menu "经营分析" and of its entries.
inline constexpr const char* AnalysisMenu = "menu_analysis";
const char* AnalysisAction(Analysis analysis);

// The role's name, or the bare code for a code without one.
QString Label(int userType);

// The role names offered for codes 1 to 4, in code order.
QStringList Labels();
// One line per role, code order, telling what each role sees.
QStringList Descriptions();
// The code of a typed role text: the first of "超级"/"1" -> 1, "授权"/"2" -> 2, "普通"/"3" -> 3,
// "浏览"/"4" -> 4 that the text contains, otherwise 3.
int CodeForText(const QString& text);

} // namespace UserRoles
