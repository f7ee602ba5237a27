#pragma once

#include "DialogStoreSet.h"
#include "ImportReport.h"
#include "LedgerModel.h"
#include "LedgerRecords.h"
#include "ListSources.h"
#include "Prompt.h"
#include "QueryRun.h"
#include "Records.h"

#include <QHash>
#include <QMainWindow>
#include <QSet>
#include <array>
#include <memory>

class BackupFlow;
class ItemPicker;
class ProgramRestart;
class DialogInfoToDb;
class DialogUserMge;
class DialogShowGraph;
class DialogShowText;
class DialogQuery;
class JobLauncher;
class LedgerExchange;
class ListCellDelegate;
class QComboBox;
class QLabel;
class QProgressBar;
class QStackedWidget;
class QTableView;
class RestoreFlow;
class StatusProgress;

namespace Ui
{
class MainWindow;
}

// The ledger workspace: menus, tool bar, the three page stacks and the status line.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    void SetUser(const UserRecord& signedIn);
    const UserRecord& User() const { return user; }
    void SetJobLauncher(JobLauncher* launcher);

    // Builds the window once after the user was set, before it is shown.
    void InitMainWindow();
    // Starts the background load of today's records of every page.
    void LoadAllPages();
    void ShowStatusInfo(const QString& text);

    // Set while the program itself writes into the pages; edits then are not the user's.
    bool IsFilling() const { return filling; }
    ProductModel* GoodsModel(int kind) const;
    FinanceModel* MoneyModel(int kind) const;
    QTableView* Table(const QString& table) const;
    const LedgerRecords& LoadedRecords() const { return records; }

    // The list dialogs (MainWindowLists.cpp), made on first use; shown or hidden as `show` says.
    DialogInfoToDb* ShowInfoDialog(bool show);
    DialogUserMge* ShowPersonDialog(bool show);

    // The chart dialog, made on first use; shown or hidden as `show` says.
    DialogShowGraph* ShowGraphDialog(bool show);

    // Editing (MainWindowEditing.cpp): every change of a row is stored at once.
    // Writes the sums of the page whose total button has this name into its totals fields.
    void UpdatePageTotals(const QString& totalButton);
    // The "删除告警" question before deleting, clearing and restoring; true when confirmed.
    // `detail`, when given, says under the warning what exactly will go.
    bool ConfirmDanger(const QString& detail = QString());
    ItemPicker* Picker() const { return picker; }

    // Queries (MainWindowQuery.cpp).
    DialogQuery* QueryDialog() const { return queryDialog; }
    // The query the last QueryProcess started, as the query job takes it.
    const QueryRequest& PendingQuery() const { return pendingQuery; }

    // Backup and restore (MainWindowData.cpp).
    BackupFlow* Backups() const { return backups; }
    // Empties the ledger pages, reads the lists again and loads the pages anew.
    void ReloadAllPages();

