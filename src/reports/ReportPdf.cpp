#include "ReportPdf.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <algorithm>

namespace
{

// WenQuanYi first: a PDF keeps one character per glyph, and Noto CJK's glyphs of common
// characters such as 行 and 入 are shared with the Kangxi radicals, so their text would read
// back as the radicals (⾏, ⼊) and not be found by a search.
const QStringList FontFamilies = {QStringLiteral("WenQuanYi Micro Hei"),
                                  QStringLiteral("Noto Sans CJK SC")};
const int Resolution = 300;
const qreal MarginMm = 10;
const qreal BodyPoints = 7;
const qreal TitlePoints = 12;

// A text as glyphs of the report's font with the advance of each. Drawing glyphs spares the
// PDF writer shaping every cell again; the PDF still maps them back to the characters.
struct Shaped {
    QList<quint32> glyphs;
    QList<qreal> advances;
    qreal width = 0;
};

// The rows laid out on a sheet: column widths and every cell broken into lines that fit.
class Layout
{
public:
    Layout(const ReportTable& report, const QFont& font, qreal width)
        : raw(QRawFont::fromFont(font)), padding(raw.averageCharWidth() / 2)
    {
        const int columns = int(report.headers.size());
        QList<double> needed(columns, 0);
        auto widen = [&](const QStringList& cells) {
            for (int c = 0; c < columns && c < cells.size(); ++c)
                needed[c] = std::max(needed[c], Of(cells.at(c)).width + 2 * padding);
        };
        widen(report.headers);
        for (const QStringList& row : report.rows)
            widen(row);
        widths = ReportTables::FitWidths(needed, width);
    }

    qreal LineHeight() const { return raw.ascent() + raw.descent() + raw.leading(); }

    qreal RowHeight(const QStringList& cells) { return Place(cells, 0, nullptr, nullptr); }

    // Draws one row of cells with its top at `top`; returns its height.
    qreal DrawRow(QPainter& painter, const QStringList& cells, qreal top)
    {
        QList<quint32> glyphs;
        QList<QPointF> positions;
        const qreal height = Place(cells, top, &glyphs, &positions);
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(0, 0), run);
        return height;
    }

private:
    const Shaped& Of(const QString& text)
    {
        auto found = shaped.constFind(text);
        if (found != shaped.constEnd())
            return *found;
        Shaped s;
        s.glyphs = raw.glyphIndexesForString(text);
        for (const QPointF& advance : raw.advancesForGlyphIndexes(s.glyphs)) {
            s.advances << advance.x();
            s.width += advance.x();
        }
        return *shaped.insert(text, s);
    }

    // Breaks every cell into lines within its column (a glyph that does not fit starts a new
    // line) and, when asked, gives each glyph its place; returns the row's height.
    qreal Place(const QStringList& cells, qreal top, QList<quint32>* glyphs,
                QList<QPointF>* positions)
    {
        int lines = 1;
        qreal left = 0;
        const qreal baseline = top + padding / 2 + raw.ascent();
        for (int c = 0; c < widths.size(); ++c) {
            const Shaped& text = Of(c < cells.size() ? cells.at(c) : QString());
            const qreal room = widths.at(c) - 2 * padding;
            int line = 0;
            qreal x = 0;
            for (int g = 0; g < text.glyphs.size(); ++g) {
                if (x > 0 && x + text.advances.at(g) > room) {
                    ++line;
                    x = 0;
                }
                if (glyphs) {
                    *glyphs << text.glyphs.at(g);
                    *positions << QPointF(left + padding + x, baseline + line * LineHeight());
                }
                x += text.advances.at(g);
            }
            lines = std::max(lines, line + 1);
            left += widths.at(c);
        }
        return lines * LineHeight() + padding;
    }

    QRawFont raw;
    qreal padding;
    QList<double> widths;
    QHash<QString, Shaped> shaped;
};

} // namespace

bool ReportPdf::Write(const ReportTable& report, const QString& path)
{
    QPdfWriter writer(path);
    writer.setResolution(Resolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm),
                                     QPageLayout::Millimeter));
    writer.setTitle(report.title);
    writer.setCreator(QStringLiteral("库存与财务管理系统"));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;

    QFont body;
    body.setFamilies(FontFamilies);
    body.setPointSizeF(BodyPoints);
    QFont heading = body;
    heading.setPointSizeF(TitlePoints);
    heading.setBold(true);
    const qreal width = writer.width();
    const qreal height = writer.height();
    Layout layout(report, QFont(body, &writer), width);
    const QFontMetricsF headingMetrics(QFont(heading, &writer));
    const qreal line = layout.LineHeight();

    // Above the rows: title, period and headers; below: the page number line.
    const qreal top = headingMetrics.height() + line * 1.5;
    const qreal headerHeight = layout.RowHeight(report.headers);
    const qreal bodyHeight = height - top - headerHeight - line * 2;

    QList<double> heights;
    heights.reserve(report.rows.size() + 1);
    for (const QStringList& row : report.rows)
        heights << layout.RowHeight(row);
    // The totals come after the last row and stay together.
    heights << (report.totals.size() + 1) * line;
    const QList<int> starts = ReportTables::PageStarts(heights, bodyHeight);

    const QPen rule(Qt::darkGray, 0);
    for (int page = 0; page < starts.size(); ++page) {
        if (page > 0)
            writer.newPage();
        painter.setFont(heading);
        painter.drawText(QRectF(0, 0, width, headingMetrics.height()), Qt::AlignHCenter,
                         report.title);
        painter.setFont(body);
        if (!report.period.isEmpty())
            painter.drawText(QPointF(0, headingMetrics.height() + line),
                             QStringLiteral("期间：%1").arg(report.period));
        qreal y = top;
        painter.setPen(rule);
        painter.drawLine(QLineF(0, y, width, y));
        painter.setPen(Qt::black);
        y += layout.DrawRow(painter, report.headers, y);
        painter.setPen(rule);
        painter.drawLine(QLineF(0, y, width, y));
        painter.setPen(Qt::black);

        const int end = page + 1 < starts.size() ? starts.at(page + 1) : int(heights.size());
        for (int i = starts.at(page); i < end; ++i) {
            if (i < report.rows.size()) {
                y += layout.DrawRow(painter, report.rows.at(i), y);
                painter.setPen(rule);
                painter.drawLine(QLineF(0, y, width, y));
                painter.setPen(Qt::black);
                continue;
            }
            y += line;
            for (const QString& total : report.totals) {
                y += line;
                painter.drawText(QPointF(0, y), total);
            }
        }
        painter.drawText(QRectF(0, height - line, width, line), Qt::AlignHCenter,
                         QStringLiteral("第 %1 页 / 共 %2 页").arg(page + 1).arg(starts.size()));
    }
    return painter.end() && QFileInfo(path).size() > 0;
}
