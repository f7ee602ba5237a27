#include "DialogLogin.h"

#include "DatabaseEngine.h"
#include "Prompt.h"
#include "ui_DialogLogin.h"

#include <QDebug>

const QString DialogLogin::BuiltInName = QStringLiteral("admin");
const QString DialogLogin::BuiltInPassword = QStringLiteral("407152");

DialogLogin::DialogLogin(QWidget* parent) : QDialog(parent), ui(new Ui::DialogLogin)
{
    ui->setupUi(this);
    ui->input_password->setEchoMode(QLineEdit::Password);
}

DialogLogin::~DialogLogin() = default;

void DialogLogin::on_onok_clicked()
{
    const QString name = ui->input_name->text();
    const QString password = ui->input_password->text();
    if (name.isEmpty() || password.isEmpty()) {
        Warn(tr("警告"), tr("警告:用户名或密码为空!"));
        return;
    }
    // Whenever the accounts cannot be read, nobody gets in: not the built-in account, which is
    // only for a store that verifiably has none, and not a partly loaded account.
    DatabaseEngine* engine = DatabaseEngine::Instance();
    switch (engine->CheckUserPassword(name, password)) {
    case DatabaseEngine::Answer::Yes:
        SignInAccount(name, password);
        return;
    case DatabaseEngine::Answer::Failed:
        WarnUnavailable(engine->LastError());
        return;
    case DatabaseEngine::Answer::No:
        break;
    }
    if (name != BuiltInName || password != BuiltInPassword) {
        WarnWrong();
        return;
    }
    switch (engine->HasUserAccounts()) {
    case DatabaseEngine::Answer::No:
        SignInBuiltIn();
        return;
    case DatabaseEngine::Answer::Failed:
        WarnUnavailable(engine->LastError());
        return;
    case DatabaseEngine::Answer::Yes:
        WarnWrong();
        return;
    }
}

void DialogLogin::SignInAccount(const QString& login, const QString& password)
{
    // The password picks the account when a name or phone number is shared.
    UserRecord record;
    record.user_phoneno = login;
    record.user_name = login;
    record.user_password = password;
    if (!DatabaseEngine::Instance()->LoadUserInfo(record)) {
        WarnUnavailable(DatabaseEngine::Instance()->LastError());
        return;
    }
    user = record;
    Record(user.user_name, user.user_type, true);
    accept();
}

void DialogLogin::SignInBuiltIn()
{
    user = UserRecord();
    user.user_type = 1;
    user.user_name = BuiltInName;
    user.user_password = BuiltInPassword;
    Record(BuiltInName, user.user_type, true);
    accept();
    Warn(tr("提示"), tr("当前以初始账户登录:请先在\"用户管理\"中添加用户,"
                        "添加后初始账户将不能再登录。"));
}

// A sign-in is recorded in the store's history but does not depend on it: an account that
// cannot write the history still signs in, and every change it then makes is refused and told.
void DialogLogin::Record(const QString& login, int role, bool accepted)
{
    if (!DatabaseEngine::Instance()->RecordSignIn(login, role, accepted))
        qDebug() << "sign-in not recorded:" << DatabaseEngine::Instance()->LastError();
}

void DialogLogin::WarnWrong()
{
    Record(ui->input_name->text(), 0, false);
    Warn(tr("警告"), tr("警告:用户名或密码错误!"));
    ui->input_name->clear();
    ui->input_password->clear();
    ui->input_name->setFocus(Qt::OtherFocusReason);
}

void DialogLogin::WarnUnavailable(const QString& reason)
{
    Warn(tr("警告"), tr("警告:无法读取账户,暂时不能登录!\n原因:%1").arg(reason));
}

void DialogLogin::Warn(const QString& title, const QString& text)
{
    PromptBox box;
    box.title = title;
    box.text = text;
    box.buttons = QStringList{tr("确定")};
    box.styleSheet =
        QStringLiteral("QPushButton{background-color:rgb(255, 0, 0); color:rgb(0, 0, 0);}");
    Prompt::Current().Ask(nullptr, box);
}
