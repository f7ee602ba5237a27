#include "HistoryFlow.h"

#include "DangerPrompt.h"
#include "DatabaseEngine.h"
#include "FigureTableDialog.h"
#include "FigureTableModel.h"
#include "Prompt.h"
#include "UserRoles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace
{

const QString Anyone = QStringLiteral("全部");
// Pixels of the before and after columns, and of the note.
constexpr int ValuesWidth = 260;
constexpr int NoteWidth = 150;

// The combo box's chosen text, empty for "全部".
QString Chosen(const QComboBox* box)
{
    return box->currentIndex() <= 0 ? QString() : box->currentData().toString();
}

void Refill(QComboBox* box, const QList<QPair<QString, QString>>& choices)
{
    const QString kept = box->currentData().toString();
    box->clear();
    box->addItem(Anyone, QString());
    for (const auto& [text, value] : choices)
        box->addItem(text, value);
    box->setCurrentIndex(std::max(0, box->findData(kept)));
}

} // namespace

HistoryFlow::HistoryFlow(QWidget& window) : QObject(&window), window(window) {}

bool HistoryFlow::Offered(int userType)
{
    return UserRoles::SeesChangeHistory(userType);
}

QWidget* HistoryFlow::BuildControls()
{
    auto* controls = new QWidget;
    auto* rows = new QVBoxLayout(controls);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* line = new QHBoxLayout;
    allTime = new QCheckBox(tr("全部时间"), controls);
    allTime->setChecked(true);
    from = new QDateEdit(QDate::currentDate().addMonths(-1), controls);
    to = new QDateEdit(QDate::currentDate(), controls);
    for (QDateEdit* date : {from, to}) {
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    user = new QComboBox(controls);
    action = new QComboBox(controls);
    page = new QComboBox(controls);
    auto* search = new QPushButton(tr("查询"), controls);
    auto* recover = new QPushButton(tr("恢复"), controls);
    recover->setObjectName(QStringLiteral("btn_history_recover"));
    recover->setToolTip(tr("把所选的删除或清空记录放回原页面"));
    line->addWidget(allTime);
    line->addWidget(new QLabel(tr("从"), controls));
    line->addWidget(from);
    line->addWidget(new QLabel(tr("到"), controls));
    line->addWidget(to);
    for (const auto& [label, box] : {std::pair{tr("用户"), user}, std::pair{tr("操作"), action},
                                     std::pair{tr("页面"), page}}) {
        line->addWidget(new QLabel(label, controls));
        line->addWidget(box);
    }
    line->addWidget(search);
    line->addStretch();
    line->addWidget(recover);
    rows->addLayout(line);
    auto* note =
        new QLabel(tr("只列出本程序所做的修改：其他程序或旧版本程序对数据库所做的修改不在此列。"
                      "“校验”一栏标出记录在本程序之外被改动、删除或插入之处。"),
                   controls);
    note->setWordWrap(true);
    rows->addWidget(note);
    connect(search, &QPushButton::clicked, this, &HistoryFlow::Reload);
    connect(recover, &QPushButton::clicked, this, &HistoryFlow::RecoverSelected);
    connect(allTime, &QCheckBox::toggled, this, [this](bool all) {
        from->setEnabled(!all);
        to->setEnabled(!all);
    });
    from->setEnabled(false);
    to->setEnabled(false);
    return controls;
}

FigureTableDialog* HistoryFlow::Open()
{
    if (!dialog) {
        dialog = new FigureTableDialog(&window);
        dialog->SetControls(BuildControls());
        dialog->HideChart();
        dialog->View()->setWordWrap(true);
        dialog->resize(1200, 600);
    }
    Reload();
    dialog->show();
    dialog->raise();
    return dialog;
}

void HistoryFlow::Reload()
{
    if (!dialog)
        return;
    QList<ChangeEntry> loaded;
    if (!DatabaseEngine::Instance()->LoadChangeHistory(loaded)) {
        Tell(tr("操作记录"),
             tr("无法读取操作记录：%1").arg(DatabaseEngine::Instance()->LastError()));
        return;
    }
    entries = loaded;
    marks = ChangeChain::Check(entries);
    FillChoices();
    ShowFiltered();
}

void HistoryFlow::FillChoices()
{
    QList<QPair<QString, QString>> users;
    QList<QPair<QString, QString>> pages;
    QStringList seenUsers;
    QStringList seenPages;
    for (const ChangeEntry& e : std::as_const(entries)) {
        if (!seenUsers.contains(e.user))
            seenUsers << e.user;
        const QString label = HistoryTable::PageLabel(e);
        if (!seenPages.contains(label))
            seenPages << label;
    }
    for (const QString& u : std::as_const(seenUsers))
        users.append({u, u});
    for (const QString& p : std::as_const(seenPages))
        pages.append({p, p});
    QList<QPair<QString, QString>> actions;
    for (const QString& a : HistoryTable::Actions())
        actions.append({HistoryTable::ActionLabel(a), a});
    Refill(user, users);
    Refill(page, pages);
    Refill(action, actions);
}

void HistoryFlow::SetFilter(const HistoryFilter& filter)
{
    allTime->setChecked(filter.from.isEmpty() && filter.to.isEmpty());
    if (!filter.from.isEmpty())
        from->setDate(QDate::fromString(filter.from, Qt::ISODate));
    if (!filter.to.isEmpty())
        to->setDate(QDate::fromString(filter.to, Qt::ISODate));
    for (const auto& [box, value] : {std::pair{user, filter.user}, std::pair{action, filter.action},
                                     std::pair{page, filter.page}})
        box->setCurrentIndex(value.isEmpty() ? 0 : std::max(0, box->findData(value)));
    ShowFiltered();
}

HistoryFilter HistoryFlow::Filter() const
{
    HistoryFilter filter;
    if (!allTime->isChecked()) {
        filter.from = std::min(from->date(), to->date()).toString(Qt::ISODate);
        filter.to = std::max(from->date(), to->date()).toString(Qt::ISODate);
    }
    filter.user = Chosen(user);
    filter.action = Chosen(action);
    filter.page = Chosen(page);
    return filter;
}

void HistoryFlow::ShowFiltered()
{
    shown = HistoryTable::Matching(entries, Filter());
    dialog->SetTable(HistoryTable::Table(entries, marks, shown));
    // The values of a deleted record and the notes run long: their columns keep a readable
    // width and wrap, so the check beside them stays in sight.
    QHeaderView* heads = dialog->View()->horizontalHeader();
    for (int column :
         {HistoryTable::BeforeColumn, HistoryTable::AfterColumn, HistoryTable::NoteColumn}) {
        heads->setSectionResizeMode(column, QHeaderView::Interactive);
        heads->resizeSection(column, column == HistoryTable::NoteColumn ? NoteWidth : ValuesWidth);
    }
    dialog->View()->resizeRowsToContents();
    const qsizetype broken = std::count_if(marks.cbegin(), marks.cend(), [](ChangeChain::Mark m) {
        return m != ChangeChain::Mark::Sound;
    });
    dialog->SetNote(broken == 0
                        ? tr("共 %1 条记录，校验无误。").arg(entries.size())
                        : tr("共 %1 条记录，其中 %2 处校验不符：操作记录在本程序之外被改动过。")
                              .arg(entries.size())
                              .arg(broken));
}

QList<ChangeEntry> HistoryFlow::Shown() const
{
    QList<ChangeEntry> out;
    for (int i : shown)
        out << entries.at(i);
    return out;
}

void HistoryFlow::RecoverSelected()
{
    const QModelIndexList selected = dialog->View()->selectionModel()->selectedRows();
    const auto* model = static_cast<const FigureTableModel*>(dialog->View()->model());
    if (selected.size() != 1 || selected.first().row() >= model->Order().size()) {
        Tell(tr("恢复"), tr("请先选中一条“删除”或“清空”的操作记录。"));
        return;
    }
    const ChangeEntry entry = entries.at(shown.at(model->Order().at(selected.first().row())));
    if (entry.action != ChangeEntry::Delete && entry.action != ChangeEntry::Clear) {
        Tell(tr("恢复"), tr("只能恢复“删除”或“清空”的操作记录。"));
        return;
    }
    if (!DangerPrompt::Confirm(dialog, tr("将第 %1 号操作删除的记录放回“%2”。")
                                           .arg(entry.seq)
                                           .arg(HistoryTable::PageLabel(entry))))
        return;
    if (!DatabaseEngine::Instance()->RecoverDeleted(entry)) {
        Tell(tr("恢复失败"), tr("记录未能恢复：%1").arg(DatabaseEngine::Instance()->LastError()));
        return;
    }
    Reload();
    dialog->SetNote(tr("已恢复第 %1 号操作删除的记录。").arg(entry.seq));
    emit Recovered();
}

void HistoryFlow::Tell(const QString& title, const QString& text)
{
    PromptBox box;
    box.title = title;
    box.text = text;
    box.icon = QMessageBox::Warning;
    Prompt::Current().Ask(dialog ? static_cast<QWidget*>(dialog) : &window, box);
}
