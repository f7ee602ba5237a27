// Draws the program's icons and backgrounds and writes the resource list that rcc compiles, and
// the desktop icon an installation puts into the hicolor theme (PNG sizes and SVG).
// Usage: ledger_artwork <output folder> <style sheet file> <desktop icon name>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <cstdio>
#include <functional>

namespace
{

const QString CjkFamily = QStringLiteral("Noto Sans CJK SC");

struct Tile {
    QString path; // below the output folder, also the resource alias
    QColor color;
    QString glyph;
};

// Icons are round-cornered tiles with one glyph: a Chinese character that names the action,
// so the tool bar reads at a glance.
const QList<Tile>& Tiles()
{
    static const QList<Tile> tiles = {
        {"icons/1_green.png", QColor(46, 160, 90), "账"},
        {"icons/5_yellow.png", QColor(230, 170, 30), "登"},
        {"icons/6_blue.png", QColor(50, 110, 200), "人"},
        {"icons/exit.png", QColor(200, 60, 50), "退"},
        {"icons/littleIcon1/Color layers.png", QColor(60, 130, 200), "进"},
        {"icons/littleIcon1/Exit.png", QColor(200, 110, 50), "退"},
        {"icons/littleIcon1/Homepage.png", QColor(110, 90, 170), "仓"},
        {"icons/littleIcon1/3d graph.png", QColor(40, 150, 150), "统"},
        {"icons/littleIcon1/Close.png", QColor(200, 60, 50), "关"},
        {"icons/littleIcon1/Monitor.png", QColor(70, 100, 160), "录"},
        {"icons/littleIcon1/Add.png", QColor(50, 150, 80), "+"},
        {"icons/littleIcon1/Delete.png", QColor(200, 80, 60), "−"},
        {"icons/littleIcon1/No.png", QColor(150, 60, 60), "×"},
        {"icons/littleIcon1/Find.png", QColor(60, 120, 190), "查"},
        {"icons/littleIcon1/Import.png", QColor(90, 130, 60), "入"},
        {"icons/littleIcon1/Export.png", QColor(160, 110, 40), "出"},
        {"icons/littleIcon1/Print.png", QColor(90, 90, 110), "印"},
        {"icons/littleIcon1/Error.png", QColor(220, 60, 40), "!"},
        {"icons/littleIcon3/png-0506.png", QColor(120, 80, 160), "分"},
        {"icons/littleIcon3/png-0550.png", QColor(40, 140, 170), "客"},
        {"icons/littleIcon3/png-0656.png", QColor(90, 120, 150), "往"},
        {"icons/littleIcon3/png-1011.png", QColor(40, 120, 100), "备"},
        {"icons/littleIcon3/png-1881.png", QColor(160, 100, 50), "还"},
        {"icons/littleIcon3/png-0698.png", QColor(70, 140, 90), "供"},
        {"icons/littleIcon3/png-0810.png", QColor(170, 80, 80), "损"},
        {"icons/littleIcon3/png-0792.png", QColor(210, 120, 40), "售"},
        {"icons/littleIcon3/png-0791.png", QColor(190, 90, 60), "回"},
        {"icons/littleIcon3/png-1761.png", QColor(100, 90, 170), "库"},
        {"icons/littleIcon3/png-0559.png", QColor(40, 150, 90), "收"},
        {"icons/littleIcon3/png-1973.png", QColor(180, 70, 110), "欠"},
        {"icons/littleIcon3/png-0314.png", QColor(60, 110, 180), "薪"},
        {"icons/littleIcon3/png-1206.png", QColor(40, 140, 180), "租"},
        {"icons/littleIcon3/png-0108.png", QColor(140, 100, 70), "支"},
        {"icons/littleIcon3/png-1735.png", QColor(80, 80, 150), "用"},
        {"icons/littleIcon3/png-1436.png", QColor(100, 110, 120), "算"},
        {"icons/littleIcon3/png-0211.png", QColor(60, 150, 200), "?"},
        {"icons/littleIcon3/png-1431.png", QColor(70, 160, 110), "其"},
        {"icons/littleIcon3/png-0516.png", QColor(200, 90, 150), "题"},
        {"icons/littleIcon3/png-0012.png", QColor(150, 120, 60), "记"},
        {"icons/littleIcon3/png-0098.png", QColor(70, 130, 120), "员"},
        {"icons/littleIcon3/png-1709.png", QColor(90, 150, 60), "重"},
        {"icons/littleIcon3/png-0660.png", QColor(200, 150, 30), "利"},
        {"icons/littleIcon3/png-0041.png", QColor(100, 90, 170), "存"},
        {"icons/littleIcon3/png-0133.png", QColor(40, 150, 150), "销"},
        {"icons/littleIcon3/png-0078.png", QColor(40, 150, 90), "财"},
        {"icons/littleIcon3/png-1010.png", QColor(60, 120, 190), "图"},
        {"icons/littleIcon3/png-0273.png", QColor(140, 100, 70), "采"},
    };
    return tiles;
}

// The tile under every icon's glyph, on a grid of 64 units: a body shaded from top to bottom
// with a darker edge, and a shine across its top.
struct TileShape {
    static constexpr int Grid = 64;
    static constexpr double BodyCorner = 14;
    static constexpr double ShineCorner = 10;
    static constexpr double EdgeWidth = 2;
    inline static const QRectF Body{3, 3, 58, 58};
    inline static const QRectF Shine{8, 6, 48, Grid / 3.0};
    inline static const QColor ShineColor{255, 255, 255, 60};

