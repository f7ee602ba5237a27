#include "DatabaseEngine.h"
#include "DbManager.h"
#include "DialogLogin.h"
#include "ScriptedPrompt.h"
#include "TestFolder.h"
#include "UserRoles.h"
#include "WheelFreeComboBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QWheelEvent>

namespace
{

UserRecord Account(int type, const QString& name, const QString& phone, const QString& password)
{
    UserRecord user;
    user.user_type = type;
    user.user_online = 1;
    user.user_name = name;
    user.user_phoneno = phone;
    user.user_password = password;
    return user;
}

QString Field(DialogLogin& dialog, const char* name)
{
    return dialog.findChild<QLineEdit*>(name)->text();
}

} // namespace

class TestAdmin : public QObject
{
    Q_OBJECT
private slots:
    void loginFormHasItsNamesAndTexts();
    void emptyFieldsWarnAndKeepTheirText();
    void wrongPasswordWarnsAndClearsBothFields();
    void phoneNumberSignsInAsTheStoredUser();
    void passwordPicksTheAccountOfASharedName();
    void builtInAccountOnlyWhileTheStoreHasNoAccount();
    void builtInAccountIsExact();
    void accountsOfOtherStoresCannotSignIn();
    void nobodyGetsInWhenTheAccountsCannotBeRead_data();
    void nobodyGetsInWhenTheAccountsCannotBeRead();
    void anAccountThatCannotBeLoadedDoesNotSignIn();
    void listBoxIgnoresTheWheel();
};

void TestAdmin::loginFormHasItsNamesAndTexts()
{
    DialogLogin dialog;
    QCOMPARE(dialog.windowTitle(), QString("登录界面"));
    QCOMPARE(dialog.size(), QSize(800, 500));
    QCOMPARE(dialog.findChild<QPushButton*>("onok")->text(), QString("登录"));
    QCOMPARE(dialog.findChild<QPushButton*>("oncancel")->text(), QString("退出"));
    QCOMPARE(dialog.findChild<QLineEdit*>("input_password")->echoMode(), QLineEdit::Password);
    QVERIFY(!dialog.windowIcon().isNull());
    QCOMPARE(dialog.user, UserRecord());
}

void TestAdmin::emptyFieldsWarnAndKeepTheirText()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ScriptedPrompt prompt;
    prompt.SignInWith({{"zhang", ""}});
    DialogLogin dialog;
    QCOMPARE(prompt.SignIn(dialog), int(QDialog::Rejected));
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown[0].title, QString("警告"));
    QCOMPARE(prompt.shown[0].text, QString("警告:用户名或密码为空!"));
    QCOMPARE(Field(dialog, "input_name"), QString("zhang"));
}

void TestAdmin::wrongPasswordWarnsAndClearsBothFields()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(TestFolder::AddUser(Account(2, "zhang", "13800000000", "secret")));
    ScriptedPrompt prompt;
    prompt.SignInWith({{"zhang", "wrong"}});
    DialogLogin dialog;
    QCOMPARE(prompt.SignIn(dialog), int(QDialog::Rejected));
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown[0].text, QString("警告:用户名或密码错误!"));
    QVERIFY(Field(dialog, "input_name").isEmpty());
    QVERIFY(Field(dialog, "input_password").isEmpty());
}

void TestAdmin::phoneNumberSignsInAsTheStoredUser()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    const UserRecord zhang = Account(3, "zhang", "13800000000", "secret");
    QVERIFY(TestFolder::AddUser(zhang));
    ScriptedPrompt prompt;
    prompt.SignInWith({{"13800000000", "secret"}});
    DialogLogin dialog;
    QCOMPARE(prompt.SignIn(dialog), int(QDialog::Accepted));
    QCOMPARE(dialog.user.user_name, QString("zhang"));
    QCOMPARE(dialog.user.user_phoneno, QString("13800000000"));
    QCOMPARE(dialog.user.user_type, 3);
    QVERIFY(prompt.shown.isEmpty());
}

void TestAdmin::passwordPicksTheAccountOfASharedName()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(TestFolder::AddUser(Account(1, "li", "13900000001", "first")));
    // Saving merges accounts of one name, so the second one is written as another installation
    // sharing the table might have written it.
    QSqlQuery insert(DbManager::Instance()->Database());
    QVERIFY(insert.exec("insert into tb_sm_user (user_type, user_online, user_phoneno, user_name, "
                        "user_password, user_ip, user_remark, store_no) values (4, 1, "
                        "'13900000002', 'li', 'second', '', '', '" +
                        DatabaseEngine::Instance()->StoreNo() + "')"));
    ScriptedPrompt prompt;
    prompt.SignInWith({{"li", "first"}});
    DialogLogin dialog;
    QCOMPARE(prompt.SignIn(dialog), int(QDialog::Accepted));
    QCOMPARE(dialog.user.user_type, 1);
    QCOMPARE(dialog.user.user_phoneno, QString("13900000001"));
}

