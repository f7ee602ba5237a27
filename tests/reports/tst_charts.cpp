// Chart figures from page rows, their JSON, and the chart page drawing them in real web views.
#include "ChartData.h"
#include "ChartSeries.h"
#include "DialogShowGraph.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace
{

const int PageTimeout = 30000;

ProductRecord Sale(const QString& date, const QString& model, const QString& person,
                   const QString& num, const QString& price, const QString& total)
{
    ProductRecord r;
    r.tab_type = 2;
    r.product_time = date;
    r.product_model = model;
    r.product_purchase = person;
    r.product_num = num;
    r.product_price = price;
    r.product_total = total;
    return r;
}

FinanceRecord Money(const QString& item, const QString& sum)
{
    FinanceRecord r;
    r.ie_item = item;
    r.ie_sum = sum;
    return r;
}

// A working folder holding the chart page, made current while it lives.
class ChartFolder
{
public:
    explicit ChartFolder(const QByteArray& page = QByteArray()) : previous(QDir::currentPath())
    {
        QDir(dir.path()).mkpath("html");
        const QString target = dir.filePath("html/HistoGram.html");
        if (page.isNull()) {
            QFile::copy(QStringLiteral(LEDGER_HTML_DIR "/HistoGram.html"), target);
        } else if (!page.isEmpty()) {
            QFile file(target);
            file.open(QIODevice::WriteOnly);
            file.write(page);
        }
        QDir::setCurrent(dir.path());
    }
    ~ChartFolder() { QDir::setCurrent(previous); }

private:
    QTemporaryDir dir;
    QString previous;
};

QVariant Evaluate(QWebEngineView* view, const QString& script)
{
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, PageTimeout))
        qWarning() << "no answer from the page to" << script;
    return result;
}

// Waits until `chart` has been drawn `count` times in all.
bool Drawn(QSignalSpy& spy, int chart, int count = 1)
{
    auto times = [&] {
        int n = 0;
        for (const QList<QVariant>& call : spy)
            n += call.at(0).toInt() == chart;
        return n;
    };
    return QTest::qWaitFor([&] { return times() >= count; }, PageTimeout);
}

int Count(QWebEngineView* view, const QString& selector)
{
    return Evaluate(view, QStringLiteral("document.querySelectorAll('%1').length").arg(selector))
        .toInt();
}

} // namespace

class ChartsTest : public QObject
{
    Q_OBJECT
private slots:
    void barAndPieJsonKeepTheirKeys();
    void pieWithoutPairsGetsNoSlices();
    void lineSeriesTakeTheirValueLists();
    void callCarriesAnyTextAsOneLiteral();

    void pageAmountsGroupPerItem();
    void salesSumPerDayAndPerson();
    void subtitlesNameThePage();

    void pageReceivesTheExactJson();
    void pageDrawsOneMarkPerFigure();
    void pieAndLineViewsStayBlankUntilAChartNeedsThem();
    void missingPageIsReported();
    void installedPageServesAWorkingFolderWithoutOne();
    void pageWithoutGetDataIsReported();
    void pageReportsWhatItCannotDraw();
    void closingBeforeThePageAnswersIsSafe();
};

void ChartsTest::barAndPieJsonKeepTheirKeys()
{
    const ChartSeries s{"标题", "副", "元", {"A", "B"}, {1.5, 2}};
    QCOMPARE(ChartJson::Bar(s),
             QByteArray(R"({"subtittle":"副","tittle":"标题","xvalue":["A","B"],)"
                        R"("ytittle":"元","yvalue":[1.5,2]})"));
    QCOMPARE(ChartJson::Pie(s, "销售"),
             QByteArray(R"({"data":[{"name":"A","value":1.5},{"name":"B","value":2}],)"
                        R"("subtittle":"副","tittle":"标题","typename":"销售"})"));
}

void ChartsTest::pieWithoutPairsGetsNoSlices()
{
    const ChartSeries threeNamesTwoValues{"t", "s", "", {"A", "B", "C"}, {1, 2}};
    const ChartSeries none{"t", "s", "", {}, {}};
    for (const ChartSeries& s : {threeNamesTwoValues, none}) {
        const QJsonObject pie = QJsonDocument::fromJson(ChartJson::Pie(s, "x")).object();
        QVERIFY(pie.value("data").isArray());
        QVERIFY(pie.value("data").toArray().isEmpty());
    }
}

