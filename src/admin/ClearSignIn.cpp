#include "ClearSignIn.h"

#include "DialogLogin.h"
#include "Prompt.h"
#include "UserRoles.h"

#include <QCoreApplication>

namespace ClearSignIn
{

bool Authorise(QWidget* parent, QWidget* loginParent)
{
    DialogLogin signIn(loginParent);
    if (Prompt::Current().SignIn(signIn) != QDialog::Accepted)
        return false;
    if (UserRoles::MayAuthoriseClear(signIn.user.user_type))
        return true;
    PromptBox box;
    box.title = QCoreApplication::translate("ClearSignIn", "无权清空");
    box.text = QCoreApplication::translate(
                   "ClearSignIn", "清空须由超级用户或授权用户登录确认。\n账户“%1”是%2,不能确认清空,"
                                  "未删除任何数据。")
                   .arg(signIn.user.user_name, UserRoles::Label(signIn.user.user_type));
    box.icon = QMessageBox::Warning;
    Prompt::Current().Ask(parent, box);
    return false;
}

} // namespace ClearSignIn