    explicit TileShape(const QColor& color)
        : top(color.lighter(135)), bottom(color.darker(115)), edge(color.darker(150))
    {
    }

    void Paint(QPainter& p) const
    {
        QLinearGradient fill(0, 0, 0, Grid);
        fill.setColorAt(0, top);
        fill.setColorAt(1, bottom);
        p.setPen(QPen(edge, EdgeWidth));
        p.setBrush(fill);
        p.drawRoundedRect(Body, BodyCorner, BodyCorner);
        p.setPen(Qt::NoPen);
        p.setBrush(ShineColor);
        p.drawRoundedRect(Shine, ShineCorner, ShineCorner);
    }

    QColor top, bottom, edge;
};

QImage DrawTile(const Tile& tile)
{
    const int size = TileShape::Grid;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    TileShape(tile.color).Paint(p);
    QFont font(CjkFamily);
    font.setPixelSize(tile.glyph.size() == 1 && tile.glyph.at(0).unicode() < 128 ? 44 : 36);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, tile.glyph);
    return image;
}

// The small mark in front of every column header: a green ledger tick.
QImage ColumnMark()
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(47, 138, 92), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
    return image;
}

QImage Gradient(int w, int h, const QColor& top, const QColor& bottom)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(image.rect(), g);
    return image;
}

void DrawLedgerLines(QPainter& p, const QRect& area, const QColor& color, int step)
{
    p.setPen(QPen(color, 1));
    for (int y = area.top() + step; y < area.bottom(); y += step)
        p.drawLine(area.left(), y, area.right(), y);
}

QImage Splash()
{
    QImage image = Gradient(640, 360, QColor(24, 64, 96), QColor(10, 28, 44));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    DrawLedgerLines(p, image.rect(), QColor(255, 255, 255, 18), 24);
    QRadialGradient glow(QPointF(520, 80), 220);
    glow.setColorAt(0, QColor(90, 200, 140, 110));
    glow.setColorAt(1, QColor(90, 200, 140, 0));
    p.fillRect(image.rect(), glow);
    p.drawImage(QRect(40, 120, 96, 96), DrawTile(Tiles().first()));
    QFont title(CjkFamily);
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(156, 120, 460, 56), Qt::AlignLeft | Qt::AlignVCenter, "库存与财务管理系统");
    QFont sub(CjkFamily);
    sub.setPixelSize(18);
    p.setFont(sub);
    p.setPen(QColor(180, 220, 200));
    p.drawText(QRect(158, 176, 460, 36), Qt::AlignLeft | Qt::AlignVCenter,
               "进货 · 销售 · 库存 · 收支 · 利润");
    return image;
}

