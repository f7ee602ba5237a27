#include "ListDialog.h"

#include "ClearSignIn.h"
#include "DatabaseEngine.h"
#include "ExcelEngine.h"
#include "ListCodec.h"
#include "ListRows.h"
#include "ListTable.h"
#include "Prompt.h"
#include "ui_ListDialog.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTableWidget>

namespace
{

const QString ListFolder = QStringLiteral("InfoDateSave");

} // namespace

ListDialog::ListDialog(int store, const QList<ListTab>& tabs, QWidget* parent)
    : QDialog(parent), ui(new Ui::ListDialog), store(store), tabs(tabs)
{
    ui->setupUi(this);
    BuildTabs();
    bool ok = true;
    for (int kind = 0; kind < ListTabs::KindCount; ++kind) {
        loaded[kind].info_type = kind;
        ok = DatabaseEngine::Instance()->LoadListInfo(store, loaded[kind]) && ok;
    }
    Reported(ok, tr("列表未能读取"));
    ShowResult();
}

ListDialog::~ListDialog() = default;

void ListDialog::BuildTabs()
{
    using ListTabs::Button;
    const QList<QPair<Button, void (ListDialog::*)()>> actions = {
        {Button::Import, &ListDialog::InportProcess},
        {Button::Export, &ListDialog::ExportProcess},
        {Button::Add, &ListDialog::BtnAddAction},
        {Button::Delete, &ListDialog::BtnDelAction},
        {Button::Clear, &ListDialog::BtnClrAction},
        {Button::Confirm, &ListDialog::BtnHideAction}};
    for (int i = 0; i < tabs.size(); ++i) {
        auto* page = new QWidget(ui->tabWidget);
        auto* layout = new QVBoxLayout(page);
        auto* tableRow = new QHBoxLayout;
        auto* table = new QTableWidget(page);
        table->setObjectName(tabs[i].table);
        ListTable::Setup(table, tabs[i].columns);
        tableRow->addWidget(table);
        layout->addLayout(tableRow);
        auto* buttonRow = new QHBoxLayout;
        buttonRow->addStretch();
        for (const auto& [button, slot] : actions) {
            auto* push = new QPushButton(ListTabs::ButtonText(button), page);
            push->setObjectName(ListTabs::ButtonName(button, i));
            // Enter finishes a cell edit; it must not press a button.
            push->setAutoDefault(false);
            buttonRow->addWidget(push);
            tabByName.insert(push->objectName(), i);
            connect(push, &QPushButton::clicked, this, slot);
        }
        layout->addLayout(buttonRow);
        ui->tabWidget->addTab(page, tabs[i].title);
        tabByName.insert(table->objectName(), i);
        tables << table;
        tableRows << tableRow;
        connect(table, &QTableWidget::cellChanged, this, &ListDialog::TabCellChanged);
    }
}

