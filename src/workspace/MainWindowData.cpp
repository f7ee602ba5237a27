#include "BackupFlow.h"
#include "MainWindow.h"
#include "RestoreFlow.h"
#include "StatusProgress.h"
#include "ui_MainWindow.h"

// Backup and restore of the store's data from the data menu.

void MainWindow::InitDataActions()
{
    progress = std::make_unique<StatusProgress>(statusBar());
    backups = new BackupFlow(*this, *progress, *ui->action_datasave);
    restores = new RestoreFlow(*this, *progress);
    connect(ui->action_datasave, &QAction::triggered, this, &MainWindow::SaveDbDate);
    connect(ui->action_datarestore, &QAction::triggered, this, &MainWindow::RestoreDbDate);
}

void MainWindow::SaveDbDate()
{
    backups->Start(jobs);
}

void MainWindow::RestoreDbDate()
{
    restores->Run();
}

void MainWindow::ReloadAllPages()
{
    // Rows shown from before would be saved back over the restored ones when edited, and so
    // would those a query still running read before.
    DropRunningQueries();
    for (ProductModel* model : goodsModels)
        model->ShowRecords({});
    for (FinanceModel* model : moneyModels)
        model->ShowRecords({});
    UpDateInfo();
    LoadAllPages();
}
