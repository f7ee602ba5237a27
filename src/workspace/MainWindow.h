#pragma once

#include "BackupFlow.h"
#include "DialogStoreSet.h"
#include "ImportReport.h"
#include "LedgerPages.h"
#include "QueryFlow.h"
#include "Records.h"
#include "StatusLine.h"

#include <QMainWindow>
#include <memory>

class AnalysisFlow;
class ChainSummaryFlow;
class ChartFlow;
class DialogInfoToDb;
class DialogQuery;
class DialogShowGraph;
class DialogShowText;
class DialogUserMge;
class EditingFlow;
class HistoryFlow;
class ItemPicker;
class JobLauncher;
class LedgerExchange;
class ListFlow;
class PrintFlow;
class ProgramRestart;
class QComboBox;
class QIcon;
class QMenu;
class QTableView;
class RestoreFlow;

namespace Ui
{
class MainWindow;
}

// The ledger workspace: menus, tool bar, the three page stacks and the status line. The window
// builds the pages and the flows, wires its menus and the pages' buttons to its slots, and each
// slot hands over to its flow (MainWindow.cpp); the flows reach the window only through the
// interfaces they declare. Its frame, navigation and page load: MainWindowFrame.cpp; its small
// dialogs: MainWindowDialogs.cpp.
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
    bool IsFilling() const { return pages->IsFilling(); }
    ProductModel* GoodsModel(int kind) const { return pages->Goods(kind); }
    FinanceModel* MoneyModel(int kind) const { return pages->Money(kind); }
    QTableView* Table(const QString& table) const { return pages->Table(table); }
    const LedgerRecords& LoadedRecords() const { return records; }

    // The list dialogs, made on first use; shown or hidden as `show` says.
    DialogInfoToDb* ShowInfoDialog(bool show);
    DialogUserMge* ShowPersonDialog(bool show);
    // The chart dialog, made on first use; shown or hidden as `show` says.
    DialogShowGraph* ShowGraphDialog(bool show);
    // The "删除告警" question before deleting, clearing and restoring; true when confirmed.
    bool ConfirmDanger(const QString& detail = QString());
    ItemPicker* Picker() const;

    DialogQuery* QueryDialog() const;
    // The query the last QueryProcess started, as the query job takes it.
    const QueryRequest& PendingQuery() const;
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

    // Dialogs.
    // A click on the store cell (column 8) of a goods row opens the store chooser for that cell.
    void CellChoseProcess(QAbstractItemModel* model, int row, int column);
    // Lets the store chooser read the warehouse list again after the lists were edited.
    void ReloadStoreDialog();
    // Shows the whole text of a cell that cannot be edited in place.
    void TabCellShowText(QTableView* table, const QModelIndex& index);
    void ShowTextDialog(bool show);
    void ActionHelp();

    // Opens the query dialog for the page of the query button clicked.
    void ActionQuery();
    // Empties the target page and starts the query job with the dialog's criteria.
    void QueryProcess();
    // Shows a query job's result on its page, unless a later run for that page was started,
    // the run was cancelled, or the data changed under it after it started.
    void ShowQueryResultData(const QueryResult& result);

    // A print button: the picture of its page's table to PDF or printer, or the full report.
    void PrintActionProcess();
    // Charts the amounts per item of the page whose total button was pressed last.
    void ShowTotalResult();
    // The sales statistics page's rows per day, per salesperson or per distributor.
    void ShowSalesChart();
    // "门店汇总": the figures of the chain's shops, for a super user whose configuration names
    // a chain.
    void ShowChainSummary();
    // "操作记录": the store's change history, for a super user.
    void ShowChangeHistory();

    // The menu "经营分析".
    void ShowLowStock();
    void SetReorderLevels();
    void ShowAgeing();
    void ShowMargins();

    void InportProcess();
    void ExportProcess();
    void ShowImportProgress(int done, int total);
    // The end of an import into the page of that table.
    void ShowReadExcelData(const QString& table, const ImportReport& report);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The window's side of the flows' interfaces.
    bool StartQueryJob();
    std::optional<QString> ChooseStore(const QString& current);

    void BuildPages();
    void ApplyUserType();
    void WaitOneSecond();
    void InitWorkspace();
    void ConnectSignals();
    void FillModelList();
    void ConnectDialogs();
    void ShowAboutBox();
    bool IsStoreCell(QTableView* table, const QModelIndex& index) const;

    // The flows: made once, and the window's buttons and menu entries wired to the slots that
    // hand over to them.
    void BuildFlows();
    void ConnectFlows();
    void ConnectPageButton(const PageDefinition& page, const QString& button);
    void ConnectMenus();
    void AddMenuAction(QMenu* menu, const QIcon& icon, const QString& name, const QString& text,
                       void (MainWindow::*slot)());
    QString SenderName() const;

    std::unique_ptr<Ui::MainWindow> ui;
    UserRecord user;
    bool relationView = false;
    LedgerRecords records;
    LedgerPages* pages = nullptr;
    StatusLine* status = nullptr;
    // The page loads started and not yet shown, oldest first.
    QList<StatusLine::Job> pageLoads;
    QComboBox* comboModel = nullptr;
    JobLauncher* jobs = nullptr;
    // Without parent, so it stays a window of its own on top of the ledger.
    std::unique_ptr<DialogStoreSet> storeDialog;
    DialogShowText* textDialog = nullptr;
    ProgramRestart* restart = nullptr;

    EditingFlow* editing = nullptr;
    QueryFlow* queries = nullptr;
    std::unique_ptr<PrintFlow> printing;
    ChartFlow* charts = nullptr;
    ChainSummaryFlow* chainSummary = nullptr; // none unless the user is offered the summary
    LedgerExchange* exchange = nullptr;
    BackupFlow* backups = nullptr;
    RestoreFlow* restores = nullptr;
    ListFlow* listDialogs = nullptr;
    AnalysisFlow* analysis = nullptr;
    HistoryFlow* history = nullptr; // none unless the user may read the history
};