QImage LoginBackground()
{
    QImage image = Gradient(800, 500, QColor(30, 70, 110), QColor(12, 30, 50));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    DrawLedgerLines(p, image.rect(), QColor(255, 255, 255, 14), 28);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 26));
    p.drawRoundedRect(QRect(250, 150, 300, 180), 16, 16);
    QFont title(CjkFamily);
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 70, 800, 50), Qt::AlignCenter, "库存与财务管理系统");
    return image;
}

QImage LoginButton()
{
    QImage image(182, 62, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 62);
    g.setColorAt(0, QColor(70, 170, 120));
    g.setColorAt(1, QColor(30, 110, 80));
    p.setPen(QPen(QColor(20, 80, 60), 2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2, 2, 178, 58), 14, 14);
    return image;
}

QImage Calendar()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 80, 110), 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(3, 5, 26, 24), 3, 3);
    p.fillRect(QRectF(4, 6, 24, 7), QColor(200, 60, 50));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 80, 110));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawRect(QRectF(7 + col * 5.5, 15 + row * 4.5, 3, 3));
    return image;
}

// The arrow of the list cells' drop-down button.
QImage DropArrow()
{
    QImage image(12, 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 80, 110));
    p.drawPolygon(QPolygonF({QPointF(1, 1.5), QPointF(11, 1.5), QPointF(6, 7)}));
    return image;
}

QImage Paper(int size, const QColor& base, int grain)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(base);
    // A fixed pseudo-random grain keeps the output identical from build to build.
    quint32 state = 12345;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            state = state * 1103515245u + 12345u;
            const int d = int((state >> 16) % (2 * grain + 1)) - grain;
            image.setPixelColor(x, y,
                                QColor(qBound(0, base.red() + d, 255),
                                       qBound(0, base.green() + d, 255),
                                       qBound(0, base.blue() + d, 255)));
        }
    }
    return image;
}

// The desktop icon: the window icon's tile with its glyph as an outline, so that every PNG size
// and the SVG show the same picture without needing a font.
struct DesktopIcon {
    TileShape tile{Tiles().first().color};
    QPainterPath glyph;

    DesktopIcon()
    {
        QFont font(CjkFamily);
        font.setPixelSize(36);
        font.setBold(true);
        // Glyph outlines overlap where strokes cross; only the winding rule fills them whole.
        glyph.setFillRule(Qt::WindingFill);
        glyph.addText(0, 0, font, Tiles().first().glyph);
        glyph.translate(TileShape::Body.center() - glyph.boundingRect().center());
    }

    QImage Draw(int size) const
    {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(double(size) / TileShape::Grid, double(size) / TileShape::Grid);
        tile.Paint(p);
        p.setBrush(Qt::white);
        p.drawPath(glyph);
        return image;
    }

    QString Svg() const
    {
        const auto n = [](double v) { return QString::number(v, 'f', 2); };
        const auto rect = [&](const QRectF& r, double corner) {
            return QStringLiteral("x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\"")
                .arg(n(r.x()), n(r.y()), n(r.width()), n(r.height()), n(corner));
        };
        QString path;
        for (int i = 0; i < glyph.elementCount(); ++i) {
            const QPainterPath::Element e = glyph.elementAt(i);
            // A curve's two control points follow it as elements of their own.
            if (e.isMoveTo())
                path += QStringLiteral("M");
            else if (e.isLineTo())
                path += QStringLiteral("L");
            else if (e.isCurveTo())
                path += QStringLiteral("C");
            path += n(e.x) + " " + n(e.y) + " ";
        }
        return QStringLiteral(
                   "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                   "viewBox=\"0 0 %1 %1\">\n"
                   "  <defs>\n"
                   "    <linearGradient id=\"fill\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"%1\" "
                   "gradientUnits=\"userSpaceOnUse\">\n"
                   "      <stop offset=\"0\" stop-color=\"%2\"/>\n"
                   "      <stop offset=\"1\" stop-color=\"%3\"/>\n"
                   "    </linearGradient>\n"
                   "  </defs>\n"
                   "  <rect %4 fill=\"url(#fill)\" stroke=\"%5\" stroke-width=\"%6\"/>\n"
                   "  <rect %7 fill=\"#ffffff\" fill-opacity=\"%8\"/>\n"
                   "  <path d=\"%9\" fill=\"#ffffff\" fill-rule=\"nonzero\"/>\n"
                   "</svg>\n")
            .arg(QString::number(TileShape::Grid), tile.top.name(), tile.bottom.name(),
                 rect(TileShape::Body, TileShape::BodyCorner), tile.edge.name(),
                 n(TileShape::EdgeWidth), rect(TileShape::Shine, TileShape::ShineCorner),
                 n(TileShape::ShineColor.alphaF()), path.trimmed());
    }
};

