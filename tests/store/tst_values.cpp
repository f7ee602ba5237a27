// Pure helpers of the data store: number texts, list packing, periods, configuration.
#include "ChainConfig.h"
#include "DbConfig.h"
#include "ListCodec.h"
#include "NumberText.h"
#include "Period.h"
#include "SqlDialect.h"
#include "TextPool.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

class ValuesTest : public QObject
{
    Q_OBJECT
private slots:
    void numberTexts()
    {
        QCOMPARE(NumberText::Write(37.5), QString("37.5"));
        QCOMPARE(NumberText::Write(0.1 + 0.2), QString("0.3"));
        QCOMPARE(NumberText::Write(2500000), QString("2500000"));
        QCOMPARE(NumberText::Write(4 * 2.5), QString("10"));
        QCOMPARE(NumberText::Write(123456789.12), QString("123456789.12"));
        QCOMPARE(NumberText::Write(-0.0), QString("0"));
        QCOMPARE(NumberText::Write(-0.05), QString("-0.05"));
        QCOMPARE(NumberText::Write(std::nan("")), QString("0"));
        QCOMPARE(NumberText::Write(-HUGE_VAL), QString("0"));
        QCOMPARE(NumberText::Write(0.0001), QString("0.0001"));
        QCOMPARE(NumberText::Write(0.00001), QString("1e-05"));
        QCOMPARE(NumberText::Write(1e15), QString("1e+15"));

        // Whatever the text, it reads as a full parse reads it.
        for (const QString text : {"", " 12 ", "5.", ".5", "+3", "1e3", "-0.05", "x", "1.2.3",
                                   "0001.50", "1234567890123456", "-"}) {
            bool ok = false;
            const double parsed = text.toDouble(&ok);
            QCOMPARE(NumberText::Read(text), ok ? parsed : 0.0);
        }
        QRandomGenerator digits(16);
        for (int i = 0; i < 100000; ++i) {
            const QString text = QString::number(digits.bounded(-999999999, 999999999)) + "." +
                                 QString::number(digits.bounded(0, 999999))
                                     .rightJustified(1 + digits.bounded(6), QLatin1Char('0'));
            QCOMPARE(NumberText::Read(text), text.toDouble());
        }

        // Whatever the value, the text is that of the 15-digit general format.
        QRandomGenerator dice(15);
        for (int i = 0; i < 200000; ++i) {
            const int places = dice.bounded(9);
            const double scale = std::pow(10.0, dice.bounded(-6, 17));
            double v = i % 3
                           ? double(dice.bounded(-2000000000, 2000000000)) / std::pow(10.0, places)
                           : (dice.generateDouble() - 0.5) * scale;
            if (i % 7 == 0)
                v = NumberText::Read(NumberText::Write(v)) * 3 + 0.1;
            if (v != 0)
                QCOMPARE(NumberText::Write(v), QString::number(v, 'g', 15));
        }
        // A value read back without its text is what its text reads as, and writes the same text.
        for (int i = 0; i < 200000; ++i) {
            const double a =
                double(dice.bounded(-2000000, 2000000)) / std::pow(10.0, dice.bounded(4));
            const double b = double(dice.bounded(0, 100000)) / std::pow(10.0, dice.bounded(7));
            double v = i % 4 == 0 ? a + b : i % 4 == 1 ? a * b : i % 4 == 2 ? a / 7 : b * 1e-3;
            if (i % 11 == 0)
                v *= std::pow(10.0, dice.bounded(-12, 20));
            const QString text = NumberText::Write(v);
            // Exactly, not within QCOMPARE's tolerance for doubles.
            QVERIFY2(NumberText::ReadBack(v) == NumberText::Read(text), qPrintable(text));
            QCOMPARE(NumberText::Write(NumberText::ReadBack(v)), text);
        }
        for (const double v : {0.1 + 0.2, -0.0, 1e300 * 1e10, 1e-300, 0.00009999999999999999,
                               999999999999999.9, 123456789.12}) {
            QVERIFY(NumberText::ReadBack(v) == NumberText::Read(NumberText::Write(v)));
        }
        QCOMPARE(NumberText::Read(""), 0.0);
        QCOMPARE(NumberText::Read("abc"), 0.0);
        QCOMPARE(NumberText::Read("12abc"), 0.0);
        QCOMPARE(NumberText::Read(" 2.5 "), 2.5);
        QCOMPARE(NumberText::Read("1e400"), 0.0);
        QVERIFY(NumberText::IsNumberOrEmpty(""));
        QVERIFY(NumberText::IsNumberOrEmpty("-3.25"));
        QVERIFY(!NumberText::IsNumberOrEmpty("3,25"));
        QVERIFY(!NumberText::IsNumberOrEmpty("nan"));
    }

