// The main window's print buttons and chart entries, on a signed-in window.
#include "DialogShowGraph.h"
#include "MainWindow.h"
#include "PagePrint.h"
#include "PdfText.h"
#include "ScriptedPrompt.h"
#include "SignedInWindow.h"
#include "TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace
{

const int PageTimeout = 30000;

ProductRecord Goods(const QString& model, const QString& person, const QString& total)
{
    static int made = 0;
    ProductRecord r;
    r.product_serial = QStringLiteral("2026-03-01 10:00:00:%1").arg(++made, 3, 10, QChar(u'0'));
    r.product_model = model;
    r.product_time = "2026-03-01";
    r.product_purchase = person;
    r.product_total = total;
    return r;
}

QStringList PrintButtons()
{
    QStringList names;
    for (const PageDefinition& d : PageDefinitions::All()) {
        for (const PageButton& b : d.buttons) {
            if (b.name.contains("print"))
                names << b.name;
        }
    }
    return names;
}

int Bars(DialogShowGraph* dialog)
{
    int count = -1;
    bool done = false;
    dialog->View(DialogShowGraph::Bar)
        ->page()
        ->runJavaScript("document.querySelectorAll('.bar').length", [&](const QVariant& v) {
            count = v.toInt();
            done = true;
        });
    if (!QTest::qWaitFor([&] { return done; }, PageTimeout))
        return -1;
    return count;
}

} // namespace

class ReportWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void fifteenPrintButtonsAskHowToPrint();
    void fullReportCarriesThePageAndItsTotals();
    void chartEntriesFollowTheRole();
    void chartShowsThePageLastTotalled();
    void salesChartsReadTheSalesStatistics();
};

void ReportWindowTest::fifteenPrintButtonsAskHowToPrint()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow();
    ScriptedPrompt prompt;
    const QStringList buttons = PrintButtons();
    QCOMPARE(buttons.size(), 15);
    prompt.AnswerBoxes(QList<int>(15, -1));
    for (const QString& name : buttons) {
        auto* button = w->findChild<QPushButton*>(name);
        QVERIFY2(button, qPrintable(name));
        button->click();
    }
    QCOMPARE(prompt.shown.size(), 15);
    for (const ScriptedPrompt::Shown& box : std::as_const(prompt.shown))
        QCOMPARE(box.text, "请选择打印方式");
}

void ReportWindowTest::fullReportCarriesThePageAndItsTotals()
{
    if (!PdfText::Available())
        QSKIP("poppler-utils is not installed");
    TestFolder folder;
    QVERIFY(folder.Connect());
    auto w = SignedInWindow();
    w->GoodsModel(0)->ShowRecords(
        {Goods("XJ-1", "", "25"), Goods("XJ-2", "", "35.5"), Goods("XJ-1", "", "")});
    ScriptedPrompt prompt;
    prompt.AnswerBoxes({PagePrint::ReportToPdf});
    prompt.AnswerFiles({folder.Path() + "/purchases"});
    w->findChild<QPushButton*>("btn_purprint")->click();
    const QStringList pages = PdfText::Pages(folder.Path() + "/purchases.pdf");
    QCOMPARE(pages.size(), 1);
    const QString text = pages.first().simplified();
    QVERIFY(text.contains("采购进货表"));
    QVERIFY(text.contains("期间：2026-03-01 至 2026-03-01"));
    QVERIFY(text.contains("XJ-2"));
    QVERIFY(text.contains("共 3 行"));
    QVERIFY2(text.contains("总金额: 60.5 已付款: 0 未付款: 0"), qPrintable(text));
}

void ReportWindowTest::chartEntriesFollowTheRole()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    for (int role : {1, 2, 3, 4}) {
        auto w = SignedInWindow(role);
        QCOMPARE(w->findChild<QAction*>("action_graph")->isVisible(), role <= 2);
        for (const char* name : {"action_saleday", "action_saleemploy", "action_saledistri"}) {
            auto* action = w->findChild<QAction*>(name);
            QVERIFY2(action, name);
            QVERIFY(w->findChild<QMenu*>("menu_salestotal")->actions().contains(action));
        }
    }
}

void ReportWindowTest::chartShowsThePageLastTotalled()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QDir().mkpath("html");
    QVERIFY(QFile::copy(LEDGER_HTML_DIR "/HistoGram.html", "html/HistoGram.html"));
    auto w = SignedInWindow();
    ScriptedPrompt prompt;
    w->findChild<QAction*>("action_graph")->trigger();
    QCOMPARE(prompt.shown.size(), 1);
    QVERIFY(prompt.shown.first().text.contains("统计"));

    w->GoodsModel(2)->ShowRecords(
        {Goods("A", "张三", "10"), Goods("B", "张三", "5"), Goods("A", "李四", "1")});
    w->findChild<QPushButton*>("btn_total_3")->click();
    w->findChild<QAction*>("action_graph")->trigger();
    auto* dialog = w->findChild<DialogShowGraph*>();
    QVERIFY(dialog && dialog->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(Bars(dialog), 2, PageTimeout); // models A and B
    QVERIFY(dialog->Problem().isEmpty());
}

void ReportWindowTest::salesChartsReadTheSalesStatistics()
{
    TestFolder folder;
    QVERIFY(folder.Connect());
    QDir().mkpath("html");
    QVERIFY(QFile::copy(LEDGER_HTML_DIR "/HistoGram.html", "html/HistoGram.html"));
    auto w = SignedInWindow();
    ScriptedPrompt prompt;
    w->findChild<QAction*>("action_saleemploy")->trigger();
    QCOMPARE(prompt.shown.size(), 1); // nothing queried yet
    QVERIFY(!w->findChild<DialogShowGraph*>());

    auto* sales = dynamic_cast<ProductModel*>(w->Table("tab_saletotal_1")->model());
    sales->ShowRecords({Goods("A", "张三", "10"), Goods("B", "李四", "5"), Goods("C", "王五", "1"),
                        Goods("D", "张三", "2")});
    w->findChild<QAction*>("action_saleemploy")->trigger();
    auto* dialog = w->findChild<DialogShowGraph*>();
    QVERIFY(dialog && dialog->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(Bars(dialog), 3, PageTimeout); // three salespeople
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ReportWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_reportwindow.moc"
