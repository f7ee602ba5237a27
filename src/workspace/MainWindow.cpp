// The window's build and wiring: the flows made once, the window's buttons and menu entries
// wired to the slots, and each slot handing over to its flow.

#include "MainWindow.h"

#include "AnalysisFlow.h"
#include "ChainConfig.h"
#include "ChainSummaryFlow.h"
#include "ChartFlow.h"
#include "DangerPrompt.h"
#include "DatabaseEngine.h"
#include "DialogQuery.h"
#include "EditingFlow.h"
#include "HistoryFlow.h"
#include "ItemPicker.h"
#include "JobLauncher.h"
#include "LedgerExchange.h"
#include "ListFlow.h"
#include "PrintFlow.h"
#include "ProgramRestart.h"
#include "Prompt.h"
#include "RestoreFlow.h"
#include "ToolBarFit.h"
#include "ui_MainWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), ui(new Ui::MainWindow) {}

MainWindow::~MainWindow() = default;

void MainWindow::SetUser(const UserRecord& signedIn)
{
    user = signedIn;
}

void MainWindow::SetJobLauncher(JobLauncher* launcher)
{
    jobs = launcher;
}

void MainWindow::InitMainWindow()
{
    ui->setupUi(this);
    new ToolBarFit(ui->toolBar);
    setWindowTitle(QStringLiteral("库存与财务管理系统-Marenvik"));
    BuildPages();
    ApplyUserType();
    WaitOneSecond();
    InitWorkspace();
    InitTable();
    ConnectSignals();
    ConnectDialogs();
    BuildFlows();
    ConnectFlows();
    LoadAllPages();
    // Like the page load, a job of the running program only.
    if (jobs)
        analysis->CheckLowStock();
}

void MainWindow::BuildFlows()
{
    editing = new EditingFlow(*this, *pages, *status);
    queries = new QueryFlow(*this,
                            {[this] { return StartQueryJob(); },
                             [this](const QString& current) { return ChooseStore(current); }},
                            *pages, *status, user.user_type);
    printing = std::make_unique<PrintFlow>(*this, *pages, *status);
    charts = new ChartFlow(*this, *pages);
    const ChainConfig chain = ChainConfig::Read();
    if (ChainSummaryFlow::Offered(user.user_type, chain))
        chainSummary = new ChainSummaryFlow(*this, *status, chain);
    exchange = new LedgerExchange(*this, *pages, *status);
    backups = new BackupFlow(*this, {[this] { jobs->Start(this, JobLauncher::BackupDatabase); }},
                             *status, *ui->action_datasave);
    restores = new RestoreFlow(*this, *status);
    listDialogs = new ListFlow(*this, user.user_type);
    analysis = new AnalysisFlow(*this, *status, user.user_type);
    if (HistoryFlow::Offered(user.user_type))
        history = new HistoryFlow(*this);
}

void MainWindow::ConnectFlows()
{
    for (const PageDefinition& d : PageDefinitions::All()) {
        for (const PageButton& b : d.buttons)
            ConnectPageButton(d, b.name);
        connect(pages->Button(d, d.totalButton), &QPushButton::clicked, this,
                &MainWindow::TotalProcess);
    }
    connect(queries->Dialog(), &DialogQuery::sendQueryCmd, this, &MainWindow::QueryProcess);
    connect(editing, &EditingFlow::Clearing, queries, &QueryFlow::DropRunning);
    connect(restores, &RestoreFlow::Restored, this, &MainWindow::ReloadAllPages);
    connect(listDialogs, &ListFlow::ListsChanged, this, &MainWindow::UpDateInfo);
    if (history)
        connect(history, &HistoryFlow::Recovered, this, &MainWindow::ReloadAllPages);
    ConnectMenus();
}