    void listPacking()
    {
        QCOMPARE(ListCodec::Pack({{"A-1"}, {"B.2"}}), QString("A##1;B&&2"));
        QCOMPARE(ListCodec::Pack({}), QString());
        QCOMPARE(ListCodec::Pack({QStringList(7)}), QString("------"));

        const QList<QStringList> rows = {{"仓库-1", "路.5号", ""}, {"x", "y", "z"}};
        QCOMPARE(ListCodec::Unpack(ListCodec::Pack(rows)), rows);
        // The empty text is one row holding one empty cell.
        QCOMPARE(ListCodec::Unpack(""), QList<QStringList>({{""}}));
        // A text that itself holds the escapes comes back with what they stand for.
        QCOMPARE(ListCodec::Unpack(ListCodec::Pack({{"a##b&&c"}})).at(0).at(0), QString("a-b.c"));
    }

    void listColumn()
    {
        const QString text =
            ListCodec::Pack({{"总仓", "北京", "01"}, {"分仓-2", "上海.浦东", "02"}});
        QCOMPARE(ListCodec::GetListColumn(text, 0), QStringList({"总仓", "分仓-2"}));
        QCOMPARE(ListCodec::GetListColumn(text, 1), QStringList({"北京", "上海.浦东"}));
        QCOMPARE(ListCodec::GetListColumn("a;b-c", 1), QStringList({"c"}));
        QCOMPARE(ListCodec::GetListColumn(text, 3), QStringList());
    }

    void periods()
    {
        auto check = [](int mode, const QString& start, const QString& date, const QString& first,
                        const QString& last) {
            const std::optional<Period> p = Period::ForMode(mode, start, date);
            QVERIFY(p);
            QCOMPARE(p->first, first);
            QCOMPARE(p->last, last);
        };
        check(2, "", "2024-04-17", "2024-04-01", "2024-04-30");
        check(2, "", "2024-02-10", "2024-02-01", "2024-02-29");
        check(2, "", "2023-02-10", "2023-02-01", "2023-02-28");
        check(2, "", "2000-02-01", "2000-02-01", "2000-02-29");
        check(2, "", "1900-02-01", "1900-02-01", "1900-02-28");
        check(2, "", "2024-12-31", "2024-12-01", "2024-12-31");
        check(3, "", "2024-06-15", "2024-01-01", "2024-12-31");
        check(4, "2024-05-01", "2024-03-01", "2024-05-01", "2024-03-01");
        QVERIFY(!Period::ForMode(2, "", "2024"));
        QVERIFY(!Period::ForMode(2, "", "2024-13-01"));
        QVERIFY(!Period::ForMode(3, "", "abcd-01-01"));
        QVERIFY(!Period::ForMode(1, "", "2024-01-01"));
        QVERIFY(!Period::ForMode(5, "", ""));
    }

    void configurationAndOdbcString()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("InitParam/dBConfig.ini");
        {
            QSettings ini(path, QSettings::IniFormat);
            ini.setValue("HostName/IP", "db.local");
            ini.setValue("DatabaseName/DATABASE", "ledger");
            ini.setValue("UserName/UID", "shop");
            ini.setValue("Password/PWD", "a;b}c{=");
        }
        const DbConfig c = DbConfig::Read(path);
        QCOMPARE(c.port, 0); // missing key
        QCOMPARE(c.driverType, QString("QODBC"));
        QCOMPARE(c.OdbcConnectionString(),
                 QString("DRIVER={SQL SERVER};SERVER=db.local;PORT=0;DATABASE=ledger;"
                         "UID=shop;PWD={a;b}}c{=};"));

