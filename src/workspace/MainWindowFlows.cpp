// The import and export buttons of the ledger pages.

#include "MainWindow.h"

#include "ImportReport.h"
#include "JobLauncher.h"
#include "LedgerExchange.h"

#include <QPushButton>
#include <QTableView>

void MainWindow::InitExchange()
{
    exchange = new LedgerExchange(*this);
    for (const PageDefinition& d : PageDefinitions::All()) {
        for (const PageButton& b : d.buttons) {
            auto* button = findChild<QPushButton*>(b.name);
            if (b.name.contains(QLatin1String("inport")) && d.role == PageRole::Ledger)
                connect(button, &QPushButton::clicked, this, &MainWindow::InportProcess);
            else if (b.name.contains(QLatin1String("export")))
                connect(button, &QPushButton::clicked, this, &MainWindow::ExportProcess);
        }
    }
}

void MainWindow::ExportProcess()
{
    const PageDefinition* page = PageDefinitions::ByButton(sender() ? sender()->objectName() : "");
    if (page)
        exchange->Export(*page, *Table(page->table)->model());
}

void MainWindow::InportProcess()
{
    const PageDefinition* page = PageDefinitions::ByButton(sender() ? sender()->objectName() : "");
    if (!page || page->role != PageRole::Ledger || !jobs)
        return;
    if (const std::optional<ImportRequest> request = exchange->AskImport(*page))
        jobs->StartImport(this, *request);
}

void MainWindow::ShowImportProgress(int done, int total)
{
    exchange->ShowImportProgress(done, total);
}

void MainWindow::ShowReadExcelData(const QString& table, const ImportReport& report)
{
    if (const PageDefinition* page = PageDefinitions::ByTable(table))
        exchange->ImportFinished(*page, report);
}
