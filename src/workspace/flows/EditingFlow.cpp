// The editing side of the main window: storing edited rows, adding, deleting and clearing rows,
// the page totals and the item picker.

#include "MainWindow.h"

#include "CellDelegates.h"
#include "ClearSignIn.h"
#include "DatabaseEngine.h"
#include "ItemPicker.h"
#include "LedgerTableView.h"
#include "ProfitSummary.h"
#include "Prompt.h"
#include "RowSaver.h"
#include "UserRoles.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <optional>

namespace
{

const QString DangerIcon = QStringLiteral(":/icons/icons/littleIcon1/Error.png");
const int DangerButtonWidth = 100;

enum class RowAction { Add, Delete, Clear, None };

// The add, delete and clear buttons are named btn_puradd / btn_finadd_1, btn_purdel / ...
RowAction ActionOf(const QString& button)
{
    if (button.contains(QLatin1String("add")))
        return RowAction::Add;
    if (button.contains(QLatin1String("del")))
        return RowAction::Delete;
    if (button.contains(QLatin1String("clr")))
        return RowAction::Clear;
    return RowAction::None;
}

// The change a ledger page's button makes, none for the buttons that only look.
std::optional<UserRoles::Change> ChangeOf(const QString& button)
{
    if (button.contains(QLatin1String("inport")))
        return UserRoles::Change::Import;
    switch (ActionOf(button)) {
    case RowAction::Add:
        return UserRoles::Change::Enter;
    case RowAction::Delete:
        return UserRoles::Change::Delete;
    case RowAction::Clear:
        return UserRoles::Change::Clear;
    case RowAction::None:
        break;
    }
    return std::nullopt;
}

QString PageName(const PageDefinition& page)
{
    return page.titleText.trimmed();
}

} // namespace

// Runs `work` on the model of a ledger page, typed by the page's family.
template <class Work> static auto OnLedger(const MainWindow& w, const PageDefinition& d, Work work)
{
    return d.family == PageFamily::Goods ? work(*w.GoodsModel(d.kind))
                                         : work(*w.MoneyModel(d.kind));
}

void MainWindow::InitEditing()
{
    picker = new ItemPicker(this);
    connect(listDelegate, &ListCellDelegate::TextTyped, this, [this](const QModelIndex& cell) {
        if (!filling)
            picker->Follow(ListEditor(cell));
    });
    connect(listDelegate, &ListCellDelegate::EntryChosen, this, [this] {
        if (!filling)
            picker->Hide();
    });
    for (const PageDefinition& d : PageDefinitions::All()) {
        auto* model = qobject_cast<LedgerModel*>(PageTable(d)->model());
        connect(model, &LedgerModel::RowEdited, this,
                [this, &d](int row) { StoreEditedRow(d, row); });
        for (const PageButton& b : d.buttons) {
            auto* button = findChild<QPushButton*>(b.name);
            switch (d.role == PageRole::Ledger ? ActionOf(b.name) : RowAction::None) {
            case RowAction::Add:
                connect(button, &QPushButton::clicked, this, &MainWindow::ActionAdd);
                break;
            case RowAction::Delete:
                connect(button, &QPushButton::clicked, this, &MainWindow::ActionDelete);
                break;
            case RowAction::Clear:
                connect(button, &QPushButton::clicked, this, &MainWindow::ActionClear);
                break;
            case RowAction::None:
                break;
            }
        }
        if (d.role != PageRole::Profit) {
            connect(findChild<QPushButton*>(d.totalButton), &QPushButton::clicked, this,
                    &MainWindow::TotalProcess);
        }
        UpdatePageTotals(d.totalButton);
    }
}

void MainWindow::ApplyRights()
{
    for (const PageDefinition& d : PageDefinitions::All()) {
        if (d.role != PageRole::Ledger)
            continue;
        qobject_cast<LedgerModel*>(PageTable(d)->model())
            ->SetReadOnly(!UserRoles::Allows(user.user_type, UserRoles::Change::Enter));
        for (const PageButton& b : d.buttons) {
            if (const std::optional<UserRoles::Change> change = ChangeOf(b.name))
                findChild<QPushButton*>(b.name)->setEnabled(
                    UserRoles::Allows(user.user_type, *change));
        }
    }
}

QTableView* MainWindow::PageTable(const PageDefinition& page) const
{
    return tables.value(page.table);
}

