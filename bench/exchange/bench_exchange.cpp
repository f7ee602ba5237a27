// Writes and reads 20 000 ledger-like rows of 19 columns as .xls and as .xlsx, and times the
// independent readers (python3-xlrd, python3-openpyxl) on the same files in the same run. Then
// reads 50 000 such rows of an .xls written by another program (python3-xlwt) against
// python3-xlrd, and writes 20 000 rows into an existing .xls of another program.
#include "ExcelEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <cstdio>

namespace
{

constexpr int Rows = 20000;
constexpr int ForeignRows = 50000;
constexpr int Columns = 19;
const QString Python = QStringLiteral("/usr/bin/python3");

void Fill(QStandardItemModel& model)
{
    const QStringList names = {"苹果", "梨", "香蕉", "Widget", "螺丝 M8"};
    QStringList headers;
    for (int c = 0; c < Columns; ++c)
        headers << QStringLiteral("列%1").arg(c);
    model.setHorizontalHeaderLabels(headers);
    for (int r = 0; r < Rows; ++r) {
        model.setItem(r, 0,
                      new QStandardItem(QStringLiteral("2024-03-01 10:%1:00:000").arg(r % 60)));
        for (int c = 1; c < Columns; ++c) {
            const QString text =
                c % 3 == 0 ? QString::number(r * 1.5 + c)
                : c == 7   ? QStringLiteral("2024-03-%1").arg(1 + r % 28, 2, 10, QChar('0'))
                           : names[(r + c) % names.size()] + QString::number(r % 97);
            model.setItem(r, c, new QStandardItem(text));
        }
    }
}

double Seconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e9;
}

// Seconds the peer reader needs to read every cell, -1 when it is not installed.
double PeerSeconds(const QString& module, const QString& path)
{
    const QString script =
        module == QLatin1String("xlrd")
            ? QStringLiteral(
                  "import sys,xlrd\nb=xlrd.open_workbook(sys.argv[1])\ns=b.sheet_by_index(0)\n"
                  "n=sum(len(str(s.cell_value(r,c))) for r in range(s.nrows) for c in "
                  "range(s.ncols))")
            : QStringLiteral(
                  "import sys,openpyxl\nb=openpyxl.load_workbook(sys.argv[1],read_only=True)\n"
                  "n=sum(len(str(v)) for row in b.worksheets[0].iter_rows(values_only=True) for v "
                  "in row)");
    QProcess python;
    QElapsedTimer timer;
    timer.start();
    python.start(Python, {QStringLiteral("-c"), script, path});
    if (!python.waitForFinished(600000) || python.exitCode() != 0)
        return -1;
    return Seconds(timer);
}

// A ledger-like sheet of `rows` data rows under a header row, written by python3-xlwt.
bool WriteForeign(const QString& path, int rows)
{
    const QString script =
        QStringLiteral("import sys,xlwt\n"
                       "b=xlwt.Workbook(encoding='utf-8')\ns=b.add_sheet('data')\n"
                       "names=['苹果','梨','香蕉','Widget','螺丝 M8']\n"
                       "for c in range(19): s.write(0,c,'列%d'%c)\n"
                       "for r in range(int(sys.argv[2])):\n"
                       "  row=s.row(r+1)\n"
                       "  for c in range(19):\n"
                       "    if c%3==0: row.write(c,r*1.5+c)\n"
                       "    elif c==7: row.write(c,'2024-03-%02d'%(1+r%28))\n"
                       "    else: row.write(c,names[(r+c)%5]+str(r%97))\n"
                       "  if r%1000==0: s.flush_row_data()\n"
                       "b.save(sys.argv[1])\n");
    QProcess python;
    python.start(Python, {QStringLiteral("-c"), script, path, QString::number(rows)});
    return python.waitForFinished(600000) && python.exitCode() == 0;
}