void ListDialog::ApplyRights(int userType)
{
    using ListTabs::Button;
    using UserRoles::Change;
    const QList<QPair<Button, Change>> changes = {{Button::Import, Change::Import},
                                                  {Button::Add, Change::Enter},
                                                  {Button::Delete, Change::Delete},
                                                  {Button::Clear, Change::Clear}};
    mayEnter = UserRoles::Allows(userType, Change::Enter);
    for (int i = 0; i < tabs.size(); ++i) {
        for (const auto& [button, change] : changes) {
            if (auto* push = findChild<QPushButton*>(ListTabs::ButtonName(button, i)))
                push->setEnabled(UserRoles::Allows(userType, change));
        }
        if (!mayEnter)
            tables[i]->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
}

QString ListDialog::CurrentList(int infoType) const
{
    return infoType >= 0 && infoType < ListTabs::KindCount ? current[infoType].info_list
                                                           : QString();
}

void ListDialog::ShowTab(int index, bool visible)
{
    ui->tabWidget->setCurrentIndex(index);
    if (QWidget* page = ui->tabWidget->widget(index))
        page->setVisible(visible);
}

QTableWidget* ListDialog::Table(int index) const
{
    return tables.value(index);
}

void ListDialog::ShowResult()
{
    current = loaded;
    for (int i = 0; i < tabs.size(); ++i)
        ShowList(i, loaded[tabs[i].infoType].info_list);
}

void ListDialog::ShowList(int tab, const QString& packed)
{
    filling = true;
    ListTable::Fill(tables[tab], ListRows::Shown(packed, int(tabs[tab].columns.size())));
    filling = false;
}

int ListDialog::TabOf(const QObject* object) const
{
    return object ? tabByName.value(object->objectName(), -1) : -1;
}

void ListDialog::TabCellChanged(int row, int column)
{
    const int tab = TabOf(sender());
    if (filling || tab < 0)
        return;
    warnLater = true;
    if (CellFits(tab, row, column)) {
        StoreTable(tab);
        ListEdited(tab);
        emit sendRefresh();
    }
    warnLater = false;
}

bool ListDialog::CellFits(int tab, int row, int column)
{
    QTableWidgetItem* item = tables[tab]->item(row, column);
    // The sequence column is never stored.
    if (column < 1 || !item || ListCodec::CanHold(item->text()))
        return true;
    const QString refused = item->text();
    const QString stored = current[tabs[tab].infoType].info_list;
    filling = true;
    item->setText(
        ListRows::Shown(stored, int(tabs[tab].columns.size())).value(row).value(column - 1));
    filling = false;
    Warn(tr("输入错误"), tr("“%1”无法保存,单元格已恢复原来的内容。").arg(refused) +
                             QLatin1Char('\n') + UnholdableRule());
    return false;
}

QString ListDialog::FirstUnholdable(int tab) const
{
    for (const QStringList& row : ListTable::Rows(tables[tab])) {
        for (const QString& cell : row) {
            if (!ListCodec::CanHold(cell))
                return cell;
        }
    }
    return {};
}

void ListDialog::BtnAddAction()
{
    const int tab = TabOf(sender());
    if (tab < 0)
        return;
    filling = true;
    ListTable::AppendRow(tables[tab]);
    StoreTable(tab);
    filling = false;
    emit sendRefresh();
}

void ListDialog::BtnDelAction()
{
    const int tab = TabOf(sender());
    if (tab < 0 || !ConfirmDelete())
        return;
    QTableWidget* table = tables[tab];
    const int row = table->currentRow();
    if (row < 0) {
        PromptBox box;
        box.title = QStringLiteral("warning");
        box.text = tr("请选中相应行");
        box.buttons = QStringList{tr("确定"), tr("取消")};
        Prompt::Current().Ask(this, box);
        return;
    }
    const QStringList cells = ListTable::RowCells(table, row);
    table->removeRow(row);
    RowRemoved(tab, cells);
    StoreTable(tab);
    emit sendRefresh();
}

void ListDialog::BtnClrAction()
{
    const int tab = TabOf(sender());
    if (tab < 0 || !ConfirmDelete())
        return;
    if (!ClearSignIn::Authorise(this, this))
        return;
    tables[tab]->setRowCount(0);
    DeleteList(tab);
    ListCleared(tab);
    emit sendRefresh();
}

void ListDialog::BtnHideAction()
{
    hide();
}

void ListDialog::InportProcess()
{
    const int tab = TabOf(sender());
    if (tab < 0)
        return;
    FileQuestion question;
    question.caption = tr("标题");
    question.directory = ListFolder;
    question.filter = QStringLiteral("*.xls;;*.xlsx");
    const QString path = Prompt::Current().AskFile(nullptr, question);
    if (path.isEmpty())
        return;
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable()) {
        Warn(tr("导入失败"), tr("无法读取文件 %1:文件不存在或不可读").arg(path));
        return;
    }
    ExcelEngine engine(path);
    if (!engine.Open(1, false)) {
        Warn(tr("导入失败"), tr("无法读取文件 %1:%2").arg(path, engine.LastError()));
        return;
    }
    filling = true;
    const bool read = engine.ReadSheetToTable(tables[tab]->model());
    filling = false;
    engine.Close();
    if (!read) {
        Warn(tr("导入失败"), tr("无法把文件 %1 读入列表").arg(path));
        return;
    }
    const QString refused = FirstUnholdable(tab);
    if (!refused.isEmpty()) {
        ShowList(tab, current[tabs[tab].infoType].info_list);
        Warn(tr("导入失败"), tr("文件 %1 中的“%2”无法保存,列表未作改动。").arg(path, refused) +
                                 QLatin1Char('\n') + UnholdableRule());
        return;
    }
    StoreTable(tab);
    ListEdited(tab);
    emit sendRefresh();
}

