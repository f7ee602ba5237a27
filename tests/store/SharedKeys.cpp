#include "SharedKeys.h"

#include "DatabaseEngine.h"
#include "DbManager.h"

#include <QSqlQuery>

int SharedKeys::SaveAll(const QString& writer, const std::function<void()>& meet)
{
    DatabaseEngine* engine = DatabaseEngine::Instance();
    int failed = 0;
    auto check = [&](bool ok) {
        if (!ok) {
            ++failed;
            qWarning("%s: %s", qPrintable(writer), qPrintable(engine->LastError()));
        }
    };
    for (int key = 0; key < Count; ++key) {
        if (meet)
            meet();
        ProductRecord goods;
        goods.tab_type = 2;
        goods.product_serial = QStringLiteral("2024-06-01 10:00:%1").arg(key, 6, 10, QChar('0'));
        goods.product_time = QStringLiteral("2024-06-01");
        FinanceRecord money;
        money.tab_type = 0;
        money.ie_serial = goods.product_serial;
        UserRecord user;
        user.user_phoneno = QString::number(key);
        user.user_name = QStringLiteral("店员");
        for (int pass = 0; pass < 2; ++pass) {
            const QString value = QStringLiteral("%1 %2").arg(writer).arg(pass);
            goods.product_name = value;
            money.ie_item = value;
            user.user_password = value;
            check(engine->SaveProductInfo(goods));
            check(engine->SaveFinanceInfo(money));
            check(engine->SaveUserInfo(user));
            check(engine->SaveListInfo(1, ListRecord{key, value}));
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