// Our write then read of the file; the read covers Open and ReadSheetToList.
bool Measure(const QString& path, const QStandardItemModel& model, double& write, double& read)
{
    QElapsedTimer timer;
    timer.start();
    {
        ExcelEngine engine(path);
        if (!engine.Open() || !engine.WriteTableToSheet(&model)) {
            std::printf("write failed: %s\n", qPrintable(engine.LastError()));
            return false;
        }
    }
    write = Seconds(timer);
    timer.restart();
    ExcelEngine engine(path);
    QStringList list;
    if (!engine.Open() || !engine.ReadSheetToList(list) || list.size() != Rows) {
        std::printf("read failed: %s\n", qPrintable(engine.LastError()));
        return false;
    }
    read = Seconds(timer);
    return true;
}

void Report(const char* format, const char* peer, double write, double read, double peerRead)
{
    std::printf("%s: write %.3f s (%.0f rows/s), read %.3f s (%.0f rows/s)", format, write,
                Rows / write, read, Rows / read);
    if (peerRead < 0)
        std::printf(", %s not available\n", peer);
    else
        std::printf(", %s read %.3f s: ours %.1fx faster\n", peer, peerRead, peerRead / read);
}

} // namespace

// Our read of a file written by another program, against python3-xlrd on the same file.
void ReadForeign(const QString& path)
{
    if (!WriteForeign(path, ForeignRows)) {
        std::printf(".xls of another program: python3-xlwt not available\n");
        return;
    }
    QElapsedTimer timer;
    timer.start();
    ExcelEngine engine(path);
    QStringList list;
    if (!engine.Open() || !engine.ReadSheetToList(list) || list.size() != ForeignRows) {
        std::printf("read failed: %s\n", qPrintable(engine.LastError()));
        return;
    }
    const double read = Seconds(timer);
    const double peer = PeerSeconds("xlrd", path);
    std::printf(".xls of python3-xlwt, %d rows x %d columns: read %.3f s (%.0f rows/s)",
                ForeignRows, Columns, read, ForeignRows / read);
    if (peer < 0)
        std::printf(", python3-xlrd not available\n");
    else
        std::printf(", python3-xlrd %.3f s: ours %.1fx faster (goal 5x)\n", peer, peer / read);
}

// Writing the rows into an existing workbook of another program: every record is kept.
void WriteIntoForeign(const QString& path, const QStandardItemModel& model)
{
    if (!WriteForeign(path, Rows)) {
        std::printf(".xls of another program: python3-xlwt not available\n");
        return;
    }
    QElapsedTimer timer;
    timer.start();
    ExcelEngine engine(path);
    if (!engine.Open() || !engine.WriteTableToSheet(&model) || !engine.Close()) {
        std::printf("write failed: %s\n", qPrintable(engine.LastError()));
        return;
    }
    std::printf("write %d rows into an existing .xls of python3-xlwt: %.3f s (goal under 1 s)\n",
                Rows, Seconds(timer));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QStandardItemModel model(Rows, Columns);
    Fill(model);
    std::printf("%d rows x %d columns of ledger-like text\n", Rows, Columns);

    double write = 0, read = 0;
    const QString xls = dir.filePath("bench.xls");
    if (!Measure(xls, model, write, read))
        return 1;
    Report(".xls (new)", "python3-xlrd", write, read, PeerSeconds("xlrd", xls));
    ReadForeign(dir.filePath("foreign.xls"));
    WriteIntoForeign(dir.filePath("foreign_existing.xls"), model);

    // An .xlsx is only ever written into: start from an existing one made by openpyxl.
    const QString xlsx = dir.filePath("bench.xlsx");
    QProcess python;
    python.start(Python,
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys,openpyxl\nb=openpyxl.Workbook()\nb.active['A1']='x'\n"
                                 "b.save(sys.argv[1])"),
                  xlsx});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        std::printf(".xlsx: python3-openpyxl not available to make the starting workbook\n");
        return 0;
    }
    if (!Measure(xlsx, model, write, read))
        return 1;
    Report(".xlsx (into existing)", "python3-openpyxl", write, read, PeerSeconds("openpyxl", xlsx));
    return 0;
}