void TestAdmin::builtInAccountOnlyWhileTheStoreHasNoAccount()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    {
        ScriptedPrompt prompt;
        prompt.SignInWith({{"admin", "407152"}});
        DialogLogin dialog;
        QCOMPARE(prompt.SignIn(dialog), int(QDialog::Accepted));
        QCOMPARE(dialog.user.user_type, 1);
        QCOMPARE(dialog.user.user_name, QString("admin"));
        QVERIFY(dialog.user.user_phoneno.isEmpty());
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].title, QString("提示"));
        QVERIFY(prompt.shown[0].text.contains("用户管理"));
    }
    QVERIFY(TestFolder::AddUser(Account(2, "admin", "", "other")));
    ScriptedPrompt prompt;
    prompt.SignInWith({{"admin", "407152"}, {"admin", "other"}});
    DialogLogin dialog;
    QCOMPARE(prompt.SignIn(dialog), int(QDialog::Accepted));
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown[0].text, QString("警告:用户名或密码错误!"));
    QCOMPARE(dialog.user.user_type, 2);
}

void TestAdmin::builtInAccountIsExact()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    ScriptedPrompt prompt;
    prompt.SignInWith({{"Admin", "407152"}, {"admin", "407152 "}});
    DialogLogin dialog;
    QCOMPARE(prompt.SignIn(dialog), int(QDialog::Rejected));
    QCOMPARE(prompt.shown.size(), 2);
}

void TestAdmin::accountsOfOtherStoresCannotSignIn()
{
    TestFolder folder(TestFolder::Sqlite, "20240101000000000LINK");
    QVERIFY(folder.Connect());
    QVERIFY(TestFolder::AddUser(Account(1, "wang", "", "pw"), "20230101000000000LINK"));
    ScriptedPrompt prompt;
    prompt.SignInWith({{"wang", "pw"}, {"admin", "407152"}});
    DialogLogin dialog;
    QCOMPARE(prompt.SignIn(dialog), int(QDialog::Accepted));
    QCOMPARE(dialog.user.user_name, QString("admin"));
    QCOMPARE(prompt.shown[0].text, QString("警告:用户名或密码错误!"));
}

void TestAdmin::nobodyGetsInWhenTheAccountsCannotBeRead_data()
{
    QTest::addColumn<QString>("breakage");
    QTest::newRow("table renamed") << "alter table tb_sm_user rename to tb_sm_user_old";
    QTest::newRow("connection closed") << "";
}

void TestAdmin::nobodyGetsInWhenTheAccountsCannotBeRead()
{
    QFETCH(QString, breakage);
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(TestFolder::AddUser(Account(2, "zhang", "13800000000", "secret")));
    if (breakage.isEmpty())
        DbManager::Instance()->Disconnect();
    else
        QVERIFY(QSqlQuery(DbManager::Instance()->Database()).exec(breakage));

    ScriptedPrompt prompt;
    prompt.SignInWith({{"admin", "407152"}, {"zhang", "secret"}});
    DialogLogin dialog;
    QCOMPARE(prompt.SignIn(dialog), int(QDialog::Rejected));
    QCOMPARE(dialog.user, UserRecord());
    QCOMPARE(prompt.shown.size(), 2);
    for (const ScriptedPrompt::Shown& box : prompt.shown) {
        QCOMPARE(box.title, QString("警告"));
        QVERIFY2(box.text.startsWith("警告:无法读取账户,暂时不能登录!\n原因:") &&
                     !box.text.section("原因:", 1).isEmpty(),
                 qPrintable(box.text));
    }
    // Not a wrong password: the fields stay for another try.
    QCOMPARE(Field(dialog, "input_name"), QString("zhang"));
}

void TestAdmin::anAccountThatCannotBeLoadedDoesNotSignIn()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QVERIFY(TestFolder::AddUser(Account(4, "zhang", "13800000000", "secret")));
    // The password can still be checked, the account's role can no longer be read.
    QVERIFY(QSqlQuery(DbManager::Instance()->Database())
                .exec("alter table tb_sm_user rename column user_type to user_role"));
    ScriptedPrompt prompt;
    prompt.SignInWith({{"zhang", "secret"}});
    DialogLogin dialog;
    QCOMPARE(prompt.SignIn(dialog), int(QDialog::Rejected));
    QCOMPARE(dialog.user, UserRecord());
    QCOMPARE(prompt.shown.size(), 1);
    QVERIFY(prompt.shown[0].text.startsWith("警告:无法读取账户"));
}

void TestAdmin::listBoxIgnoresTheWheel()
{
    ComboxBoxSpec box;
    box.addItems({"a", "b", "c"});
    box.setCurrentIndex(1);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&box, &wheel);
    QCOMPARE(box.currentIndex(), 1);
    QVERIFY(wheel.isAccepted());
    QVERIFY(UserRoles::ViewFor(1).hiddenActions.isEmpty());
    QVERIFY(!UserRoles::ViewFor(9).goodsStartPage);
}

QTEST_MAIN(TestAdmin)
#include "tst_admin.moc"