        const DbConfig missing = DbConfig::Read(dir.filePath("nothing.ini"));
        QVERIFY(missing.host.isEmpty() && missing.password.isEmpty() && missing.port == 0);
    }

    void storeNumberMadeOnceAndKept()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("InitParam/dBConfig.ini");
        const QString made = StoreNumber::LoadOrCreate(path);
        QCOMPARE(made.size(), 21);
        QVERIFY(made.endsWith("LINK"));
        QVERIFY(QRegularExpression("^\\d{17}LINK$").match(made).hasMatch());
        QCOMPARE(StoreNumber::LoadOrCreate(path), made);
        QCOMPARE(QSettings(path, QSettings::IniFormat).value("StoreNo/No").toString(), made);
        QCOMPARE(StoreNumber::Make(QDateTime(QDate(2024, 2, 29), QTime(7, 5, 9, 42))),
                 QString("20240229070509042LINK"));
    }

    void chainOfShops()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("dBConfig.ini");
        auto read = [&](const QByteArray& text) {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
                qFatal("cannot write %s", qPrintable(path));
            file.close();
            return ChainConfig::Read(path);
        };
        auto shops = [](const ChainConfig& chain) {
            QStringList list;
            for (const ChainConfig::Shop& shop : chain.shops)
                list << shop.storeNo + "=" + shop.name;
            return list;
        };

        QVERIFY(ChainConfig::Read(dir.filePath("missing.ini")).shops.isEmpty());
        ChainConfig chain = read("[StoreNo]\nNo=1LINK\n[Chain]\n");
        QVERIFY(chain.shops.isEmpty() && chain.error.isEmpty());

        // File order, not the order of a hash; blanks, quotes and comments as in any section; a
        // second [Chain] header goes on with the same list.
        chain = read("[Chain]\n"
                     "20230101120000000LINK = 总店\n"
                     "; 城西两家\n"
                     "20230301120000000LINK=\" 西街店 \"\n"
                     "10LINK=\n"
                     "[StoreNo]\nNo=10LINK\n"
                     "[Chain]\n"
                     "02LINK=东街店\n");
        QVERIFY2(chain.error.isEmpty(), qPrintable(chain.error));
        QCOMPARE(shops(chain),
                 QStringList({"20230101120000000LINK=总店", "20230301120000000LINK= 西街店 ",
                              "10LINK=10LINK", "02LINK=东街店"}));

        // A shop named twice, or a name given twice, would leave out or double a shop in every
        // total: the chain is refused and the lines are named.
        chain = read("[Chain]\nA=总店\nB=分店\nA=老店\n");
        QVERIFY(chain.shops.isEmpty());
        QCOMPARE(chain.error, "配置文件 " + path + " 第 4 行：门店编号 A 已在第 2 行列出");
        chain = read("[Chain]\nA=五折%1店\nB=\nC=五折%1店\n");
        QVERIFY(chain.shops.isEmpty());
        QCOMPARE(chain.error, "配置文件 " + path + " 第 4 行：门店名称“五折%1店”已在第 2 行使用");
        chain = read("[Chain]\nA=\nB=A\n");
        QVERIFY(chain.error.contains("门店名称“A”已在第 2 行使用"));

        // A line that cannot be read is reported as in any other section, and the connection
        // refuses the file as well.
        chain = read("[Chain]\nA=总店\nB 分店\n");
        QVERIFY(chain.shops.isEmpty());
        QCOMPARE(chain.error, "配置文件 " + path + " 第 3 行无法读取");
        QCOMPARE(DbConfig::Read(path).error, chain.error);
    }

    void sqlServerTableText()
    {
        const SqlDialect dialect(SqlDialect::SqlServer);
        QCOMPARE(dialect.CreateTableStatement("tb_sm_prestore_info",
                                              {"info_type", "info_list", "store_no"},
                                              {"int", "NVARCHAR(MAX)", "VARCHAR(50)"}, false),
                 QString("create table [tb_sm_prestore_info] ([id] int identity(1,1),constraint "
                         "pk_tb_sm_prestore_info primary key(id),[info_type] int,[info_list] "
                         "NVARCHAR(MAX),[store_no] VARCHAR(50))"));
        QCOMPARE(dialect.CreateTableStatement("tb_sm_user", {"user_name"}, {"VARCHAR(50)"}, true),
                 QString("create table [tb_sm_user] ([id] int identity(1,1),constraint pkid "
                         "primary key (id),[user_name] VARCHAR(50))"));
    }

    // Texts read through the pool are the texts given; repeated ones share one string, and a
    // column of ever new values (past the pool's limit) still reads every value right.
    void textPool()
    {
        TextPool pool(2);
        const QByteArray red = QStringLiteral("红色").toUtf8();
        const QString first = pool.FromUtf8(0, red.constData(), red.size());
        const QString again = pool.FromUtf8(0, red.constData(), red.size());
        QCOMPARE(again, QStringLiteral("红色"));
        QCOMPARE(again.constData(), first.constData());
        QVERIFY(pool.FromUtf8(1, red.constData(), red.size()).constData() != first.constData());
        QVERIFY(!pool.FromUtf8(0, "", 0).isNull());
        const QByteArray remark(200, 'x');
        QCOMPARE(pool.FromUtf8(0, remark.constData(), remark.size()), QString(remark));
        for (int i = 0; i < 10000; ++i) {
            const QByteArray serial = "2024-05-01 10:00:00:" + QByteArray::number(i);
            QCOMPARE(pool.FromUtf8(1, serial.constData(), serial.size()), QString(serial));
            QCOMPARE(pool.Shared(0, QString::number(i % 7)), QString::number(i % 7));
        }
        const QString seven = pool.Shared(0, QStringLiteral("6"));
        QCOMPARE(pool.Shared(0, QString::number(6)).constData(), seven.constData());
    }
};

QObject* NewValuesTest()
{
    return new ValuesTest;
}

#include "tst_values.moc"
