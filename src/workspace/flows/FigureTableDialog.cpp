#include "FigureTableDialog.h"

#include "DialogShowGraph.h"
#include "ExcelEngine.h"
#include "FigureTableModel.h"
#include "PagePrint.h"
#include "Prompt.h"
#include "ReportPdf.h"
#include "WorkingFolders.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace
{

// Writes every cell the table shows, numbers without separators so the sheet takes them as
// numbers; empty when written, else why not.
QString WriteSheet(const QString& path, const FigureTableModel& model)
{
    const FigureTable& table = model.Table();
    ExcelEngine sheet(path);
    if (!sheet.Open(1, false))
        return sheet.LastError();
    for (int c = 0; c < table.columns.size(); ++c)
        sheet.SetCellData(1, c + 1, table.columns.at(c).header);
    int line = 2;
    auto write = [&](const FigureRow& row) {
        for (int c = 0; c < table.columns.size(); ++c)
            sheet.SetCellData(line, c + 1, FigureTables::PlainText(table, row, c));
        ++line;
    };
    for (int row : model.Order())
        write(table.rows.at(row));
    if (table.totals)
        write(*table.totals);
    if (!sheet.Close())
        return sheet.LastError();
    return QString();
}

} // namespace

FigureTableDialog::FigureTableDialog(QWidget* parent)
    : QDialog(parent), model(new FigureTableModel(this)), layout(new QVBoxLayout(this)),
      view(new QTableView(this)), chartControls(new QWidget(this)),
      chartColumn(new QComboBox(chartControls)), note(new QLabel(this))
{
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    note->setWordWrap(true);

    auto* chartLine = new QHBoxLayout(chartControls);
    chartLine->setContentsMargins(0, 0, 0, 0);
    chartLine->addWidget(new QLabel(tr("图表列:"), chartControls));
    chartLine->addWidget(chartColumn);
    auto* chartButton = new QPushButton(tr("柱状图"), chartControls);
    chartLine->addWidget(chartButton);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chartControls);
    auto* sheetButton = new QPushButton(tr("导出表格"), this);
    auto* pdfButton = new QPushButton(tr("输出完整报表(PDF)"), this);
    auto* closeButton = new QPushButton(tr("关闭"), this);
    buttons->addStretch();
    buttons->addWidget(sheetButton);
    buttons->addWidget(pdfButton);
    buttons->addWidget(closeButton);
    layout->addWidget(view, 1);
    layout->addWidget(note);
    layout->addLayout(buttons);

    connect(chartButton, &QPushButton::clicked, this,
            [this] { ShowChart(chartColumn->currentData().toInt()); });
    connect(sheetButton, &QPushButton::clicked, this, &FigureTableDialog::ExportSheet);
    connect(pdfButton, &QPushButton::clicked, this, &FigureTableDialog::WritePdf);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    resize(1000, 480);
}

FigureTableDialog::~FigureTableDialog() = default;

void FigureTableDialog::HideChart()
{
    chartControls->hide();
}

void FigureTableDialog::SetControls(QWidget* controls)
{
    controls->setParent(this);
    layout->insertWidget(0, controls);
}

void FigureTableDialog::SetTable(const FigureTable& table)
{
    model->SetTable(table);
    setWindowTitle(FigureTables::Caption(table));
    // The chosen chart column stays chosen when the figures are replaced.
    const int chosen =
        chartColumn->currentData().isValid() ? chartColumn->currentData().toInt() : -1;
    chartColumn->clear();
    for (int c = 0; c < table.columns.size(); ++c) {
        if (table.columns.at(c).kind != FigureColumn::Text)
            chartColumn->addItem(table.columns.at(c).header, c);
    }
    chartColumn->setCurrentIndex(std::max(0, chartColumn->findData(chosen)));
    FitColumns();
}

void FigureTableDialog::FitColumns()
{
    // As wide as the columns need, where the screen allows: no figure hides behind the scroll bar.
    const QMargins margins = layout->contentsMargins();
    const int wanted = view->horizontalHeader()->length() + 2 * view->frameWidth() +
                       view->verticalScrollBar()->sizeHint().width() + margins.left() +
                       margins.right();
    const int room = screen() ? screen()->availableGeometry().width() : wanted;
    if (wanted > width())
        resize(std::min(wanted, room), height());
}

const FigureTable& FigureTableDialog::Table() const
{
    return model->Table();
}

QTableView* FigureTableDialog::View() const
{
    return view;
}

void FigureTableDialog::SetNote(const QString& text)
{
    note->setText(text);
}

QString FigureTableDialog::Note() const
{
    return note->text();
}

QString FigureTableDialog::AskFile(const QString& caption, const QString& filter) const
{
    QString folder = WorkingFolders::Tables;
    WorkingFolders::EnsureDir(folder);
    return QDir::toNativeSeparators(Prompt::Current().AskFile(
        const_cast<FigureTableDialog*>(this), {FileQuestion::Save, caption, folder, filter}));
}

void FigureTableDialog::ExportSheet()
{
    QString path = AskFile(tr("导出表格"), QStringLiteral("*.xls;; *.xlsx;; "));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".xls");
    const QString failure = WriteSheet(path, *model);
    if (!failure.isEmpty()) {
        Fail(tr("导出失败"), tr("未能导出到 %1:\n%2").arg(path, failure));
        return;
    }
    SetNote(tr("已导出表格：%1").arg(path));
}

void FigureTableDialog::WritePdf()
{
    const QString chosen = AskFile(tr("导出PDF文件"), QStringLiteral("*.pdf"));
    if (chosen.isEmpty())
        return;
    const QString path = PagePrint::PdfName(chosen);
    if (!ReportPdf::Write(FigureTables::Report(model->Table(), model->Order()), path)) {
        Fail(tr("输出失败"),
             tr("无法写入PDF文件 %1，请检查文件夹是否存在、是否有写入权限，或文件是否正被其它"
                "程序打开。")
                 .arg(path));
        return;
    }
    SetNote(tr("已输出完整报表：%1").arg(path));
}

void FigureTableDialog::ShowChart(int column)
{
    const FigureTable& table = model->Table();
    if (column < 0 || column >= table.columns.size() ||
        table.columns.at(column).kind == FigureColumn::Text || table.rows.isEmpty()) {
        Fail(tr("图形显示"), tr("没有可以显示的数字。"));
        return;
    }
    if (!chart)
        chart = new DialogShowGraph(this);
    chart->show();
    chart->ShowFigures(FigureTables::Bar(table, column, model->Order()), DialogShowGraph::Bar);
}

void FigureTableDialog::Fail(const QString& title, const QString& text)
{
    PromptBox box;
    box.title = title;
    box.text = text;
    box.icon = QMessageBox::Warning;
    Prompt::Current().Ask(this, box);
}