void MainWindow::ConnectPageButton(const PageDefinition& page, const QString& button)
{
    QPushButton* b = pages->Button(page, button);
    const bool ledger = page.role == PageRole::Ledger;
    switch (PageDefinitions::RoleOfButton(button)) {
    case ButtonRole::Add:
        if (ledger)
            connect(b, &QPushButton::clicked, this, &MainWindow::ActionAdd);
        break;
    case ButtonRole::Delete:
        if (ledger)
            connect(b, &QPushButton::clicked, this, &MainWindow::ActionDelete);
        break;
    case ButtonRole::Clear:
        if (ledger)
            connect(b, &QPushButton::clicked, this, &MainWindow::ActionClear);
        break;
    case ButtonRole::Import:
        if (ledger)
            connect(b, &QPushButton::clicked, this, &MainWindow::InportProcess);
        break;
    case ButtonRole::Export:
        connect(b, &QPushButton::clicked, this, &MainWindow::ExportProcess);
        break;
    case ButtonRole::Print:
        connect(b, &QPushButton::clicked, this, &MainWindow::PrintActionProcess);
        break;
    case ButtonRole::Query:
        if (QueryRun::ForButton(button))
            connect(b, &QPushButton::clicked, this, &MainWindow::ActionQuery);
        break;
    case ButtonRole::Other:
        break;
    }
}

// A menu entry the form does not hold, made for the flows that offer it.
void MainWindow::AddMenuAction(QMenu* menu, const QIcon& icon, const QString& name,
                               const QString& text, void (MainWindow::*slot)())
{
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setIcon(icon);
    menu->addAction(action);
    connect(action, &QAction::triggered, this, slot);
}

void MainWindow::ConnectMenus()
{
    // Charts of the shop's own figures are for the roles that see its amounts.
    ui->action_graph->setVisible(user.user_type == 1 || user.user_type == 2);
    connect(ui->action_graph, &QAction::triggered, this, &MainWindow::ShowTotalResult);
    for (const auto& [name, text] : ChartFlow::SalesActions())
        AddMenuAction(ui->menu_salestotal, ui->action_saletotal->icon(), name, text,
                      &MainWindow::ShowSalesChart);
    if (chainSummary)
        AddMenuAction(ui->menu_salestotal, ui->action_saletotal->icon(),
                      QStringLiteral("action_chainsummary"), QStringLiteral("门店汇总"),
                      &MainWindow::ShowChainSummary);
    for (QAction* a : {ui->action_infotodb, ui->action_editstore})
        connect(a, &QAction::triggered, this, &MainWindow::ShowDbInfoDlg);
    for (QAction* a : {ui->action_users, ui->action_employee, ui->action_client, ui->action_distri,
                       ui->action_supplier, ui->action_ref})
        connect(a, &QAction::triggered, this, &MainWindow::ShowPersonInfoDlg);
    connect(ui->action_datasave, &QAction::triggered, this, &MainWindow::SaveDbDate);
    connect(ui->action_datarestore, &QAction::triggered, this, &MainWindow::RestoreDbDate);
    if (history)
        AddMenuAction(ui->menu_datamge, ui->action_datasave->icon(),
                      QStringLiteral("action_history"), QStringLiteral("操作记录"),
                      &MainWindow::ShowChangeHistory);
    connect(ui->action_lowstock, &QAction::triggered, this, &MainWindow::ShowLowStock);
    connect(ui->action_reorder, &QAction::triggered, this, &MainWindow::SetReorderLevels);
    connect(ui->action_ageing, &QAction::triggered, this, &MainWindow::ShowAgeing);
    connect(ui->action_margin, &QAction::triggered, this, &MainWindow::ShowMargins);
}

QString MainWindow::SenderName() const
{
    return sender() ? sender()->objectName() : QString();
}

ItemPicker* MainWindow::Picker() const
{
    return editing->Picker();
}

bool MainWindow::ConfirmDanger(const QString& detail)
{
    return DangerPrompt::Confirm(this, detail);
}

void MainWindow::ActionAdd()
{
    editing->Add(SenderName());
}

void MainWindow::ActionDelete()
{
    editing->Delete(SenderName());
}

void MainWindow::ActionClear()
{
    editing->Clear(SenderName());
}

void MainWindow::TotalProcess()
{
    if (const PageDefinition* page = editing->Total(SenderName()))
        charts->NoteTotalled(*page);
}

DialogQuery* MainWindow::QueryDialog() const
{
    return queries->Dialog();
}

