// User accounts and packed lists, each store seeing only its own, on every back end.
#include "DatabaseEngine.h"
#include "DatabaseFixture.h"
#include "DbManager.h"
#include "TestDatabase.h"

#include <QSqlQuery>
#include <QTest>

namespace
{

using Answer = DatabaseEngine::Answer;

UserRecord Account(const QString& phone, const QString& name, const QString& password, int type)
{
    UserRecord u;
    u.user_phoneno = phone;
    u.user_name = name;
    u.user_password = password;
    u.user_type = type;
    u.user_ip = "192.168.1.20";
    u.user_remark = "店长's note";
    return u;
}

bool SignsIn(const QString& login, const QString& password)
{
    return DatabaseEngine::Instance()->CheckUserPassword(login, password) == Answer::Yes;
}

UserRecord Loaded(const QString& login, const QString& password = QString())
{
    UserRecord u;
    u.user_phoneno = login;
    u.user_name = login;
    u.user_password = password;
    DatabaseEngine::Instance()->LoadUserInfo(u);
    return u;
}

} // namespace

class AccountsTest : public DatabaseFixture
{
    Q_OBJECT
    DatabaseEngine* engine = DatabaseEngine::Instance();

private slots:
    void signInByPhoneOrName()
    {
        QCOMPARE(engine->HasUserAccounts(), Answer::No);
        const UserRecord u = Account("13800000001", "王芳", "pa'ss;word", 2);
        QVERIFY(engine->SaveUserInfo(u));
        QCOMPARE(engine->HasUserAccounts(), Answer::Yes);
        QVERIFY(SignsIn("13800000001", "pa'ss;word"));
        QVERIFY(SignsIn("王芳", "pa'ss;word"));
        QVERIFY(!SignsIn("王芳", "PA'SS;WORD"));
        QVERIFY(!SignsIn("王芳", ""));
        QVERIFY(!SignsIn("nobody", "pa'ss;word"));
        QCOMPARE(Loaded("13800000001"), u);

        UserRecord missing;
        missing.user_name = "nobody";
        QVERIFY(!engine->LoadUserInfo(missing));
        QCOMPARE(missing.user_name, QString("nobody"));
    }

    void sameNameInTwoStoresStaysSeparate()
    {
        QVERIFY(engine->SaveUserInfo(Account("1", "admin2", "alpha", 1)));
        engine->SetStoreNo("STORE-B");
        QCOMPARE(engine->HasUserAccounts(), Answer::No);
        QVERIFY(!SignsIn("admin2", "alpha"));
        QVERIFY(engine->SaveUserInfo(Account("1", "admin2", "beta", 4)));
        QVERIFY(SignsIn("admin2", "beta"));
        QVERIFY(!SignsIn("admin2", "alpha"));
        QCOMPARE(Loaded("admin2").user_type, 4);

        engine->SetStoreNo("STORE-A");
        QVERIFY(SignsIn("admin2", "alpha"));
        QCOMPARE(Loaded("admin2").user_type, 1);
        QCOMPARE(Loaded("admin2").user_password, QString("alpha"));

        // Updating one store's account leaves the other's as it was.
        QVERIFY(engine->SaveUserInfo(Account("1", "admin2", "gamma", 3)));
        engine->SetStoreNo("STORE-B");
        QCOMPARE(Loaded("admin2").user_password, QString("beta"));
        QVERIFY(engine->DeleteUserInfo(Account("1", "admin2", "", 0)));
        QCOMPARE(engine->HasUserAccounts(), Answer::No);
        engine->SetStoreNo("STORE-A");
        QCOMPARE(Loaded("admin2").user_password, QString("gamma"));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_user"), 1);
    }

    void loadTakesTheAccountWhosePasswordMatched()
    {
        // Two accounts answer to the same login text: one by phone, one by name.
        QVERIFY(engine->SaveUserInfo(Account("8888", "李四", "first", 3)));
        QVERIFY(engine->SaveUserInfo(Account("7777", "8888", "second", 4)));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_user"), 2);
        QCOMPARE(Loaded("8888", "first").user_type, 3);
        QCOMPARE(Loaded("8888", "second").user_type, 4);
        QCOMPARE(Loaded("8888", "second").user_phoneno, QString("7777"));
    }

    void accountsSharingANameOrPhoneAreAllKept()
    {
        QVERIFY(engine->SaveUserInfo(Account("100", "赵六", "one", 3)));
        QVERIFY(engine->SaveUserInfo(Account("200", "赵六", "two", 2)));
        QVERIFY(engine->SaveUserInfo(Account("100", "钱七", "three", 4)));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_user"), 3);
        QVERIFY(SignsIn("赵六", "one"));
        QVERIFY(SignsIn("赵六", "two"));
        QVERIFY(SignsIn("100", "three"));
        QCOMPARE(Loaded("赵六", "two").user_phoneno, QString("200"));

        // Saving the same phone and name again updates that account only.
        QVERIFY(engine->SaveUserInfo(Account("200", "赵六", "changed", 1)));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_user"), 3);
        QVERIFY(!SignsIn("200", "two"));
        QCOMPARE(Loaded("赵六", "changed").user_type, 1);
        QVERIFY(SignsIn("赵六", "one"));
    }

