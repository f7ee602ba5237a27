#include "ShopCatalog.h"

#include "ListCodec.h"
#include "PersonFactory.h"
#include "StorePlaces.h"

#include <QDate>

namespace
{

struct Article {
    const char16_t* category;
    const char16_t* prefix; // of the model numbers
    const char16_t* name;
    int cost;   // typical purchase price in yuan
    int sizing; // 0 clothes, 1 shoes, 2 one size
};

const Article Articles[] = {
    {u"上装", u"SZ", u"纯棉T恤", 35, 0},     {u"上装", u"SZ", u"法兰绒衬衫", 68, 0},
    {u"上装", u"SZ", u"针织开衫", 85, 0},    {u"上装", u"SZ", u"连帽卫衣", 79, 0},
    {u"下装", u"XZ", u"直筒牛仔裤", 72, 0},  {u"下装", u"XZ", u"休闲西裤", 88, 0},
    {u"下装", u"XZ", u"百褶半身裙", 59, 0},  {u"下装", u"XZ", u"工装短裤", 45, 0},
    {u"外套", u"WT", u"轻薄羽绒服", 260, 0}, {u"外套", u"WT", u"双面呢大衣", 420, 0},
    {u"外套", u"WT", u"防风夹克", 150, 0},   {u"外套", u"WT", u"三合一冲锋衣", 310, 0},
    {u"鞋履", u"XL", u"跑步运动鞋", 168, 1}, {u"鞋履", u"XL", u"帆布鞋", 55, 1},
    {u"鞋履", u"XL", u"真皮休闲鞋", 230, 1}, {u"鞋履", u"XL", u"马丁靴", 198, 1},
    {u"配饰", u"PS", u"羊毛围巾", 48, 2},    {u"配饰", u"PS", u"棒球帽", 22, 2},
    {u"配饰", u"PS", u"真皮腰带", 65, 2},    {u"配饰", u"PS", u"通勤双肩包", 120, 2},
};

// Ages are given as of this year, so the data do not change with the day they are made.
constexpr int AgeYear = 2024;

const QStringList Colours = {QStringLiteral("黑色"), QStringLiteral("白色"), QStringLiteral("藏青"),
                             QStringLiteral("浅灰"), QStringLiteral("卡其"), QStringLiteral("米白"),
                             QStringLiteral("酒红"), QStringLiteral("军绿"), QStringLiteral("天蓝"),
                             QStringLiteral("驼色")};

const QList<QStringList> Sizings = {
    {QStringLiteral("S"), QStringLiteral("M"), QStringLiteral("L"), QStringLiteral("XL"),
     QStringLiteral("XXL")},
    {QStringLiteral("37码"), QStringLiteral("38码"), QStringLiteral("39码"), QStringLiteral("40码"),
     QStringLiteral("41码"), QStringLiteral("42码"), QStringLiteral("43码")},
    {QStringLiteral("均码")}};

const QStringList WarehouseNames = {QStringLiteral("总仓"), QStringLiteral("城东分仓"),
                                    QStringLiteral("门店仓")};

const QStringList Posts = {QStringLiteral("店长"),   QStringLiteral("导购"),
                           QStringLiteral("导购"),   QStringLiteral("收银员"),
                           QStringLiteral("仓管员"), QStringLiteral("采购员"),
                           QStringLiteral("会计"),   QStringLiteral("导购")};

const QStringList Schooling = {QStringLiteral("高中"), QStringLiteral("中专"),
                               QStringLiteral("大专"), QStringLiteral("本科")};

const QStringList ClientRemarks = {QString(), QString(), QStringLiteral("老客户"),
                                   QStringLiteral("会员"), QStringLiteral("团购客户")};

const QStringList RoleTexts = {QStringLiteral("超级用户"), QStringLiteral("授权用户"),
                               QStringLiteral("一般用户"), QStringLiteral("浏览用户")};

QString Ean13(Dice& dice)
{
    QString digits = QStringLiteral("69");
    for (int i = 0; i < 10; ++i)
        digits += QChar(u'0' + dice.Int(0, 9));
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += digits.at(i).digitValue() * (i % 2 ? 3 : 1);
    return digits + QChar(u'0' + (10 - sum % 10) % 10);
}

// Prices end in 0, 5, 8 or 9 yuan, as shops mark them.
double ShopPrice(double value)
{
    static const int endings[] = {0, 5, 8, 9};
    const int tens = int(value) / 10 * 10;
    int best = tens;
    for (int e : endings) {
        if (qAbs(tens + e - value) < qAbs(best - value))
            best = tens + e;
    }
    return qMax(best, 1);
}

QStringList Column(const QList<QStringList>& rows, int column)
{
    QStringList cells;
    for (const QStringList& row : rows)
        cells << row.at(column);
    return cells;
}

QList<QStringList> SingleColumn(const QStringList& cells)
{
    QList<QStringList> rows;
    for (const QString& cell : cells)
        rows << QStringList{cell};
    return rows;
}

QStringList Unique(const QStringList& cells)
{
    QStringList unique;
    for (const QString& cell : cells) {
        if (!unique.contains(cell))
            unique << cell;
    }
    return unique;
}

// Contact, gender, age, WeChat, phone, address, company, website, remark.
QList<QStringList> Contacts(Dice& dice, PersonFactory& people, int count, const QString& trade,
                            bool withCompany)
{
    QList<QStringList> rows;
    for (int i = 0; i < count; ++i) {
        const QString company = withCompany ? people.Company(trade) : QString();
        rows << QStringList{people.Name(),
                            people.Gender(),
                            QString::number(dice.Int(23, 62)),
                            people.WeChat(),
                            people.MobilePhone(),
                            people.Address(),
                            company,
                            withCompany ? people.Website() : QString(),
                            dice.Pick(ClientRemarks)};
    }
    return rows;
}

} // namespace