const QueryRequest& MainWindow::PendingQuery() const
{
    return queries->Pending();
}

bool MainWindow::StartQueryJob()
{
    if (!jobs)
        return false;
    jobs->Start(this, JobLauncher::RunQuery);
    return true;
}

void MainWindow::ActionQuery()
{
    queries->Open(SenderName());
}

void MainWindow::QueryProcess()
{
    queries->Start();
}

void MainWindow::ShowQueryResultData(const QueryResult& result)
{
    queries->Show(result);
}

void MainWindow::PrintActionProcess()
{
    printing->Print(SenderName());
}

DialogShowGraph* MainWindow::ShowGraphDialog(bool show)
{
    return charts->ShowDialog(show);
}

void MainWindow::ShowTotalResult()
{
    charts->ShowTotals();
}

void MainWindow::ShowSalesChart()
{
    charts->ShowSales(SenderName());
}

void MainWindow::ShowChainSummary()
{
    chainSummary->Open();
}

void MainWindow::ShowChangeHistory()
{
    history->Open();
}

void MainWindow::ExportProcess()
{
    if (const PageDefinition* page = PageDefinitions::ByButton(SenderName()))
        exchange->Export(*page);
}

void MainWindow::ShowLowStock()
{
    analysis->ShowLowStock();
}

void MainWindow::SetReorderLevels()
{
    analysis->EditLevels();
}

void MainWindow::ShowAgeing()
{
    analysis->ShowAgeing();
}

void MainWindow::ShowMargins()
{
    analysis->ShowMargins();
}

void MainWindow::InportProcess()
{
    const PageDefinition* page = PageDefinitions::ByButton(SenderName());
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

void MainWindow::SaveDbDate()
{
    if (jobs)
        backups->Start();
}

void MainWindow::RestoreDbDate()
{
    restores->Run();
}

void MainWindow::ReloadAllPages()
{
    // Rows shown from before would be saved back over the restored ones when edited, and so
    // would those a query still running read before.
    queries->DropRunning();
    pages->EmptyLedgers();
    UpDateInfo();
    LoadAllPages();
}

DialogInfoToDb* MainWindow::ShowInfoDialog(bool show)
{
    return listDialogs->ShowInfoDialog(show);
}

DialogUserMge* MainWindow::ShowPersonDialog(bool show)
{
    return listDialogs->ShowPersonDialog(show);
}

void MainWindow::ShowDbInfoDlg()
{
    listDialogs->OpenInfo(sender() == ui->action_editstore);
}

void MainWindow::ShowPersonInfoDlg()
{
    queries->Hide();
    ui->stackedWidget->show();
    ui->stackedWidget_2->hide();
    ui->stackedWidget_3->hide();
    listDialogs->OpenPersons(SenderName());
}

void MainWindow::UpDateInfo()
{
    // The ledger's list cells read their entries from here when they open.
    pages->Lists().Load(*DatabaseEngine::Instance());
    ReloadStoreDialog();
    queries->RefillLists();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    PromptBox box;
    box.title = tr("退出");
    box.text = tr("确定要退出?");
    box.iconPath = QStringLiteral(":/icons/icons/exit.png");
    box.styleSheet =
        QStringLiteral("QPushButton{background-color:rgb(255, 0, 0); color:rgb(0, 0, 0);}");
    box.geometry = QRect(5, 120, 400, 300);
    box.buttons = QStringList{tr("直接退出"), tr("返回程序")};
    box.buttonWidth = 100;
    if (Prompt::Current().Ask(this, box) != 0) {
        if (restart)
            restart->Cancel();
        event->ignore();
        return;
    }
    // The exit backup of users who may change the data; the program ends only once its file is
    // written.
    if (backups && (user.user_type == 1 || user.user_type == 2)) {
        SaveDbDate();
        backups->WaitUntilDone();
    }
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    // Like the picker keys, F1 counts only while the picker offers entries.
    if (event->key() == Qt::Key_F1 && Picker()->List()->count() > 0) {
        ShowAboutBox();
        return;
    }
    if (!Picker()->HandleKey(event))
        QMainWindow::keyPressEvent(event);
}
