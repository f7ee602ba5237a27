#include "MoneyLedger.h"

#include "NumberText.h"

namespace
{

struct MoneyKind {
    int weight;
    const char16_t* voucher;
    QList<QString> items;
    int low; // usual sums in yuan
    int high;
};

const QList<MoneyKind> Kinds = {
    {30,
     u"SK",
     {QStringLiteral("销售货款"), QStringLiteral("批发货款"), QStringLiteral("定金")},
     80,
     6000},
    {10, u"QK", {QStringLiteral("赊销欠款"), QStringLiteral("批发尾款")}, 200, 8000},
    {5,
     u"QS",
     {QStringLiteral("废品回收"), QStringLiteral("平台返利"), QStringLiteral("供应商返点")},
     50,
     1500},
    {20,
     u"ZF",
     {QStringLiteral("采购货款"), QStringLiteral("预付货款"), QStringLiteral("物流运费")},
     500,
     30000},
    {10,
     u"XC",
     {QStringLiteral("基本工资"), QStringLiteral("绩效奖金"), QStringLiteral("加班费")},
     800,
     7000},
    {10,
     u"SD",
     {QStringLiteral("店面租金"), QStringLiteral("电费"), QStringLiteral("水费"),
      QStringLiteral("物业费")},
     100,
     12000},
    {15,
     u"ZC",
     {QStringLiteral("快递费"), QStringLiteral("办公用品"), QStringLiteral("广告费"),
      QStringLiteral("设备维修")},
     30,
     3000},
};

const QList<QString> Remarks = {QString(),
                                QString(),
                                QString(),
                                QStringLiteral("已开票"),
                                QStringLiteral("转账"),
                                QStringLiteral("现金"),
                                QStringLiteral("微信支付")};

QList<int> Weights()
{
    QList<int> weights;
    for (const MoneyKind& k : Kinds)
        weights << k.weight;
    return weights;
}

} // namespace

MoneyLedger::MoneyLedger(const ShopCatalog& catalog, Dice& dice) : catalog(catalog), dice(dice) {}

QList<FinanceRecord> MoneyLedger::Make(const QList<LedgerMoment>& moments)
{
    const QList<int> weights = Weights();
    QList<FinanceRecord> rows;
    rows.reserve(moments.size());
    for (const LedgerMoment& at : moments)
        rows << Row(dice.Weighted(weights), at);
    return rows;
}

QString MoneyLedger::Voucher(int kind, const QDate& date)
{
    const QString day =
        QString::fromUtf16(Kinds.at(kind).voucher) + date.toString(QStringLiteral("yyyyMMdd"));
    return day + QStringLiteral("%1").arg(++vouchersOfDay[day], 3, 10, QLatin1Char('0'));
}

FinanceRecord MoneyLedger::Row(int kind, const LedgerMoment& at)
{
    const MoneyKind& k = Kinds.at(kind);
    // Small sums are common, large ones rare: the square of a uniform draw leans low.
    const double share = dice.Int(0, 1000) / 1000.0;
    const double sum = qRound(k.low + (k.high - k.low) * share * share);

    FinanceRecord r;
    r.tab_type = kind;
    r.ie_serial = at.serial;
    r.ie_item = dice.Pick(k.items);
    r.ie_sum = NumberText::Write(sum);
    r.ie_time = at.date.toString(QStringLiteral("yyyy-MM-dd"));
    switch (kind) {
    case 0:
    case 1:
        r.ie_client = dice.Pick(catalog.clients);
        r.ie_sale = dice.Pick(catalog.employees);
        break;
    case 2:
    case 5:
    case 6:
        r.ie_client = dice.Pick(catalog.partners);
        r.ie_sale = dice.Pick(catalog.employees);
        break;
    case 3:
        r.ie_client = dice.Pick(catalog.suppliers);
        r.ie_sale = catalog.employees.at(5);
        break;
    default:
        r.ie_client = dice.Pick(catalog.employees);
        r.ie_sale = catalog.employees.at(0);
        break;
    }
    r.ie_cert = Voucher(kind, at.date);
    r.ie_record = dice.Pick(catalog.employees);
    r.ie_remark = dice.Pick(Remarks);
    return r;
}
