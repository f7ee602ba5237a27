#include "EditingFlow.h"

#include "CellDelegates.h"
#include "ClearSignIn.h"
#include "DangerPrompt.h"
#include "DatabaseEngine.h"
#include "ItemPicker.h"
#include "LedgerPages.h"
#include "LedgerTableView.h"
#include "RowSaver.h"
#include "StatusLine.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QTableView>

namespace
{

QString Text(const char* source)
{
    return QCoreApplication::translate("MainWindow", source);
}

QString PageName(const PageDefinition& page)
{
    return page.titleText.trimmed();
}

// The ledger page of an add, delete or clear button; null for any other name.
const PageDefinition* LedgerOf(const QString& button)
{
    const PageDefinition* page = PageDefinitions::ByButton(button);
    return page && page->role == PageRole::Ledger ? page : nullptr;
}

} // namespace

EditingFlow::EditingFlow(QWidget& window, LedgerPages& pages, StatusLine& status)
    : QObject(&window), window(window), pages(pages), status(status),
      picker(new ItemPicker(&window))
{
    connect(pages.ListDelegate(), &ListCellDelegate::TextTyped, this,
            [this](const QModelIndex& cell) {
                if (!this->pages.IsFilling())
                    picker->Follow(ListEditor(cell));
            });
    connect(pages.ListDelegate(), &ListCellDelegate::EntryChosen, this, [this] {
        if (!this->pages.IsFilling())
            picker->Hide();
    });
    for (const PageDefinition& d : PageDefinitions::All()) {
        connect(pages.Model(d), &LedgerModel::RowEdited, this,
                [this, &d](int row) { StoreEditedRow(d, row); });
        pages.UpdateTotals(d);
    }
}

QComboBox* EditingFlow::ListEditor(const QModelIndex& cell) const
{
    const auto* model = qobject_cast<const LedgerModel*>(cell.model());
    QTableView* table = model ? pages.Table(model->Definition()) : nullptr;
    return table ? qobject_cast<QComboBox*>(table->indexWidget(cell)) : nullptr;
}

void EditingFlow::StoreEditedRow(const PageDefinition& page, int row)
{
    if (pages.IsFilling())
        return;
    if (page.role == PageRole::Ledger) {
        RowSaver saver(*DatabaseEngine::Instance());
        const RowSaver::Outcome outcome =
            pages.OnPage(page, [&](auto& model) { return saver.Save(model, row); });
        if (outcome.numberRejected) {
            PromptBox box;
            box.title = Text("输入错误");
            box.text = Text("请输入数字");
            box.icon = QMessageBox::Information;
            AskAfterEdit(box);
        }
        const QString what =
            Text("%1中录入时间为 %2 的行未能保存。").arg(PageName(page), outcome.serial);
        if (outcome.stored)
            refusedSerial.clear();
        else if (outcome.serial == refusedSerial)
            status.ShowStatusInfo(Text("保存失败") + QStringLiteral(": ") + what);
        else {
            refusedSerial = outcome.serial;
            AskAfterEdit(Refusal(Text("保存失败"), what));
        }
    }
    pages.UpdateTotals(page);
}

void EditingFlow::ReportRefused(const QString& title, const QString& what)
{
    Prompt::Current().Ask(&window, Refusal(title, what));
}

PromptBox EditingFlow::Refusal(const QString& title, const QString& what)
{
    status.ShowStatusInfo(title + QStringLiteral(": ") + what);
    PromptBox box;
    box.title = title;
    box.text = what + QLatin1Char('\n') + DatabaseEngine::Instance()->LastError();
    box.icon = QMessageBox::Warning;
    return box;
}

void EditingFlow::AskAfterEdit(const PromptBox& box)
{
    // A box takes the focus, and a cell editor that loses it is closed and deleted: shown from
    // inside the edit, it would pull the editor away from under the code that is changing it.
    QMetaObject::invokeMethod(
        this, [this, box] { Prompt::Current().Ask(&window, box); }, Qt::QueuedConnection);
}