QComboBox* MainWindow::ListEditor(const QModelIndex& cell) const
{
    const auto* model = qobject_cast<const LedgerModel*>(cell.model());
    QTableView* table = model ? PageTable(model->Definition()) : nullptr;
    return table ? qobject_cast<QComboBox*>(table->indexWidget(cell)) : nullptr;
}

void MainWindow::StoreEditedRow(const PageDefinition& page, int row)
{
    if (filling)
        return;
    if (page.role == PageRole::Ledger) {
        RowSaver saver(*DatabaseEngine::Instance());
        const RowSaver::Outcome outcome =
            OnLedger(*this, page, [&](auto& model) { return saver.Save(model, row); });
        if (outcome.numberRejected) {
            PromptBox box;
            box.title = tr("输入错误");
            box.text = tr("请输入数字");
            box.icon = QMessageBox::Information;
            AskAfterEdit(box);
        }
        const QString what =
            tr("%1中录入时间为 %2 的行未能保存。").arg(PageName(page), outcome.serial);
        if (outcome.stored)
            refusedSerial.clear();
        else if (outcome.serial == refusedSerial)
            ShowStatusInfo(tr("保存失败") + QStringLiteral(": ") + what);
        else {
            refusedSerial = outcome.serial;
            AskAfterEdit(Refusal(tr("保存失败"), what));
        }
    }
    UpdatePageTotals(page.totalButton);
}

void MainWindow::ReportRefused(const QString& title, const QString& what)
{
    Prompt::Current().Ask(this, Refusal(title, what));
}

PromptBox MainWindow::Refusal(const QString& title, const QString& what)
{
    ShowStatusInfo(title + QStringLiteral(": ") + what);
    PromptBox box;
    box.title = title;
    box.text = what + QLatin1Char('\n') + DatabaseEngine::Instance()->LastError();
    box.icon = QMessageBox::Warning;
    return box;
}

void MainWindow::AskAfterEdit(const PromptBox& box)
{
    // A box takes the focus, and a cell editor that loses it is closed and deleted: shown from
    // inside the edit, it would pull the editor away from under the code that is changing it.
    QMetaObject::invokeMethod(
        this, [this, box] { Prompt::Current().Ask(this, box); }, Qt::QueuedConnection);
}

void MainWindow::ActionAdd()
{
    const PageDefinition* page = PageDefinitions::ByButton(sender() ? sender()->objectName() : "");
    if (!page || page->role != PageRole::Ledger)
        return;
    filling = true;
    RowSaver saver(*DatabaseEngine::Instance());
    int row = -1;
    const RowSaver::Outcome outcome = OnLedger(*this, *page, [&](auto& model) {
        row = model.rowCount();
        model.SetRow(LedgerModel::RowMode::New, row, {});
        return saver.Save(model, row);
    });
    filling = false;
    if (!outcome.stored) {
        ReportRefused(
            tr("保存失败"),
            tr("%1中新增的行(录入时间 %2)未能保存。").arg(PageName(*page), outcome.serial));
    }
    UpdatePageTotals(page->totalButton);
    // The clerk types the new row at once, wherever the page was scrolled to.
    if (auto* table = qobject_cast<LedgerTableView*>(PageTable(*page)))
        table->EditFirstCellOf(row);
}

void MainWindow::ActionDelete()
{
    const PageDefinition* page = PageDefinitions::ByButton(sender() ? sender()->objectName() : "");
    if (!page || page->role != PageRole::Ledger || !ConfirmDanger())
        return;
    QTableView* table = PageTable(*page);
    const int row = table->currentIndex().row();
    if (row < 0 || row >= table->model()->rowCount()) {
        PromptBox box;
        box.title = QStringLiteral("warning");
        box.text = QStringLiteral("请选中相应行");
        box.buttons = QStringList{QStringLiteral("确定"), QStringLiteral("取消")};
        box.icon = QMessageBox::Warning;
        Prompt::Current().Ask(this, box);
        return;
    }
    const QString serial = table->model()->index(row, 0).data().toString();
    RowSaver saver(*DatabaseEngine::Instance());
    if (!OnLedger(*this, *page, [&](auto& model) { return saver.Delete(model, row); })) {
        ReportRefused(tr("删除失败"),
                      tr("%1中录入时间为 %2 的行未能删除。").arg(PageName(*page), serial));
    }
    UpdatePageTotals(page->totalButton);
}

