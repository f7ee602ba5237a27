#include "MainWindow.h"

#include "BackupFlow.h"
#include "CellDelegates.h"
#include "DatabaseEngine.h"
#include "JobLauncher.h"
#include "LedgerPageBuilder.h"
#include "ProgramRestart.h"
#include "Prompt.h"
#include "StatusProgress.h"
#include "ToolBarFit.h"
#include "UserRoles.h"
#include "WorkingFolders.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDebug>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QThread>

namespace
{

const QStringList Calculators = {"gnome-calculator", "kcalc", "galculator", "xcalc"};

} // namespace

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
    InitEditing();
    InitQuery();
    ConnectReports();
    InitExchange();
    InitDataActions();
    LoadAllPages();
}

void MainWindow::BuildPages()
{
    listDelegate = new ListCellDelegate(this);
    auto* dateDelegate = new DateCellDelegate(this);
    for (const PageDefinition& d : PageDefinitions::All()) {
        LedgerModel* model = nullptr;
        if (d.family == PageFamily::Goods) {
            auto* goods = new ProductModel(d, lists, this);
            if (d.role == PageRole::Ledger)
                goodsModels[d.kind] = goods;
            model = goods;
        } else {
            auto* money = new FinanceModel(d, lists, this);
            if (d.role == PageRole::Ledger)
                moneyModels[d.kind] = money;
            model = money;
        }
        const auto* action = findChild<QAction*>(d.titleAction);
        QTableView* table = LedgerPageBuilder::Build(findChild<QWidget*>(d.page), d, model,
                                                     action ? action->icon() : QIcon(),
                                                     {listDelegate, dateDelegate});
        tables.insert(d.table, table);
    }
    comboModel = findChild<QComboBox*>(QStringLiteral("comboModel"));
}

void MainWindow::ApplyUserType()
{
    qDebug() << "userType:" << user.user_name << user.user_phoneno << user.user_type;
    const RoleView view = UserRoles::ViewFor(user.user_type);
    if (view.goodsStartPage)
        ui->stackedWidget->setCurrentIndex(*view.goodsStartPage);
    for (const QString& name : view.hiddenActions) {
        if (auto* action = findChild<QAction*>(name))
            action->setVisible(false);
    }
    for (const QString& name : view.hiddenMenus) {
        if (auto* menu = findChild<QMenu*>(name))
            menu->menuAction()->setVisible(false);
    }
    for (const QString& name : view.hiddenWidgets) {
        if (auto* widget = findChild<QWidget*>(name))
            widget->setVisible(false);
    }
    for (const QString& name : view.shownActions) {
        if (auto* action = findChild<QAction*>(name))
            action->setVisible(true);
    }
    ApplyRights();
}

void MainWindow::WaitOneSecond()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() <= 999) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}

void MainWindow::InitWorkspace()
{
    filling = true;
    relationView = false;
    for (QString folder : {WorkingFolders::Tables, WorkingFolders::Backups, WorkingFolders::Lists})
        WorkingFolders::EnsureDir(folder);
    InitStatusBar();
    records = LedgerRecords();
    comboModel->hide();
    lists.Load(*DatabaseEngine::Instance());
    FillModelList();
    ui->action_graph->setVisible(false);
    ui->stackedWidget->show();
    ui->stackedWidget_2->hide();
    ui->stackedWidget_3->hide();
}

void MainWindow::InitStatusBar()
{
    statusBar()->setAutoFillBackground(true);
    const QString text = tr("用户：%1").arg(user.user_name);
    statusBar()->showMessage(text);
    statusLabel = new QLabel(text, this);
    statusBar()->addPermanentWidget(statusLabel);
}

void MainWindow::ShowStatusInfo(const QString& text)
{
    const QDateTime now = QDateTime::currentDateTime();
    statusLabel->setText(
        QLocale::system().toString(now, QStringLiteral("yyyy-MM-dd hh:mm:ss ddd - ")) + text);
    statusBar()->showMessage(tr("用户：%1").arg(user.user_name));
}

void MainWindow::InitTable()
{
    for (QTableView* table : std::as_const(tables))
        LedgerPageBuilder::SetTableStyle(table);
}

void MainWindow::ConnectSignals()
{
    connect(ui->actionExit, &QAction::triggered, qApp, &QCoreApplication::quit);
    restart = new ProgramRestart(this);
    connect(ui->action_restart, &QAction::triggered, this, &MainWindow::RestartComputer);
    connect(ui->action_calc, &QAction::triggered, this, &MainWindow::OpenCalculator);
    for (QAction* a : {ui->action_purchase, ui->action_purBack, ui->action_saleout,
                       ui->action_saleback, ui->action_loss, ui->action_instore})
        connect(a, &QAction::triggered, this, &MainWindow::ShowSelectPage);
    for (QAction* a :
         {ui->action_income, ui->action_debt, ui->action_inother, ui->action_purpay,
          ui->action_salary, ui->action_utilites, ui->action_expother, ui->action_profit})
        connect(a, &QAction::triggered, this, &MainWindow::ShowFinSelectPage);
    for (QAction* a : {ui->action_showStore, ui->action_showSale, ui->action_showFin,
                       ui->action_saletotal, ui->action_graph})
        connect(a, &QAction::triggered, this, &MainWindow::ShowPage);
    for (const PageDefinition& d : PageDefinitions::All()) {
        auto* title = findChild<QPushButton*>(d.titleButton);
        if (!title)
            continue;
        if (d.family == PageFamily::Goods)
            connect(title, &QPushButton::clicked, this, &MainWindow::InitTable);
        else
            connect(title, &QPushButton::clicked, this, &MainWindow::ShowRelationWidget);
    }
    ConnectListDialogs();
}

