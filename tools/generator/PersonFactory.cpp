#include "PersonFactory.h"

#include <QStringList>

namespace
{

const QStringList Surnames = QStringLiteral("王 李 张 刘 陈 杨 黄 赵 吴 周 徐 孙 马 朱 胡 郭 何 高 "
                                            "林 罗 郑 梁 谢 宋 唐 许 韩 冯 邓 曹 彭 曾 "
                                            "肖 田 董 袁 潘 蒋 蔡 余 杜 叶 程 苏 魏 吕 丁 沈 姚 卢 "
                                            "姜 崔 钟 谭 陆 汪 范 金 石 廖 贾 夏 韦 方")
                                 .split(QLatin1Char(' '));

const QStringList GivenChars =
    QStringLiteral(
        "伟 芳 娜 敏 静 丽 强 磊 军 洋 勇 艳 杰 娟 涛 明 超 秀 霞 平 刚 桂 英 华 玉 萍 红 建 文 辉 "
        "鑫 宇 浩 婷 雪 琳 晨 欣 佳 俊 峰 斌 凯 颖 倩 瑶 怡 博 涵 思 梓 轩 然 宁 航 晓 海 燕 波 健")
        .split(QLatin1Char(' '));

const QStringList Cities = {QStringLiteral("杭州"), QStringLiteral("宁波"), QStringLiteral("温州"),
                            QStringLiteral("绍兴"), QStringLiteral("义乌"), QStringLiteral("苏州"),
                            QStringLiteral("广州"), QStringLiteral("泉州")};

// Addresses are in Hangzhou, where the shop is; companies come from anywhere.
const QStringList Districts = {QStringLiteral("西湖区"), QStringLiteral("上城区"),
                               QStringLiteral("拱墅区"), QStringLiteral("滨江区"),
                               QStringLiteral("萧山区"), QStringLiteral("余杭区")};

const QStringList Streets = {QStringLiteral("文三路"),   QStringLiteral("解放路"),
                             QStringLiteral("延安路"),   QStringLiteral("莫干山路"),
                             QStringLiteral("江南大道"), QStringLiteral("建国北路"),
                             QStringLiteral("凤起路"),   QStringLiteral("学院路")};

const QStringList Brands = {QStringLiteral("鑫源"), QStringLiteral("恒丰"), QStringLiteral("华美"),
                            QStringLiteral("锦程"), QStringLiteral("宏达"), QStringLiteral("永盛"),
                            QStringLiteral("瑞祥"), QStringLiteral("嘉禾"), QStringLiteral("润泽"),
                            QStringLiteral("金鹏"), QStringLiteral("汇通"), QStringLiteral("诚信")};

const QStringList CompanyForms = {QStringLiteral("有限公司"), QStringLiteral("商行"),
                                  QStringLiteral("贸易公司"), QStringLiteral("实业有限公司")};

const QStringList MobilePrefixes = {
    QStringLiteral("138"), QStringLiteral("139"), QStringLiteral("136"), QStringLiteral("137"),
    QStringLiteral("150"), QStringLiteral("152"), QStringLiteral("158"), QStringLiteral("186"),
    QStringLiteral("187"), QStringLiteral("189")};

// Region code of Hangzhou's Xihu district.
const QString Region = QStringLiteral("330106");

QString Digits(Dice& dice, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QChar(u'0' + dice.Int(0, 9));
    return text;
}

QString Letters(Dice& dice, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QChar(u'a' + dice.Int(0, 25));
    return text;
}

} // namespace

QString PersonFactory::Name()
{
    for (;;) {
        QString name = dice.Pick(Surnames) + dice.Pick(GivenChars);
        if (dice.Chance(0.6))
            name += dice.Pick(GivenChars);
        if (!usedNames.contains(name)) {
            usedNames.insert(name);
            return name;
        }
    }
}

QString PersonFactory::MobilePhone()
{
    for (;;) {
        const QString phone = dice.Pick(MobilePrefixes) + Digits(dice, 8);
        if (!usedPhones.contains(phone)) {
            usedPhones.insert(phone);
            return phone;
        }
    }
}

QString PersonFactory::WeChat()
{
    return QStringLiteral("wx") + Letters(dice, 4) + Digits(dice, 4);
}

QString PersonFactory::IdentityNumber(const QDate& birthday)
{
    static const int weights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
    static const char checks[] = "10X98765432";
    const QString body = Region + birthday.toString(QStringLiteral("yyyyMMdd")) + Digits(dice, 3);
    int sum = 0;
    for (int i = 0; i < 17; ++i)
        sum += body.at(i).digitValue() * weights[i];
    return body + QLatin1Char(checks[sum % 11]);
}

QString PersonFactory::Address()
{
    return QStringLiteral("浙江省杭州市%1%2%3号")
        .arg(dice.Pick(Districts), dice.Pick(Streets))
        .arg(dice.Int(1, 399));
}

QString PersonFactory::Company(const QString& trade)
{
    return dice.Pick(Cities) + dice.Pick(Brands) + trade + dice.Pick(CompanyForms);
}

QString PersonFactory::Website()
{
    return QStringLiteral("www.%1.com").arg(Letters(dice, dice.Int(4, 8)));
}
