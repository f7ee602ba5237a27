#pragma once

#include "LedgerModel.h"
#include "LedgerRecords.h"
#include "ListSources.h"
#include "Records.h"

#include <QHash>
#include <QMainWindow>
#include <array>
#include <memory>

class JobLauncher;
class QComboBox;
class QLabel;
class QStackedWidget;
class QTableView;

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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ApplyUserType();
    void WaitOneSecond();
    void InitWorkspace();
    void InitStatusBar();
    void BuildPages();
    void ConnectSignals();
    void FillModelList();

    std::unique_ptr<Ui::MainWindow> ui;
    UserRecord user;
    bool filling = false;
    bool relationView = false;
    LedgerRecords records;
    ListSources lists;
    std::array<ProductModel*, PageDefinitions::GoodsKinds> goodsModels{};
    std::array<FinanceModel*, PageDefinitions::MoneyKinds> moneyModels{};
    QHash<QString, QTableView*> tables;
    QComboBox* comboModel = nullptr;
    QLabel* statusLabel = nullptr;
    JobLauncher* jobs = nullptr;
};
