// The full report of a 10 000-row goods page written to PDF (time, size, pages; goal under 3 s),
// against Qt's own per-cell text layout as the baseline; and bar, pie and line charts of 1 000
// items drawn by the chart page (goal under 1 s each), against a chart of 10 items.

#include "ChartSeries.h"
#include "DialogShowGraph.h"
#include "ReportPdf.h"
#include "ReportTable.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace
{

ReportTable GoodsPage(int rows)
{
    ReportTable report;
    report.title = QStringLiteral("采购进货表");
    report.period = QStringLiteral("2026-01-01 至 2026-03-31");
    report.headers = {"录入时间", "商品类目", "商品名称", "商品型号", "商品色号",
                      "商品编码", "商品规格", "进货日期", "存储仓库", "进货数量",
                      "产品单价", "合计金额", "已付款项", "尚欠余款", "供货商",
                      "采购人员", "单据号",   "录入人员", "备注"};
    for (int i = 0; i < rows; ++i) {
        report.rows << QStringList{
            QStringLiteral("2026-01-01 10:00:00:%1").arg(i, 6, 10, QLatin1Char('0')),
            QStringLiteral("衬衫"),
            QStringLiteral("商品%1").arg(i % 500),
            QStringLiteral("M-%1").arg(i % 80),
            QStringLiteral("红"),
            QStringLiteral("C%1").arg(i),
            QStringLiteral("L"),
            QStringLiteral("2026-01-%1").arg(i % 28 + 1, 2, 10, QLatin1Char('0')),
            QStringLiteral("01-A-1"),
            QString::number(i % 17 + 1),
            QStringLiteral("12.5"),
            QString::number((i % 17 + 1) * 12.5),
            QStringLiteral("0"),
            QString::number((i % 17 + 1) * 12.5),
            QStringLiteral("远东批发"),
            QStringLiteral("张三"),
            QStringLiteral("D%1").arg(i),
            QStringLiteral("admin"),
            i % 10 == 0 ? QStringLiteral("合并采购进货表--时间：2026-01-02,型号:M-1,数目:3的项")
                        : QString()};
    }
    report.totals = {QStringLiteral("共 %1 行").arg(rows),
                     QStringLiteral("总金额: 1130000    已付款: 0    未付款: 1130000")};
    return report;
}

// Qt's own text layout for every cell, 40 rows to a sheet: what a report without its own
// line breaking would cost.
double Baseline(const ReportTable& report, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter(&writer);
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSizeF(7);
    painter.setFont(font);
    const qreal width = writer.width() / qreal(report.headers.size());
    const qreal height = writer.height() / 42.0;
    for (int r = 0; r < report.rows.size(); ++r) {
        if (r > 0 && r % 40 == 0)
            writer.newPage();
        const QStringList& cells = report.rows.at(r);
        for (int c = 0; c < cells.size(); ++c)
            painter.drawText(QRectF(c * width, (r % 40 + 1) * height, width, height),
                             Qt::TextWrapAnywhere, cells.at(c));
    }
    painter.end();
    return timer.nsecsElapsed() / 1e9;
}

int Pages(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return int(file.readAll().count("/Type /Page\n"));
}

double DrawSeconds(DialogShowGraph& dialog, QSignalSpy& drawn, DialogShowGraph::Chart chart,
                   const ChartSeries& series)
{
    const int before = int(drawn.size());
    QElapsedTimer timer;
    timer.start();
    if (chart == DialogShowGraph::Bar)
        dialog.ShowBar(series);
    else if (chart == DialogShowGraph::Pie)
        dialog.ShowPie(series);
    else
        dialog.ShowLine(ChartJson::AsLine(series));
    if (!QTest::qWaitFor([&] { return drawn.size() > before; }, 60000))
        return -1;
    return timer.nsecsElapsed() / 1e9;
}

ChartSeries Items(int count)
{
    ChartSeries series{
        QStringLiteral("商品管理"), QStringLiteral("采购进货管理"), QStringLiteral("元"), {}, {}};
    for (int i = 0; i < count; ++i) {
        series.names << QStringLiteral("型号%1").arg(i);
        series.values << (i * 37 % 1000) + 1;
    }
    return series;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QTemporaryDir dir;

    const ReportTable report = GoodsPage(10000);
    const QString path = dir.filePath("report.pdf");
    QElapsedTimer timer;
    timer.start();
    const bool written = ReportPdf::Write(report, path);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double baseline = Baseline(report, dir.filePath("baseline.pdf"));
    std::printf("full report, 10 000 rows x 19 columns: %s in %.2f s (goal < 3 s), %.1f MB, "
                "%d pages\n",
                written ? "written" : "NOT WRITTEN", seconds, QFileInfo(path).size() / 1e6,
                Pages(path));
    std::printf("  baseline, Qt's per-cell text layout: %.2f s (ratio %.2f)\n", baseline,
                seconds / baseline);

    // The chart page lies in the working folder, as the program finds it.
    QDir(dir.path()).mkpath("html");
    QFile::copy(QStringLiteral(LEDGER_HTML_DIR "/HistoGram.html"),
                dir.filePath("html/HistoGram.html"));
    QDir::setCurrent(dir.path());
    DialogShowGraph dialog;
    dialog.resize(1200, 700);
    dialog.show();
    QSignalSpy drawn(&dialog, &DialogShowGraph::ChartDrawn);
    if (!QTest::qWaitFor([&] { return drawn.size() > 0; }, 60000)) {
        std::printf("chart page did not load: %s\n", qPrintable(dialog.Problem()));
        return 1;
    }
    const char* names[] = {"bar", "pie", "line"};
    for (int chart = DialogShowGraph::Bar; chart <= DialogShowGraph::Line; ++chart) {
        const auto kind = DialogShowGraph::Chart(chart);
        const double small = DrawSeconds(dialog, drawn, kind, Items(10));
        const double large = DrawSeconds(dialog, drawn, kind, Items(1000));
        std::printf("%s chart, 1 000 items: %.3f s (goal < 1 s); 10 items: %.3f s (ratio %.1f)\n",
                    names[chart], large, small, small > 0 ? large / small : 0.0);
    }
    return 0;
}
