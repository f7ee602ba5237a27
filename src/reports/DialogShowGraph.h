#pragma once

#include "ChartSeries.h"
#include "InstalledData.h"

#include <QDialog>
#include <QString>
#include <QUrl>
#include <array>
#include <memory>

class QWebChannel;
class QWebEngineView;

namespace Ui
{
class DialogShowGraph;
}

// What the chart page may call in the program, published to it as "DialogShowGraph".
class ChartPageBridge : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

public slots:
    // The page could not draw what it was given.
    void ReportPageError(const QString& text) { emit PageError(text); }

signals:
    void PageError(const QString& text);
};

// "图形显示": bar, pie and line charts drawn by the page html/HistoGram.html of the working folder
// (or, when the working folder has none, the one installed with the program) in three web views.
// The dialog hands the page its figures as JSON through getData; the page reaches the dialog
// through the web channel object "DialogShowGraph".
class DialogShowGraph : public QDialog
{
    Q_OBJECT
public:
    enum Chart { Bar = 0, Pie = 1, Line = 2 };

    explicit DialogShowGraph(QWidget* parent = nullptr);
    ~DialogShowGraph() override;

    // The page file, relative to the working folder.
    static QString PagePath();
    // The page to load: the working folder's, else the installation's; empty when neither is
    // there.
    static QString PageFile(const InstalledData& installed = InstalledData::OfProgram());

    // Switches to the chart's page and draws it.
    void ShowBar(const ChartSeries& series);
    void ShowPie(const ChartSeries& series);
    void ShowLine(const LineSeries& series);

    // Figures the three buttons show from now on (the bar and pie charts of `series`, its line
    // over the names), drawn at once as `chart`.
    void ShowFigures(const ChartSeries& series, Chart chart);

    // What the dialog reports about its page (missing, unreadable, without getData); empty when
    // all is well.
    QString Problem() const;
    QWebEngineView* View(Chart chart) const;

public slots:
    void AddObjectToJs();
    void on_histogramButton_clicked();
    void on_pieButton_clicked();
    void on_lineButton_clicked();
    void on_pushButtoExit_clicked();

signals:
    // getData has run in the view of `chart`.
    void ChartDrawn(int chart);

private:
    struct ViewState {
        QWebEngineView* view = nullptr;
        bool requested = false; // the page was asked for; until then the view stays blank
        bool ready = false;     // loaded and offering getData
        QString pending;        // the last call asked for before the page was ready
    };

    // Finds the page file and loads it into the bar chart's view.
    void LoadPage();
    // Loads the page into the view of `chart`, once.
    void Load(Chart chart);
    void PageLoaded(Chart chart, bool ok);
    void Run(Chart chart, const QString& call);
    void Report(const QString& text);

    std::unique_ptr<Ui::DialogShowGraph> ui;
    QWebChannel* channel = nullptr;
    ChartPageBridge* bridge = nullptr;
    bool closing = false;
    QUrl pageUrl; // the page file, empty when it is missing
    std::array<ViewState, 3> views;
    bool hasFigures = false;
    ChartSeries figures;
};