void ChartsTest::lineSeriesTakeTheirValueLists()
{
    LineSeries line;
    line.title = "总";
    line.xLabels = {"一", "二"};
    line.seriesNames = {"a", "b", "c", "d"};
    line.values = {QList<double>{1, 2}, QList<double>{3, 4}, QList<double>{5, 6}};
    QCOMPARE(ChartJson::Line(line),
             QByteArray(R"({"data":[{"data":[{"value":1},{"value":2}],"name":"a","type":"line"},)"
                        R"({"data":[{"value":3},{"value":4}],"name":"b","type":"line"},)"
                        R"({"data":[{"value":5},{"value":6}],"name":"c","type":"line"},)"
                        R"({"data":[{"value":5},{"value":6}],"name":"d","type":"line"}],)"
                        R"("lineName":[{"name":"a"},{"name":"b"},{"name":"c"},{"name":"d"}],)"
                        R"("tittle":"总","xname":[{"value":"一"},{"value":"二"}]})"));
}

void ChartsTest::callCarriesAnyTextAsOneLiteral()
{
    // A quote, a backslash, a line break and a line separator inside a title.
    const ChartSeries s{QString::fromUtf8("说\"明\\n\n\u2028"), "", "", {"a"}, {1}};
    const QByteArray json = ChartJson::Bar(s);
    const QString call = ChartJson::ScriptCall(json);
    QVERIFY(call.startsWith("getData(\"") && call.endsWith("\")"));
    const QString literal = call.mid(8, call.size() - 9);
    const QJsonArray back = QJsonDocument::fromJson("[" + literal.toUtf8() + "]").array();
    QCOMPARE(back.at(0).toString(), QString::fromUtf8(json));
}

void ChartsTest::pageAmountsGroupPerItem()
{
    // A blank total counts as quantity x price; models sum in the order they first come.
    const QList<ProductRecord> goods = {
        Sale("2026-03-01", "B", "", "2", "5", ""), Sale("2026-03-01", "A", "", "1", "1", "7.5"),
        Sale("2026-03-02", "B", "", "", "", "0.5"), Sale("2026-03-02", "", "", "", "", "3")};
    const ChartSeries bars = ChartData::GoodsByModel(goods, "tab_purchaseIn");
    QCOMPARE(bars.title, "商品管理");
    QCOMPARE(bars.subtitle, "采购进货管理");
    QCOMPARE(bars.yTitle, "元");
    QCOMPARE(bars.names, QStringList({"B", "A", "未填写"}));
    QCOMPARE(bars.values, QList<double>({10.5, 7.5, 3}));

    // Profit rows of kinds without records (no item, no sum) are left out.
    const QList<FinanceRecord> profit = {Money("收款总额", "150"), Money("", ""),
                                         Money("采购支付总额", "60"), Money("经营利润", "90")};
    const ChartSeries money = ChartData::MoneyByItem(profit, "tab_profit");
    QCOMPARE(money.title, "财务管理");
    QCOMPARE(money.subtitle, "利润统计管理");
    QCOMPARE(money.names, QStringList({"收款总额", "采购支付总额", "经营利润"}));
    QCOMPARE(money.values, QList<double>({150, 60, 90}));
}

void ChartsTest::salesSumPerDayAndPerson()
{
    // The page's rows as the sales statistics show them, returns already deducted (a sale of 10
    // reduced by a return of 2 shows 8 units and 80).
    const QList<ProductRecord> rows = {Sale("2026-03-02", "A", "张三", "8", "10", "80"),
                                       Sale("2026-03-01", "B", "李四", "1", "20", "20"),
                                       Sale("2026-03-02", "A", "大华商行", "5", "10", ""),
                                       Sale("2026-03-01", "C", "张三", "1", "0.1", "0.1"),
                                       Sale("2026-03-01", "C", "张三", "1", "0.2", "0.2"),
                                       Sale("not a day", "C", "", "1", "1", "1")};
    const ChartSeries days = ChartData::SalesPerDay(rows);
    QCOMPARE(days.title, "日销售统计");
    QCOMPARE(days.subtitle, "2026-03-01 至 2026-03-02");
    QCOMPARE(days.names, QStringList({"2026-03-01", "2026-03-02"}));
    QCOMPARE(days.values, QList<double>({20.3, 130}));

    const QStringList distributors = {"大华商行", "远东批发"};
    const ChartSeries staff = ChartData::SalesPerPerson(rows, distributors, false);
    QCOMPARE(staff.title, "员工销售统计");
    QCOMPARE(staff.names, QStringList({"张三", "李四", "未填写"}));
    QCOMPARE(staff.values, QList<double>({80.3, 20, 1}));
    const ChartSeries trade = ChartData::SalesPerPerson(rows, distributors, true);
    QCOMPARE(trade.title, "分销商销售统计");
    QCOMPARE(trade.names, QStringList({"大华商行"}));
    QCOMPARE(trade.values, QList<double>({50}));
}

