#include "SharedKeys.h"

#include "DatabaseEngine.h"
#include "DbManager.h"

#include <QSqlQuery>

namespace
{

constexpr int Rounds = 5;

} // namespace

int SharedKeys::SaveAll(const QString& writer)
{
    DatabaseEngine* engine = DatabaseEngine::Instance();
    int failed = 0;
    for (int round = 0; round < Rounds; ++round) {
        for (int key = 0; key < Count; ++key) {
            ProductRecord goods;
            goods.tab_type = 2;
            goods.product_serial =
                QStringLiteral("2024-06-01 10:00:00:%1").arg(key, 3, 10, QChar('0'));
            goods.product_time = QStringLiteral("2024-06-01");
            FinanceRecord money;
            money.tab_type = 0;
            money.ie_serial = goods.product_serial;
            UserRecord user;
            user.user_phoneno = QString::number(key);
            user.user_name = QStringLiteral("店员");
            failed += !engine->DeleteProductInfo(goods);
            failed += !engine->DeleteFinanceInfo(money);
            failed += !engine->DeleteUserInfo(user);
            failed += !engine->DeleteListInfo(1, key);
            for (int pass = 0; pass < 2; ++pass) {
                const QString value = QStringLiteral("%1 %2 %3").arg(writer).arg(round).arg(pass);
                goods.product_name = value;
                money.ie_item = value;
                user.user_password = value;
                failed += !engine->SaveProductInfo(goods);
                failed += !engine->SaveFinanceInfo(money);
                failed += !engine->SaveUserInfo(user);
                failed += !engine->SaveListInfo(1, ListRecord{key, value});
            }
            // Checked at once: the next delete of the key would take a second row away with it.
            failed += RepeatedKeys() != 0;
        }
    }
    return failed;
}

int SharedKeys::RepeatedKeys()
{
    int repeated = 0;
    for (const char* keyOf : {"tb_sm_product_info group by store_no, tab_type, product_serial",
                              "tb_sm_finance_info group by store_no, tab_type, ie_serial",
                              "tb_sm_user group by store_no, user_phoneno, user_name",
                              "tb_sm_prestore_info group by store_no, info_type"}) {
        QSqlQuery query(DbManager::Instance()->Database());
        if (!query.exec(QStringLiteral("select count(*) from (select count(*) from %1 having "
                                       "count(*) > 1) as repeated")
                            .arg(keyOf)) ||
            !query.next())
            return -1;
        repeated += query.value(0).toInt();
    }
    return repeated;
}