void ListDialog::ExportProcess()
{
    const int tab = TabOf(sender());
    if (tab < 0)
        return;
    FileQuestion question;
    question.mode = FileQuestion::Save;
    question.caption = tr("保存文档");
    question.directory = ListFolder;
    question.filter = QStringLiteral("*.xls;; *.xlsx;; ");
    const QString path = Prompt::Current().AskFile(this, question);
    if (path.isEmpty())
        return;
    ExcelEngine engine(path);
    if (!engine.Open(1, false) || !engine.WriteTableToSheet(tables[tab]->model()) ||
        !engine.Close())
        Warn(tr("导出失败"), tr("无法写入文件 %1:%2").arg(path, engine.LastError()));
}

bool ListDialog::StoreTable(int tab)
{
    if (tables[tab]->rowCount() == 0)
        return DeleteList(tab);
    ListRecord& record = current[tabs[tab].infoType];
    record.info_list = ListCodec::Pack(ListTable::Rows(tables[tab]));
    return Reported(DatabaseEngine::Instance()->SaveListInfo(store, record), tr("列表未能保存"));
}

bool ListDialog::DeleteList(int tab)
{
    const int kind = tabs[tab].infoType;
    current[kind].info_list.clear();
    return Reported(DatabaseEngine::Instance()->DeleteListInfo(store, kind), tr("列表未能删除"));
}

bool ListDialog::ConfirmDelete()
{
    PromptBox box;
    box.title = tr("删除告警");
    box.text = tr("删除请慎重,确认删除?");
    box.iconPath = QStringLiteral(":/icons/icons/littleIcon1/Error.png");
    box.buttons = QStringList{tr("确认"), tr("取消")};
    box.buttonWidth = 100;
    return Prompt::Current().Ask(this, box) == 0;
}

void ListDialog::ListEdited(int) {}

void ListDialog::RowRemoved(int, const QStringList&) {}

void ListDialog::ListCleared(int) {}

void ListDialog::AddBesideTable(int tab, QWidget* widget)
{
    tableRows[tab]->addWidget(widget);
}

bool ListDialog::Reported(bool ok, const QString& what)
{
    if (!ok)
        Warn(tr("警告"), what + QStringLiteral(": ") + DatabaseEngine::Instance()->LastError());
    return ok;
}

void ListDialog::Warn(const QString& title, const QString& text)
{
    PromptBox box;
    box.title = title;
    box.text = text;
    box.icon = QMessageBox::Warning;
    box.buttons = QStringList{tr("确定")};
    if (!warnLater) {
        Prompt::Current().Ask(this, box);
        return;
    }
    // A box takes the focus from the cell editor, which would be closed under the change.
    QMetaObject::invokeMethod(
        this, [this, box] { Prompt::Current().Ask(this, box); }, Qt::QueuedConnection);
}

QString ListDialog::UnholdableRule()
{
    return tr("列表的单元格中不能含有分号“;”,也不能含有“##”“&&”“#-”“&.”这几种字符组合。");
}