    void replacingAccountsIsAllOrNothing()
    {
        QVERIFY(engine->SaveUserInfo(Account("1", "old", "x", 1)));
        engine->SetStoreNo("STORE-B");
        QVERIFY(engine->SaveUserInfo(Account("1", "old", "b", 1)));
        engine->SetStoreNo("STORE-A");

        QVERIFY(engine->ReplaceUserAccounts(
            {Account("2", "new", "y", 2), Account("3", "new", "z", 4)}));
        QVERIFY(!SignsIn("old", "x"));
        QVERIFY(SignsIn("new", "y"));
        QVERIFY(SignsIn("3", "z"));

        // The database refuses one account: none of the new list is kept, the old one stays.
        QSqlQuery refuse(DbManager::Instance()->Database());
        QVERIFY(refuse.exec(db->Kind() == TestDatabase::Sqlite
                                ? "create trigger refuse before insert on tb_sm_user when "
                                  "new.user_name='refused' begin select raise(abort,'refused'); end"
                                : "alter table tb_sm_user add constraint refuse check "
                                  "(user_name <> 'refused')"));
        QVERIFY(!engine->ReplaceUserAccounts(
            {Account("4", "other", "w", 3), Account("5", "refused", "v", 3)}));
        QVERIFY(!engine->LastError().isEmpty());
        QVERIFY(SignsIn("new", "y"));
        QVERIFY(!SignsIn("other", "w"));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_user"), 3);
    }

    void deleteStoreRowsKeepsOtherStores()
    {
        QVERIFY(engine->SaveUserInfo(Account("1", "a", "x", 1)));
        engine->SetStoreNo("STORE-B");
        QVERIFY(engine->SaveUserInfo(Account("2", "b", "y", 1)));
        QVERIFY(engine->DeleteStoreRows("tb_sm_user"));
        QVERIFY(!engine->DeleteStoreRows("tb_sm_user; delete from tb_sm_user"));
        QVERIFY(!engine->DeleteStoreRows("sqlite_master"));
        engine->SetStoreNo("STORE-A");
        QVERIFY(SignsIn("a", "x"));
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_user"), 1);
    }

    void accountQuestionsFailWhenTheDatabaseCannotTell()
    {
        QVERIFY(engine->SaveUserInfo(Account("1", "a", "x", 1)));
        QSqlQuery(DbManager::Instance()->Database())
            .exec("alter table tb_sm_user rename to tb_sm_user_away");
        QCOMPARE(engine->HasUserAccounts(), Answer::Failed);
        QCOMPARE(engine->CheckUserPassword("a", "x"), Answer::Failed);
        QVERIFY(!engine->LastError().isEmpty());
        UserRecord user = Account("1", "a", "x", 0);
        QVERIFY(!engine->LoadUserInfo(user));
        QCOMPARE(user.user_type, 0);

        DbManager::Instance()->Disconnect();
        QCOMPARE(engine->HasUserAccounts(), Answer::Failed);
        QCOMPARE(engine->CheckUserPassword("a", "x"), Answer::Failed);
    }

    void listsPerKindAndStore()
    {
        for (int table : {1, 2}) {
            ListRecord list{3, "型号##1;O'Neil;--"};
            QVERIFY(engine->SaveListInfo(table, list));
            list.info_list = "第二份";
            QVERIFY(engine->SaveListInfo(table, list));

            ListRecord loaded{3, ""};
            QVERIFY(engine->LoadListInfo(table, loaded));
            QCOMPARE(loaded, list);

            ListRecord missing{9, "unchanged"};
            QVERIFY(engine->LoadListInfo(table, missing));
            QCOMPARE(missing, (ListRecord{9, "unchanged"}));

            engine->SetStoreNo("STORE-B");
            ListRecord other{3, "untouched"};
            QVERIFY(engine->LoadListInfo(table, other));
            QCOMPARE(other.info_list, QString("untouched"));
            QVERIFY(engine->SaveListInfo(table, ListRecord{3, "B's list"}));
            engine->SetStoreNo("STORE-A");
            QVERIFY(engine->DeleteListInfo(table, 3));
            ListRecord gone{3, "before"};
            QVERIFY(engine->LoadListInfo(table, gone));
            QCOMPARE(gone.info_list, QString("before"));
        }
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_prestore_info"), 1);
        QCOMPARE(TestDatabase::Scalar("select count(*) from tb_sm_person_info"), 1);

        ListRecord any{1, "x"};
        QVERIFY(!engine->SaveListInfo(3, any));
        QVERIFY(!engine->LoadListInfo(0, any));
        QVERIFY(!engine->DeleteListInfo(-1, 1));
    }
};

QObject* NewAccountsTest()
{
    return new AccountsTest;
}

#include "tst_accounts.moc"