public slots:
    void InitTable();
    void ShowTabData();
    void TakeLoadedRecords(const LedgerRecords& loaded);
    void ShowSelectPage();
    void ShowFinSelectPage();
    void ShowPage(bool showFlag);
    void ShowRelationWidget();
    void OpenCalculator();
    void RestartComputer();
    void EnableAction();
    void ShowDbInfoDlg();
    void ShowPersonInfoDlg();
    // Lets everything that offers list entries read the lists again.
    void UpDateInfo();
    void ActionAdd();
    void ActionDelete();
    void ActionClear();
    void TotalProcess();
    void SaveDbDate();
    void RestoreDbDate();

    // Dialogs (MainWindowDialogs.cpp).
    // A click on the store cell (column 8) of a goods row opens the store chooser for that cell.
    void CellChoseProcess(QAbstractItemModel* model, int row, int column);
    // Lets the store chooser read the warehouse list again after the lists were edited.
    void ReloadStoreDialog();
    // Shows the whole text of a cell that cannot be edited in place.
    void TabCellShowText(QTableView* table, const QModelIndex& index);
    void ShowTextDialog(bool show);
    void ActionHelp();

    // Queries (MainWindowQuery.cpp).
    // Opens the query dialog for the page of the query button clicked.
    void ActionQuery();
    // Empties the target page and starts the query job with the dialog's criteria.
    void QueryProcess();
    // Shows a query job's result on its page, unless a later run for that page was started or
    // the data changed under it (a clear or a reload) after it started.
    void ShowQueryResultData(const QueryResult& result);

    // Reports (MainWindowReports.cpp).
    // A print button: the picture of its page's table to PDF or printer, or the full report.
    void PrintActionProcess();
    // Charts the amounts per item of the page whose total button was pressed last.
    void ShowTotalResult();
    // The sales statistics page's rows per day, per salesperson or per distributor.
    void ShowSalesChart();

    // Import and export of the ledger pages (MainWindowExchange.cpp).
    void InportProcess();
    void ExportProcess();
    void ShowImportProgress(int done, int total);
    // The end of an import into the page of that table.
    void ShowReadExcelData(const QString& table, const ImportReport& report);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ApplyUserType();
    // Disables what the user's role may not change: buttons, and the cells of every ledger page.
    void ApplyRights();
    void WaitOneSecond();
    void InitWorkspace();
    void InitStatusBar();
    void BuildPages();
    void ConnectSignals();
    void FillModelList();
    void ConnectDialogs();
    void ShowAboutBox();
    bool IsStoreCell(QTableView* table, const QModelIndex& index) const;
    void ConnectListDialogs();
    void ConnectReports();
    // The lines below a printed report: the row count and the page's totals.
    QStringList TotalsLines(const PageDefinition& page) const;

    void InitExchange();

    // Queries (MainWindowQuery.cpp).
    void InitQuery();
    void RefillQueryLists();
    // Closes the query dialog when the pages change, so that its next run cannot fill a page
    // that is no longer shown.
    void HideQueryDialog();
    // The queries still running read data that a clear or a reload has since replaced: their
    // results are not shown.
    void DropRunningQueries();
    // The store chooser, run modally from the query dialog's store field; nothing when cancelled.
    std::optional<QString> ChooseStore(const QString& current);

    void InitDataActions();

    // Editing (MainWindowEditing.cpp).
    void InitEditing();
    void StoreEditedRow(const PageDefinition& page, int row);
    // Reports a refused save, delete or clear in the status line and in a box.
    void ReportRefused(const QString& title, const QString& what);
    // The status line at once, and the box to show.
    PromptBox Refusal(const QString& title, const QString& what);
    // Shows `box` once the cell edit under way has run to its end.
    void AskAfterEdit(const PromptBox& box);
    // The open editor of a list cell, null when it has none.
    QComboBox* ListEditor(const QModelIndex& cell) const;
    // The sums of the rows a page shows, as its totals fields show them.
    PageTotals::GoodsTotals TotalsOf(const PageDefinition& page) const;
    void WriteTotals(const PageDefinition& page, const PageTotals::GoodsTotals& totals);
    QTableView* PageTable(const PageDefinition& page) const;

    std::unique_ptr<Ui::MainWindow> ui;
    UserRecord user;
    bool filling = false;
    // The row whose last save was refused: typing on in it reports in the status line only.
    QString refusedSerial;
    bool relationView = false;
    LedgerRecords records;
    ListSources lists;
    std::array<ProductModel*, PageDefinitions::GoodsKinds> goodsModels{};
    std::array<FinanceModel*, PageDefinitions::MoneyKinds> moneyModels{};
    QHash<QString, QTableView*> tables;
    QComboBox* comboModel = nullptr;
    QLabel* statusLabel = nullptr;
    JobLauncher* jobs = nullptr;
    // Without parent, so it stays a window of its own on top of the ledger.
    std::unique_ptr<DialogStoreSet> storeDialog;
    DialogShowText* textDialog = nullptr;
    DialogShowGraph* graphDialog = nullptr;
    // The table of the page whose total button was pressed last.
    QString lastTotalled;
    DialogInfoToDb* infoDialog = nullptr;
    DialogUserMge* personDialog = nullptr;
    ListCellDelegate* listDelegate = nullptr;
    ItemPicker* picker = nullptr;
    ProgramRestart* restart = nullptr;

    DialogQuery* queryDialog = nullptr;
    QProgressBar* queryProgress = nullptr;
    QueryRequest pendingQuery;
    quint64 lastQueryRun = 0;
    // The latest run started for each page (group * 100 + page): only its result is shown.
    QHash<int, quint64> latestRunOfPage;
    QSet<quint64> runningQueries;

    LedgerExchange* exchange = nullptr;

    std::unique_ptr<StatusProgress> progress;
    BackupFlow* backups = nullptr;
    RestoreFlow* restores = nullptr;
};