void MainWindow::ActionClear()
{
    const PageDefinition* page = PageDefinitions::ByButton(sender() ? sender()->objectName() : "");
    if (!page || page->role != PageRole::Ledger)
        return;
    RowSaver saver(*DatabaseEngine::Instance());
    const qint64 count = OnLedger(*this, *page, [&](auto& model) { return saver.Count(model); });
    // The clear reaches records that are not on screen: the clerk is told how many go.
    const QString what = count < 0
                             ? tr("无法统计本店%1的记录条数:%2")
                                   .arg(PageName(*page), DatabaseEngine::Instance()->LastError())
                             : tr("将删除本店%1的全部 %2 条记录,含本页未显示的记录。")
                                   .arg(PageName(*page))
                                   .arg(count);
    if (!ConfirmDanger(what + QLatin1Char('\n') + tr("清空须由超级用户或授权用户登录确认。")) ||
        !ClearSignIn::Authorise(this))
        return;
    DropRunningQueries();
    if (!OnLedger(*this, *page, [&](auto& model) { return saver.Clear(model); }))
        ReportRefused(tr("清空失败"), tr("%1的记录未能清空。").arg(PageName(*page)));
    UpdatePageTotals(page->totalButton);
}

bool MainWindow::ConfirmDanger(const QString& detail)
{
    PromptBox box;
    box.title = tr("删除告警");
    box.text = tr("删除或还原数据请慎重,确认?");
    if (!detail.isEmpty())
        box.text += QStringLiteral("\n\n") + detail;
    box.iconPath = DangerIcon;
    box.buttons = QStringList{tr("确认"), tr("取消")};
    box.buttonWidth = DangerButtonWidth;
    return Prompt::Current().Ask(this, box) == 0;
}

void MainWindow::TotalProcess()
{
    const QString name = sender() ? sender()->objectName() : QString();
    const PageDefinition* page = PageDefinitions::ByButton(name);
    if (!page || page->totalButton != name)
        return;
    lastTotalled = page->table;
    auto* model = qobject_cast<LedgerModel*>(PageTable(*page)->model());
    const QList<int> filled = model->Recompute();
    if (page->role == PageRole::Ledger && !filling && !model->IsReadOnly()) {
        // Rows given quantity x price as their total are stored as they now show.
        RowSaver saver(*DatabaseEngine::Instance());
        for (int row : filled) {
            const RowSaver::Outcome outcome =
                OnLedger(*this, *page, [&](auto& m) { return saver.Save(m, row); });
            if (!outcome.stored) {
                ReportRefused(
                    tr("保存失败"),
                    tr("%1中录入时间为 %2 的行未能保存。").arg(PageName(*page), outcome.serial));
                break;
            }
        }
    }
    UpdatePageTotals(name);
}

void MainWindow::UpdatePageTotals(const QString& totalButton)
{
    const PageDefinition* page = PageDefinitions::ByButton(totalButton);
    if (!page || page->totalButton != totalButton)
        return;
    WriteTotals(*page, TotalsOf(*page));
}

PageTotals::GoodsTotals MainWindow::TotalsOf(const PageDefinition& page) const
{
    const auto* model = qobject_cast<const LedgerModel*>(PageTable(page)->model());
    // The profit page's total is the profit of its kind rows, never the profit row added in.
    if (page.role == PageRole::Profit)
        return {ProfitSummary::OperatingProfit(static_cast<const FinanceModel*>(model)->Records())};
    return model->Totals();
}

void MainWindow::WriteTotals(const PageDefinition& page, const PageTotals::GoodsTotals& totals)
{
    const double values[] = {totals.amount, totals.paid, totals.unpaid};
    QWidget* holder = findChild<QWidget*>(page.page);
    for (int i = 0; i < page.totalFields.size() && i < 3; ++i) {
        if (auto* field = holder->findChild<QLineEdit*>(page.totalFields.at(i)))
            field->setText(NumberText::Write(values[i]));
    }
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    // Like the picker keys, F1 counts only while the picker offers entries.
    if (event->key() == Qt::Key_F1 && picker->List()->count() > 0) {
        ShowAboutBox();
        return;
    }
    if (!picker->HandleKey(event))
        QMainWindow::keyPressEvent(event);
}
