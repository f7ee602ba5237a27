// The window's frame: its pages, the user's role, the status line, the page load, page
// navigation and the system actions.

#include "MainWindow.h"

#include "DatabaseEngine.h"
#include "JobLauncher.h"
#include "LedgerPageBuilder.h"
#include "ProgramRestart.h"
#include "UserRoles.h"
#include "WorkingFolders.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDebug>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QThread>

namespace
{

const QStringList Calculators = {"gnome-calculator", "kcalc", "galculator", "xcalc"};

} // namespace

void MainWindow::BuildPages()
{
    pages = new LedgerPages(this);
    pages->Build([this](const PageDefinition& d) { return findChild<QWidget*>(d.page); },
                 [this](const PageDefinition& d) {
                     const auto* action = findChild<QAction*>(d.titleAction);
                     return action ? action->icon() : QIcon();
                 });
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
    pages->ApplyRights(user.user_type);
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
    pages->SetFilling(true);
    relationView = false;
    for (QString folder : {WorkingFolders::Tables, WorkingFolders::Backups, WorkingFolders::Lists})
        WorkingFolders::EnsureDir(folder);
    status = new StatusLine(*statusBar(), user.user_name);
    records = LedgerRecords();
    comboModel->hide();
    pages->Lists().Load(*DatabaseEngine::Instance());
    FillModelList();
    ui->action_graph->setVisible(false);
    ui->stackedWidget->show();
    ui->stackedWidget_2->hide();
    ui->stackedWidget_3->hide();
}

void MainWindow::ShowStatusInfo(const QString& text)
{
    status->ShowStatusInfo(text);
}

void MainWindow::InitTable()
{
    for (QTableView* table : pages->Tables())
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
}

void MainWindow::LoadAllPages()
{
    pages->SetFilling(false);
    if (!jobs)
        return;
    pageLoads << status->Begin(QString());
    jobs->Start(this, JobLauncher::LoadPages);
}

void MainWindow::TakeLoadedRecords(const LedgerRecords& loaded)
{
    records = loaded;
}

void MainWindow::ShowTabData()
{
    pages->ShowLoaded(records);
    if (!pageLoads.isEmpty())
        status->End(pageLoads.takeFirst());
}

void MainWindow::FillModelList()
{
    comboModel->clear();
    comboModel->addItems(pages->Lists().MasterEntries(ListSources::Models));
    comboModel->addItem(tr("所有型号"));
}

void MainWindow::ShowSelectPage()
{
    static const QHash<QString, int> pages = {{"action_purchase", 0}, {"action_purBack", 1},
                                              {"action_saleout", 2},  {"action_saleback", 3},
                                              {"action_loss", 4},     {"action_instore", 5}};
    queries->Hide();
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
    queries->Hide();
    ui->stackedWidget_3->show();
    ui->action_showFin->setCheckable(true);
    const QString name = sender() ? sender()->objectName() : QString();
    if (pages.contains(name))
        ui->stackedWidget_3->setCurrentIndex(pages.value(name));
}

void MainWindow::ShowPage(bool showFlag)
{
    queries->Hide();
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
    queries->Hide();
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