void ChartsTest::subtitlesNameThePage()
{
    QCOMPARE(ChartData::PageSubtitle("tab_saleback"), "销售退货管理");
    QCOMPARE(ChartData::PageSubtitle("tab_income"), "收账管理");
    QCOMPARE(ChartData::PageSubtitle("tab_debt"), "应收欠账管理");
    QCOMPARE(ChartData::PageSubtitle("tab_utility"), "水电支出管理");
}

void ChartsTest::pageReceivesTheExactJson()
{
    ChartFolder folder;
    DialogShowGraph dialog;
    QSignalSpy drawn(&dialog, &DialogShowGraph::ChartDrawn);
    QVERIFY(Drawn(drawn, DialogShowGraph::Bar)); // the sample
    QVERIFY(dialog.Problem().isEmpty());
    QWebEngineView* view = dialog.View(DialogShowGraph::Bar);
    Evaluate(view, "window.received = []; var drawChart = getData;"
                   "getData = function (t) { received.push(t); return drawChart(t); }; 1");

    const ChartSeries s{"说\"明\" 中文\\", "副标题", "元", {"型号\"A\"", "乙"}, {3, 4.25}};
    dialog.ShowBar(s);
    QVERIFY(Drawn(drawn, DialogShowGraph::Bar, 2));
    QCOMPARE(Evaluate(view, "received[received.length - 1]").toString(),
             QString::fromUtf8(ChartJson::Bar(s)));
    QCOMPARE(Evaluate(view, "document.querySelector('.title').textContent").toString(), s.title);
}

void ChartsTest::pageDrawsOneMarkPerFigure()
{
    ChartFolder folder;
    DialogShowGraph dialog;
    QSignalSpy drawn(&dialog, &DialogShowGraph::ChartDrawn);
    const ChartSeries five{"t", "s", "元", {"a", "b", "c", "d", "e"}, {5, -2, 0, 7, 1}};
    dialog.ShowFigures(five, DialogShowGraph::Bar);
    QVERIFY(Drawn(drawn, DialogShowGraph::Bar, 1));
    QTRY_COMPARE_WITH_TIMEOUT(Count(dialog.View(DialogShowGraph::Bar), ".bar"), 5, PageTimeout);
    QVERIFY(Evaluate(dialog.View(DialogShowGraph::Bar),
                     "document.querySelectorAll('.bar')[0].querySelector('title').textContent")
                .toString()
                .contains("a"));

    // Slices for the positive amounts only.
    dialog.ShowFigures(five, DialogShowGraph::Pie);
    QVERIFY(Drawn(drawn, DialogShowGraph::Pie));
    QCOMPARE(Count(dialog.View(DialogShowGraph::Pie), ".slice"), 3);

    LineSeries line;
    line.title = "总标题";
    line.xLabels = {"一", "二", "三", "四"};
    line.seriesNames = {"甲", "乙"};
    line.values = {QList<double>{1, 2, 3, 4}, QList<double>{4, 3, 2, 1}, QList<double>{}};
    dialog.ShowLine(line);
    QVERIFY(Drawn(drawn, DialogShowGraph::Line));
    QCOMPARE(Count(dialog.View(DialogShowGraph::Line), ".line"), 2);
    QCOMPARE(Count(dialog.View(DialogShowGraph::Line), ".point"), 8);

    // Three names and two values: nothing to slice, and the page says so.
    dialog.ShowPie({"t", "s", "", {"a", "b", "c"}, {1, 2}});
    QVERIFY(Drawn(drawn, DialogShowGraph::Pie, 2));
    QCOMPARE(Count(dialog.View(DialogShowGraph::Pie), ".slice"), 0);
    QCOMPARE(Count(dialog.View(DialogShowGraph::Pie), ".empty"), 1);
}