ShopCatalog ShopCatalog::Make(Dice& dice)
{
    ShopCatalog c;
    PersonFactory people(dice);
    const int year = 20 + dice.Int(1, 4);
    int serial = 0;
    for (const Article& a : Articles) {
        const int variants = dice.Int(1, 3);
        for (int v = 0; v < variants; ++v) {
            GoodsModel m;
            m.category = QString::fromUtf16(a.category);
            m.name = QString::fromUtf16(a.name);
            m.model = QStringLiteral("%1%2%3")
                          .arg(QString::fromUtf16(a.prefix))
                          .arg(year)
                          .arg(++serial * 7 % 1000, 3, 10, QLatin1Char('0'));
            m.code = Ean13(dice);
            QStringList colours = Colours;
            while (colours.size() > dice.Int(2, 4))
                colours.removeAt(dice.Int(0, int(colours.size()) - 1));
            m.colours = colours;
            m.sizes = Sizings.at(a.sizing);
            m.cost = ShopPrice(a.cost * (0.8 + 0.4 * dice.Int(0, 100) / 100.0));
            m.price = ShopPrice(m.cost * (1.5 + dice.Int(0, 80) / 100.0));
            c.models << m;
        }
    }

    for (int i = 0; i < Posts.size(); ++i) {
        const QDate birthday = QDate(1975, 1, 1).addDays(dice.Int(0, 25 * 365));
        const QDate hired = QDate(2016, 1, 1).addDays(dice.Int(0, 7 * 365));
        c.employeeRows << QStringList{people.Name(),
                                      people.Gender(),
                                      QString::number(AgeYear - birthday.year()),
                                      dice.Pick(Schooling),
                                      people.WeChat(),
                                      people.IdentityNumber(birthday),
                                      people.MobilePhone(),
                                      hired.toString(QStringLiteral("yyyy-MM-dd")),
                                      Posts.at(i),
                                      people.Address()};
    }
    c.employees = Column(c.employeeRows, 0);

    for (int i = 0; i < WarehouseNames.size(); ++i) {
        c.warehouseRows << QStringList{WarehouseNames.at(i),
                                       people.Address(),
                                       QStringLiteral("CK%1").arg(i + 1, 2, 10, QLatin1Char('0')),
                                       QString::number(dice.Int(2, 6)),
                                       QString::number(dice.Int(10, 40)),
                                       c.employees.at(4),
                                       c.employeeRows.at(4).at(6)};
    }
    // Goods lie where the store chooser offers to put them: a warehouse's number, partition and
    // slot. The demo keeps them in the first slot of each warehouse's first two partitions.
    for (const QStringList& row : std::as_const(c.warehouseRows)) {
        const QString slot = StorePlaces::SlotNames(StorePlaces::Count(row.at(4))).value(0);
        for (const QString& partition :
             StorePlaces::PartitionNames(StorePlaces::Count(row.at(3))).mid(0, 2))
            c.warehouses << StorePlaces::Compose(row.at(2), partition, slot);
    }

    c.clientRows = Contacts(dice, people, 30, QString(), false);
    c.distributorRows = Contacts(dice, people, 6, QStringLiteral("服饰"), true);
    c.supplierRows = Contacts(dice, people, 8, QStringLiteral("服装"), true);
    c.partnerRows = Contacts(dice, people, 6, QStringLiteral("物业"), true);
    c.clients = Column(c.clientRows, 0);
    c.distributors = Column(c.distributorRows, 0);
    c.suppliers = Column(c.supplierRows, 0);
    c.partners = Column(c.partnerRows, 0);

    // A known first account, so a fresh demo database can be signed in to.
    const QList<int> roles = {1, 2, 2, 3, 3, 3, 4, 4};
    for (int i = 0; i < roles.size(); ++i) {
        UserRecord u;
        u.user_type = roles.at(i);
        u.user_online = 1;
        u.user_name = i == 0 ? QStringLiteral("admin") : c.employees.at(i % c.employees.size());
        u.user_phoneno = i == 0 ? c.employeeRows.at(0).at(6) : people.MobilePhone();
        u.user_password =
            i == 0 ? QStringLiteral("admin123") : QString::number(dice.Int(100000, 999999));
        u.user_ip = QStringLiteral("192.168.1.%1").arg(dice.Int(2, 254));
        u.user_remark = i == 0 ? QStringLiteral("店长账号") : Posts.at(i % Posts.size());
        c.accounts << u;
    }
    return c;
}

