#include "DatabaseEngine.h"
#include "DialogInfoToDb.h"
#include "DialogUserMge.h"
#include "MainWindow.h"
#include "ui_MainWindow.h"

// The list dialogs: made on first use with the window as parent, then only shown and hidden.

void MainWindow::ConnectListDialogs()
{
    for (QAction* a : {ui->action_infotodb, ui->action_editstore})
        connect(a, &QAction::triggered, this, &MainWindow::ShowDbInfoDlg);
    for (QAction* a : {ui->action_users, ui->action_employee, ui->action_client, ui->action_distri,
                       ui->action_supplier, ui->action_ref})
        connect(a, &QAction::triggered, this, &MainWindow::ShowPersonInfoDlg);
}

DialogInfoToDb* MainWindow::ShowInfoDialog(bool show)
{
    if (!infoDialog) {
        infoDialog = new DialogInfoToDb(this);
        infoDialog->ApplyRights(user.user_type);
        connect(infoDialog, &ListDialog::sendRefresh, this, &MainWindow::UpDateInfo);
    }
    infoDialog->setVisible(show);
    return infoDialog;
}

DialogUserMge* MainWindow::ShowPersonDialog(bool show)
{
    if (!personDialog) {
        personDialog = new DialogUserMge(this);
        personDialog->ApplyRights(user.user_type);
        connect(personDialog, &ListDialog::sendRefresh, this, &MainWindow::UpDateInfo);
    }
    personDialog->setVisible(show);
    return personDialog;
}

void MainWindow::ShowDbInfoDlg()
{
    DialogInfoToDb* dialog = ShowInfoDialog(true);
    if (sender() == ui->action_editstore)
        dialog->ShowTab(DialogInfoToDb::WarehouseTab);
}

void MainWindow::ShowPersonInfoDlg()
{
    static const QHash<QString, int> tabs = {{"action_users", 0},    {"action_employee", 1},
                                             {"action_client", 2},   {"action_distri", 3},
                                             {"action_supplier", 4}, {"action_ref", 5}};
    HideQueryDialog();
    ui->stackedWidget->show();
    ui->stackedWidget_2->hide();
    ui->stackedWidget_3->hide();
    DialogUserMge* dialog = ShowPersonDialog(true);
    const QString name = sender() ? sender()->objectName() : QString();
    if (tabs.contains(name))
        dialog->ShowTab(tabs.value(name));
}

void MainWindow::UpDateInfo()
{
    // The ledger's list cells read their entries from here when they open.
    lists.Load(*DatabaseEngine::Instance());
    ReloadStoreDialog();
    RefillQueryLists();
}