void MainWindow::LoadAllPages()
{
    filling = false;
    if (jobs)
        jobs->Start(this, JobLauncher::LoadPages);
}

void MainWindow::TakeLoadedRecords(const LedgerRecords& loaded)
{
    records = loaded;
}

void MainWindow::ShowTabData()
{
    filling = true;
    for (int kind = 0; kind < PageDefinitions::GoodsKinds; ++kind) {
        if (!records.goods[kind].isEmpty())
            goodsModels[kind]->ShowRecords(records.goods[kind]);
        UpdatePageTotals(goodsModels[kind]->Definition().totalButton);
    }
    for (int kind = 0; kind < PageDefinitions::MoneyKinds; ++kind) {
        if (!records.money[kind].isEmpty())
            moneyModels[kind]->ShowRecords(records.money[kind]);
        UpdatePageTotals(moneyModels[kind]->Definition().totalButton);
    }
    filling = false;
}

ProductModel* MainWindow::GoodsModel(int kind) const
{
    return kind >= 0 && kind < PageDefinitions::GoodsKinds ? goodsModels[kind] : nullptr;
}

FinanceModel* MainWindow::MoneyModel(int kind) const
{
    return kind >= 0 && kind < PageDefinitions::MoneyKinds ? moneyModels[kind] : nullptr;
}

QTableView* MainWindow::Table(const QString& table) const
{
    return tables.value(table);
}

void MainWindow::FillModelList()
{
    comboModel->clear();
    comboModel->addItems(lists.MasterEntries(ListSources::Models));
    comboModel->addItem(tr("所有型号"));
}

void MainWindow::ShowSelectPage()
{
    static const QHash<QString, int> pages = {{"action_purchase", 0}, {"action_purBack", 1},
                                              {"action_saleout", 2},  {"action_saleback", 3},
                                              {"action_loss", 4},     {"action_instore", 5}};
    HideQueryDialog();
    ui->stackedWidget->show();
    ui->action_showStore->setCheckable(true);
    const QString name = sender() ? sender()->objectName() : QString();
    if (!pages.contains(name))
        return;
    ui->stackedWidget->setCurrentIndex(pages.value(name));
    if (name == QLatin1String("action_instore"))
        FillModelList();
}

void MainWindow::ShowFinSelectPage()
{
    static const QHash<QString, int> pages = {
        {"action_income", 0}, {"action_debt", 1},     {"action_inother", 2},  {"action_purpay", 3},
        {"action_salary", 4}, {"action_utilites", 5}, {"action_expother", 6}, {"action_profit", 7}};
    HideQueryDialog();
    ui->stackedWidget_3->show();
    ui->action_showFin->setCheckable(true);
    const QString name = sender() ? sender()->objectName() : QString();
    if (pages.contains(name))
        ui->stackedWidget_3->setCurrentIndex(pages.value(name));
}

void MainWindow::ShowPage(bool showFlag)
{
    HideQueryDialog();
    const QString name = sender() ? sender()->objectName() : QString();
    if (name == QLatin1String("action_showStore"))
        ui->stackedWidget->setVisible(showFlag);
    else if (name == QLatin1String("action_showSale"))
        ui->stackedWidget_2->setVisible(showFlag);
    else if (name == QLatin1String("action_showFin"))
        ui->stackedWidget_3->setVisible(showFlag);
    else if (name == QLatin1String("action_saletotal"))
        ui->stackedWidget_2->show();
}

void MainWindow::ShowRelationWidget()
{
    // Each money page has a goods page it is read against: receipts, receivables, salaries and
    // profit against sales, purchase payments against purchases, other expenses against losses.
    static const QHash<QString, int> related = {{"btn_fin_1", 2}, {"btn_fin_2", 2},
                                                {"btn_fin_5", 2}, {"btn_fin_8", 2},
                                                {"btn_fin_4", 0}, {"btn_fin_7", 4}};
    HideQueryDialog();
    relationView = !relationView;
    ui->stackedWidget->setVisible(relationView);
    ui->action_showStore->setCheckable(relationView);
    const QString name = sender() ? sender()->objectName() : QString();
    if (related.contains(name))
        ui->stackedWidget->setCurrentIndex(related.value(name));
}

void MainWindow::OpenCalculator()
{
    for (const QString& name : Calculators) {
        const QString program = QStandardPaths::findExecutable(name);
        if (!program.isEmpty()) {
            QProcess::startDetached(program, {});
            return;
        }
    }
}

void MainWindow::RestartComputer()
{
    restart->Request();
}

void MainWindow::EnableAction()
{
    ui->action_datasave->setEnabled(true);
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