QList<ListRecord> ShopCatalog::MasterLists() const
{
    QStringList categories, names, modelNumbers, colours, sizes;
    for (const GoodsModel& m : models) {
        categories << m.category;
        names << m.name;
        modelNumbers << m.model;
        colours << m.colours;
        sizes << m.sizes;
    }
    return {{1, ListCodec::Pack(SingleColumn(Unique(categories)))},
            {2, ListCodec::Pack(SingleColumn(Unique(names)))},
            {3, ListCodec::Pack(SingleColumn(modelNumbers))},
            {4, ListCodec::Pack(SingleColumn(Unique(colours)))},
            {6, ListCodec::Pack(SingleColumn(Unique(sizes)))},
            {8, ListCodec::Pack(warehouseRows)}};
}

QList<ListRecord> ShopCatalog::PersonLists() const
{
    QList<QStringList> userRows;
    for (const UserRecord& u : accounts)
        userRows << QStringList{u.user_name, u.user_phoneno, u.user_password,
                                RoleTexts.at(u.user_type - 1), u.user_remark};
    return {{0, ListCodec::Pack(userRows)},     {1, ListCodec::Pack(employeeRows)},
            {2, ListCodec::Pack(clientRows)},   {3, ListCodec::Pack(distributorRows)},
            {4, ListCodec::Pack(supplierRows)}, {5, ListCodec::Pack(partnerRows)}};
}