void ChartsTest::pieAndLineViewsStayBlankUntilAChartNeedsThem()
{
    ChartFolder folder;
    const QUrl blank("about:blank");
    {
        DialogShowGraph dialog;
        QSignalSpy drawn(&dialog, &DialogShowGraph::ChartDrawn);
        QVERIFY(!dialog.findChild<QPushButton*>("histogramButton")->isHidden());
        QVERIFY(dialog.findChild<QPushButton*>("pieButton")->isHidden());
        QVERIFY(dialog.findChild<QPushButton*>("lineButton")->isHidden());
        QVERIFY(Drawn(drawn, DialogShowGraph::Bar));
        QCOMPARE(dialog.View(DialogShowGraph::Bar)->url().fileName(), QString("HistoGram.html"));
        QCOMPARE(dialog.View(DialogShowGraph::Pie)->url(), blank);
        QCOMPARE(dialog.View(DialogShowGraph::Line)->url(), blank);

        dialog.ShowFigures({"t", "s", "元", {"a", "b"}, {1, 2}}, DialogShowGraph::Pie);
        QVERIFY(Drawn(drawn, DialogShowGraph::Pie));
        QCOMPARE(Count(dialog.View(DialogShowGraph::Pie), ".slice"), 2);
        QCOMPARE(dialog.View(DialogShowGraph::Line)->url(), blank);
        QVERIFY(dialog.Problem().isEmpty());
    }
    // A line chart asked for at once (the sales per day) loads its view while the blank page is
    // still on its way.
    DialogShowGraph dialog;
    QSignalSpy drawn(&dialog, &DialogShowGraph::ChartDrawn);
    dialog.ShowFigures({"t", "s", "元", {"1日", "2日", "3日"}, {1, 2, 3}}, DialogShowGraph::Line);
    QVERIFY(Drawn(drawn, DialogShowGraph::Line));
    QCOMPARE(Count(dialog.View(DialogShowGraph::Line), ".point"), 3);
    QVERIFY2(dialog.Problem().isEmpty(), qPrintable(dialog.Problem()));
}

void ChartsTest::missingPageIsReported()
{
    ChartFolder folder{QByteArray("")};
    QFile::remove("html/HistoGram.html");
    DialogShowGraph dialog;
    QVERIFY(dialog.Problem().contains("找不到图形页面文件"));
    QVERIFY(dialog.Problem().contains("HistoGram.html"));
}

void ChartsTest::installedPageServesAWorkingFolderWithoutOne()
{
    QTemporaryDir prefix;
    const InstalledData installed(prefix.filePath("bin"));
    QVERIFY(QDir().mkpath(installed.Folder() + "/html"));
    const QString page = installed.Folder() + "/html/HistoGram.html";
    QVERIFY(QFile::copy(LEDGER_HTML_DIR "/HistoGram.html", page));
    {
        ChartFolder folder{QByteArray("")};
        QCOMPARE(DialogShowGraph::PageFile(installed), page);
        QCOMPARE(DialogShowGraph::PageFile(InstalledData(prefix.filePath("other/bin"))), QString());
    }
    // A working folder with a page of its own keeps to it.
    ChartFolder folder;
    QCOMPARE(DialogShowGraph::PageFile(installed),
             QDir::current().absoluteFilePath("html/HistoGram.html"));
}

void ChartsTest::pageWithoutGetDataIsReported()
{
    ChartFolder folder{QByteArray("<html><body>no charts here</body></html>")};
    DialogShowGraph dialog;
    QTRY_VERIFY_WITH_TIMEOUT(dialog.Problem().contains("没有 getData 函数"), PageTimeout);
}

void ChartsTest::pageReportsWhatItCannotDraw()
{
    ChartFolder folder;
    DialogShowGraph dialog;
    QSignalSpy drawn(&dialog, &DialogShowGraph::ChartDrawn);
    QVERIFY(Drawn(drawn, DialogShowGraph::Bar));
    Evaluate(dialog.View(DialogShowGraph::Bar), "getData('{not json'); 1");
    QTRY_VERIFY_WITH_TIMEOUT(dialog.Problem().contains("图形页面无法绘图"), PageTimeout);
}

void ChartsTest::closingBeforeThePageAnswersIsSafe()
{
    ChartFolder folder;
    auto* dialog = new DialogShowGraph;
    QPointer<DialogShowGraph> shown(dialog);
    // Closed as soon as a page has loaded, before the page can answer the dialog's first
    // question: the destroyed page answers it with nothing.
    QEventLoop loop;
    connect(
        dialog->View(DialogShowGraph::Bar), &QWebEngineView::loadFinished, &loop,
        [&] {
            delete dialog;
            loop.quit();
        },
        Qt::QueuedConnection);
    QTimer::singleShot(PageTimeout, &loop, &QEventLoop::quit);
    loop.exec();
    QVERIFY2(!shown, "the page never loaded");
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ChartsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_charts.moc"
