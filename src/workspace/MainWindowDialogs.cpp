// The main window's small dialogs: the store chooser of the goods pages and of the query
// dialog's store field, the cell-text viewer, the help dialog and the about box.

#include "MainWindow.h"

#include "DialogHelp.h"
#include "DialogShowText.h"
#include "DialogStoreSet.h"
#include "Prompt.h"
#include "ui_MainWindow.h"

#include <QStandardItemModel>
#include <QTableView>

namespace
{

const QString AboutIcon = QStringLiteral(":/icons/icons/1_green.png");
const QSize TextDialogSize(300, 200);
const QPoint TextDialogOffset(280, 50);

} // namespace

void MainWindow::ConnectDialogs()
{
    connect(ui->action_help, &QAction::triggered, this, &MainWindow::ActionHelp);
    for (int kind = 0; kind < PageDefinitions::GoodsKinds; ++kind) {
        ProductModel* model = pages->Goods(kind);
        connect(pages->Table(model->Definition()), &QTableView::clicked, this,
                [this, model](const QModelIndex& index) {
                    CellChoseProcess(model, index.row(), index.column());
                });
    }
    for (QTableView* table : pages->Tables()) {
        connect(table, &QTableView::doubleClicked, this,
                [this, table](const QModelIndex& index) { TabCellShowText(table, index); });
    }
}

void MainWindow::CellChoseProcess(QAbstractItemModel* model, int row, int column)
{
    // The chooser writes the cell: it does not open on a page the user may only look at.
    const auto* ledger = qobject_cast<const LedgerModel*>(model);
    if (column != PageDefinitions::StoreColumn || !ledger || ledger->IsReadOnly())
        return;
    if (!storeDialog) {
        storeDialog = std::make_unique<DialogStoreSet>();
        storeDialog->Reload();
    }
    storeDialog->SetTarget(model, row, column);
    storeDialog->setWindowFlags(Qt::WindowStaysOnTopHint);
    storeDialog->show();
}

std::optional<QString> MainWindow::ChooseStore(const QString& current)
{
    if (!storeDialog) {
        storeDialog = std::make_unique<DialogStoreSet>();
        storeDialog->Reload();
    }
    // The chooser writes into a cell; this one holds the store field's text.
    QStandardItemModel field(1, 1);
    field.setItem(0, 0, new QStandardItem(current));
    storeDialog->SetTarget(&field, 0, 0);
    const bool chosen = storeDialog->exec() == QDialog::Accepted;
    storeDialog->SetTarget(nullptr, 0, 0);
    return chosen ? std::optional<QString>(field.item(0, 0)->text()) : std::nullopt;
}

void MainWindow::ReloadStoreDialog()
{
    if (storeDialog)
        storeDialog->Reload();
}

void MainWindow::TabCellShowText(QTableView* table, const QModelIndex& index)
{
    // Editable cells open their editor on a double click; the store cell opens its chooser.
    if ((index.flags() & Qt::ItemIsEditable) || IsStoreCell(table, index))
        return;
    ShowTextDialog(true);
    textDialog->SetText(index.data().toString());
    const QRect area = table->geometry();
    textDialog->setGeometry(
        QRect(QPoint(area.width(), area.height()) - TextDialogOffset, TextDialogSize));
}

bool MainWindow::IsStoreCell(QTableView* table, const QModelIndex& index) const
{
    if (index.column() != PageDefinitions::StoreColumn)
        return false;
    // On a page the user may only look at, the store cell shows its text like any fixed cell.
    const PageDefinition* page = PageDefinitions::ByTable(table->objectName());
    const auto* model = qobject_cast<const LedgerModel*>(table->model());
    return page && page->family == PageFamily::Goods && page->role == PageRole::Ledger && model &&
           !model->IsReadOnly();
}

void MainWindow::ShowTextDialog(bool show)
{
    if (!textDialog)
        textDialog = new DialogShowText(this);
    textDialog->setVisible(show);
}

void MainWindow::ActionHelp()
{
    DialogHelp help;
    help.exec();
}

void MainWindow::ShowAboutBox()
{
    PromptBox box;
    box.title = tr("关于软件 V1.0...");
    box.text = tr("软件 V1.0\n\n本软件版权归其开发者所有，保留一切权利。\n");
    box.iconPath = AboutIcon;
    Prompt::Current().Ask(this, box);
}