bool WriteDesktopIcon(const QString& folder, const QString& name)
{
    const DesktopIcon icon;
    bool ok = true;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString file =
            QStringLiteral("%1/hicolor/%2x%2/apps/%3.png").arg(folder).arg(size).arg(name);
        QDir().mkpath(QFileInfo(file).absolutePath());
        ok = icon.Draw(size).save(file) && ok;
    }
    const QString svgFile = QStringLiteral("%1/hicolor/scalable/apps/%2.svg").arg(folder, name);
    QDir().mkpath(QFileInfo(svgFile).absolutePath());
    QFile svg(svgFile);
    ok = svg.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
         svg.write(icon.Svg().toUtf8()) >= 0 && ok;
    if (!ok)
        std::fprintf(stderr, "cannot write the desktop icon below %s\n", qPrintable(folder));
    return ok;
}

bool Save(const QString& folder, const QString& path, const QImage& image, QStringList& written)
{
    const QString file = folder + "/" + path;
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (!image.save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    written << path;
    return true;
}

bool WriteQrc(const QString& folder, const QStringList& files, const QString& styleSheet)
{
    QFile qrc(folder + "/ledger_art.qrc");
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&qrc);
    out << "<RCC>\n";
    for (const QString prefix : {"icons", "backg"}) {
        out << "  <qresource prefix=\"/" << prefix << "\">\n";
        for (const QString& file : files) {
            if (file.startsWith(prefix + "/"))
                out << "    <file alias=\"" << file << "\">" << folder << "/" << file
                    << "</file>\n";
        }
        out << "  </qresource>\n";
    }
    out << "  <qresource prefix=\"/qss\">\n    <file alias=\"qss/styleSheet.qss\">"
        << QFileInfo(styleSheet).absoluteFilePath() << "</file>\n  </qresource>\n";
    out << "</RCC>\n";
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: ledger_artwork <output folder> <style sheet> <desktop icon name>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QStringList written;
    bool ok = true;
    for (const Tile& tile : Tiles())
        ok = Save(folder, tile.path, DrawTile(tile), written) && ok;
    ok = Save(folder, "icons/column.png", ColumnMark(), written) && ok;
    ok = Save(folder, "backg/1_backg.png", Splash(), written) && ok;
    ok = Save(folder, "backg/1_loginbk.png", LoginBackground(), written) && ok;
    ok = Save(folder, "backg/3_login.png", LoginButton(), written) && ok;
    ok = Save(folder, "backg/calendar.png", Calendar(), written) && ok;
    ok = Save(folder, "backg/arrow_down.png", DropArrow(), written) && ok;
    ok = Save(folder, "backg/dlg_bk20.jpg", Paper(128, QColor(244, 241, 232), 4), written) && ok;
    ok = Save(folder, "backg/offwhite.jpg", Paper(64, QColor(250, 248, 242), 3), written) && ok;
    ok = WriteDesktopIcon(folder, QString::fromLocal8Bit(argv[3])) && ok;
    if (!ok || !WriteQrc(folder, written, QString::fromLocal8Bit(argv[2])))
        return 1;
    return 0;
}
