#include "DialogShowGraph.h"

#include "ui_DialogShowGraph.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWebChannel>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>
#include <utility>

namespace
{

const QString ChannelScript = QStringLiteral(":/qtwebchannel/qwebchannel.js");

ChartSeries SampleBar()
{
    return {QStringLiteral("主标题"),
            QStringLiteral("副标题"),
            QStringLiteral("y单位"),
            {"Item1", "Item2", "Item3", "Item4"},
            {120, 200, 150, 80}};
}

ChartSeries SamplePie()
{
    return {QStringLiteral("主标题"),
            QStringLiteral("副标题"),
            QString(),
            {"Item1", "Item2", "Item3", "Item4"},
            {335, 310, 234, 135}};
}

LineSeries SampleLine()
{
    LineSeries line;
    line.title = QStringLiteral("总标题");
    line.xLabels = {"一", "二", "三", "四", "五"};
    line.seriesNames = {"名称1", "名称2", "名称3"};
    line.values = {QList<double>{120, 132, 101, 134, 90}, QList<double>{220, 182, 191, 234, 290},
                   QList<double>{150, 232, 201, 154, 190}};
    return line;
}

// The page's side of the web channel, run in every view before the page's own script.
QWebEngineScript ChannelBridge()
{
    QFile file(ChannelScript);
    file.open(QIODevice::ReadOnly);
    QWebEngineScript script;
    script.setName(QStringLiteral("DialogShowGraphChannel"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setSourceCode(QString::fromUtf8(file.readAll()) + QStringLiteral(R"(
new QWebChannel(qt.webChannelTransport, function (channel) {
    window.DialogShowGraph = channel.objects.DialogShowGraph;
});)"));
    return script;
}

} // namespace

DialogShowGraph::DialogShowGraph(QWidget* parent)
    : QDialog(parent), ui(new Ui::DialogShowGraph), channel(new QWebChannel(this)),
      bridge(new ChartPageBridge(this))
{
    ui->setupUi(this);
    views[Bar].view = ui->webView;
    views[Pie].view = ui->pieWebView;
    views[Line].view = ui->lineWebView;
    // Samples of the pie and line charts are not offered: those charts come with figures only.
    ui->pieButton->hide();
    ui->lineButton->hide();
    AddObjectToJs();
    for (int i = Bar; i <= Line; ++i) {
        const auto chart = Chart(i);
        QWebEnginePage* page = views[i].view->page();
        page->setBackgroundColor(Qt::transparent);
        page->setWebChannel(channel);
        page->scripts().insert(ChannelBridge());
        // Only loads of the chart page count: the blank page a view starts on draws nothing.
        connect(page, &QWebEnginePage::loadingChanged, this,
                [this, chart](const QWebEngineLoadingInfo& info) {
                    if (info.url() == pageUrl &&
                        info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
                        PageLoaded(chart,
                                   info.status() == QWebEngineLoadingInfo::LoadSucceededStatus);
                });
    }
    for (Chart chart : {Pie, Line})
        views[chart].view->setUrl(QUrl(QStringLiteral("about:blank")));
    LoadPage();
    on_histogramButton_clicked();
}

DialogShowGraph::~DialogShowGraph()
{
    // A page that is destroyed answers its pending scripts with nothing. The views and their
    // pages therefore go first, while this dialog is whole, and those answers are dropped.
    closing = true;
    for (ViewState& state : views)
        delete state.view;
}

QString DialogShowGraph::PagePath()
{
    return QStringLiteral("./html/HistoGram.html");
}

QString DialogShowGraph::PageFile(const InstalledData& installed)
{
    const QFileInfo working(QDir::current().absoluteFilePath(PagePath()));
    return working.isFile() ? working.absoluteFilePath()
                            : installed.File(QDir::cleanPath(PagePath()));
}

void DialogShowGraph::AddObjectToJs()
{
    channel->registerObject(QStringLiteral("DialogShowGraph"), bridge);
    connect(bridge, &ChartPageBridge::PageError, this,
            [this](const QString& text) { Report(tr("图形页面无法绘图：%1").arg(text)); });
}

void DialogShowGraph::LoadPage()
{
    const QString file = PageFile();
    if (file.isEmpty()) {
        Report(tr("找不到图形页面文件 %1，无法显示图形。")
                   .arg(QDir::current().absoluteFilePath(PagePath())));
        return;
    }
    pageUrl = QUrl::fromLocalFile(file);
    Load(Bar);
}

void DialogShowGraph::Load(Chart chart)
{
    // Each chart has a view of its own; the pie and line views load the page when first drawn.
    ViewState& state = views[chart];
    if (state.requested || pageUrl.isEmpty())
        return;
    state.requested = true;
    state.view->setUrl(pageUrl);
}

void DialogShowGraph::PageLoaded(Chart chart, bool ok)
{
    if (closing)
        return;
    ViewState& state = views[chart];
    state.ready = false;
    if (!ok) {
        Report(tr("图形页面 %1 无法载入。").arg(state.view->url().toLocalFile()));
        return;
    }
    state.view->page()->runJavaScript(QStringLiteral("typeof getData === 'function'"),
                                      [this, chart](const QVariant& result) {
                                          if (closing)
                                              return;
                                          ViewState& state = views[chart];
                                          if (!result.toBool()) {
                                              Report(tr("图形页面 %1 没有 getData 函数，无法绘图。")
                                                         .arg(state.view->url().toLocalFile()));
                                              return;
                                          }
                                          state.ready = true;
                                          if (!state.pending.isEmpty())
                                              Run(chart, std::exchange(state.pending, QString()));
                                      });
}

void DialogShowGraph::Run(Chart chart, const QString& call)
{
    ViewState& state = views[chart];
    if (!state.ready) {
        state.pending = call;
        Load(chart);
        return;
    }
    state.view->page()->runJavaScript(call, [this, chart](const QVariant&) {
        if (!closing)
            emit ChartDrawn(chart);
    });
}

void DialogShowGraph::Report(const QString& text)
{
    ui->labelState->setText(text);
}

QString DialogShowGraph::Problem() const
{
    return ui->labelState->text();
}

QWebEngineView* DialogShowGraph::View(Chart chart) const
{
    return views[chart].view;
}

void DialogShowGraph::ShowBar(const ChartSeries& series)
{
    ui->stackedWidget->setCurrentIndex(Bar);
    Run(Bar, ChartJson::ScriptCall(ChartJson::Bar(series)));
}

void DialogShowGraph::ShowPie(const ChartSeries& series)
{
    ui->stackedWidget->setCurrentIndex(Pie);
    Run(Pie, ChartJson::ScriptCall(ChartJson::Pie(series, series.subtitle)));
}

void DialogShowGraph::ShowLine(const LineSeries& series)
{
    ui->stackedWidget->setCurrentIndex(Line);
    Run(Line, ChartJson::ScriptCall(ChartJson::Line(series)));
}

void DialogShowGraph::ShowFigures(const ChartSeries& series, Chart chart)
{
    figures = series;
    hasFigures = true;
    if (chart == Pie)
        on_pieButton_clicked();
    else if (chart == Line)
        on_lineButton_clicked();
    else
        on_histogramButton_clicked();
}

void DialogShowGraph::on_histogramButton_clicked()
{
    ShowBar(hasFigures ? figures : SampleBar());
}

void DialogShowGraph::on_pieButton_clicked()
{
    ShowPie(hasFigures ? figures : SamplePie());
}

void DialogShowGraph::on_lineButton_clicked()
{
    if (!hasFigures) {
        ShowLine(SampleLine());
        return;
    }
    ShowLine(ChartJson::AsLine(figures));
}

void DialogShowGraph::on_pushButtoExit_clicked()
{
    close();
}
