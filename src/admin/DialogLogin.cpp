#include "DialogLogin.h"

#include "DatabaseEngine.h"
#include "Prompt.h"
#include "ui_DialogLogin.h"

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
    DatabaseEngine* engine = DatabaseEngine::Instance();
    if (engine->CheckUserPassword(name, password)) {
        // The password picks the account when a name or phone number is shared.
        UserRecord record;
        record.user_phoneno = name;
        record.user_name = name;
        record.user_password = password;
        engine->LoadUserInfo(record);
        user = record;
        accept();
        return;
    }
    if (name == BuiltInName && password == BuiltInPassword && !engine->HasUserAccounts()) {
        user = UserRecord();
        user.user_type = 1;
        user.user_name = name;
        user.user_password = password;
        accept();
        Warn(tr("提示"), tr("当前以初始账户登录:请先在\"用户管理\"中添加用户,"
                            "添加后初始账户将不能再登录。"));
        return;
    }
    Warn(tr("警告"), tr("警告:用户名或密码错误!"));
    ui->input_name->clear();
    ui->input_password->clear();
    ui->input_name->setFocus(Qt::OtherFocusReason);
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