void EditingFlow::Add(const QString& button)
{
    const PageDefinition* page = LedgerOf(button);
    if (!page)
        return;
    pages.SetFilling(true);
    RowSaver saver(*DatabaseEngine::Instance());
    int row = -1;
    const RowSaver::Outcome outcome = pages.OnPage(*page, [&](auto& model) {
        row = model.rowCount();
        model.SetRow(LedgerModel::RowMode::New, row, {});
        return saver.Save(model, row);
    });
    pages.SetFilling(false);
    if (!outcome.stored) {
        ReportRefused(
            Text("保存失败"),
            Text("%1中新增的行(录入时间 %2)未能保存。").arg(PageName(*page), outcome.serial));
    }
    pages.UpdateTotals(*page);
    // The clerk types the new row at once, wherever the page was scrolled to.
    if (auto* table = qobject_cast<LedgerTableView*>(pages.Table(*page)))
        table->EditFirstCellOf(row);
}

void EditingFlow::Delete(const QString& button)
{
    const PageDefinition* page = LedgerOf(button);
    if (!page || !DangerPrompt::Confirm(&window))
        return;
    QTableView* table = pages.Table(*page);
    const int row = table->currentIndex().row();
    if (row < 0 || row >= table->model()->rowCount()) {
        PromptBox box;
        box.title = QStringLiteral("warning");
        box.text = QStringLiteral("请选中相应行");
        box.buttons = QStringList{QStringLiteral("确定"), QStringLiteral("取消")};
        box.icon = QMessageBox::Warning;
        Prompt::Current().Ask(&window, box);
        return;
    }
    const QString serial = table->model()->index(row, 0).data().toString();
    RowSaver saver(*DatabaseEngine::Instance());
    if (!pages.OnPage(*page, [&](auto& model) { return saver.Delete(model, row); })) {
        ReportRefused(Text("删除失败"),
                      Text("%1中录入时间为 %2 的行未能删除。").arg(PageName(*page), serial));
    }
    pages.UpdateTotals(*page);
}

void EditingFlow::Clear(const QString& button)
{
    const PageDefinition* page = LedgerOf(button);
    if (!page)
        return;
    RowSaver saver(*DatabaseEngine::Instance());
    const qint64 count = pages.OnPage(*page, [&](auto& model) { return saver.Count(model); });
    // The clear reaches records that are not on screen: the clerk is told how many go.
    const QString what = count < 0
                             ? Text("无法统计本店%1的记录条数:%2")
                                   .arg(PageName(*page), DatabaseEngine::Instance()->LastError())
                             : Text("将删除本店%1的全部 %2 条记录,含本页未显示的记录。")
                                   .arg(PageName(*page))
                                   .arg(count);
    if (!DangerPrompt::Confirm(&window, what + QLatin1Char('\n') +
                                            Text("清空须由超级用户或授权用户登录确认。")) ||
        !ClearSignIn::Authorise(&window))
        return;
    emit Clearing();
    if (!pages.OnPage(*page, [&](auto& model) { return saver.Clear(model); }))
        ReportRefused(Text("清空失败"), Text("%1的记录未能清空。").arg(PageName(*page)));
    pages.UpdateTotals(*page);
}

const PageDefinition* EditingFlow::Total(const QString& button)
{
    const PageDefinition* page = PageDefinitions::ByButton(button);
    if (!page || page->totalButton != button)
        return nullptr;
    LedgerModel* model = pages.Model(*page);
    const QList<int> filled = model->Recompute();
    if (page->role == PageRole::Ledger && !pages.IsFilling() && !model->IsReadOnly()) {
        // Rows given quantity x price as their total are stored as they now show.
        RowSaver saver(*DatabaseEngine::Instance());
        for (int row : filled) {
            const RowSaver::Outcome outcome =
                pages.OnPage(*page, [&](auto& m) { return saver.Save(m, row); });
            if (!outcome.stored) {
                ReportRefused(
                    Text("保存失败"),
                    Text("%1中录入时间为 %2 的行未能保存。").arg(PageName(*page), outcome.serial));
                break;
            }
        }
    }
    pages.UpdateTotals(*page);
    return page;
}
