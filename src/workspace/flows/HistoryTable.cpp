#include "HistoryTable.h"

#include "PageDefinitions.h"
#include "Schema.h"
#include "StoreTables.h"
#include "UserRoles.h"

#include <QHash>

namespace
{

// Rows shown of a clear; the rest are counted.
constexpr int ShownRows = 20;

const QHash<QString, QString>& OtherHeads()
{
    static const QHash<QString, QString> heads = {
        {QStringLiteral("user_phoneno"), QStringLiteral("手机号")},
        {QStringLiteral("user_name"), QStringLiteral("用户名")},
        {QStringLiteral("user_type"), QStringLiteral("用户类型")},
        {QStringLiteral("user_online"), QStringLiteral("在线")},
        {QStringLiteral("user_ip"), QStringLiteral("IP")},
        {QStringLiteral("user_remark"), QStringLiteral("备注")},
        {QStringLiteral("info_type"), QStringLiteral("列表类别")},
        {QStringLiteral("info_list"), QStringLiteral("列表内容")},
        {QStringLiteral("tab_type"), QStringLiteral("类别")},
        {QStringLiteral("store_no"), QStringLiteral("店号")}};
    return heads;
}

// A ledger column's head as the entry's page shows it; other columns by their own names.
QString Head(const ChangeEntry& entry, const QString& column)
{
    const bool goods = entry.page == StoreTables::Product;
    if (goods || entry.page == StoreTables::Finance) {
        const PageDefinition* page = PageDefinitions::Ledger(
            goods ? PageFamily::Goods : PageFamily::Money, std::max(0, entry.kind));
        const int at = int(Schema::Table(entry.page).columns.indexOf(column));
        // Page column c holds the table's column c + 1 (the kind comes first).
        if (page && at >= 1 && at - 1 < page->headers.size())
            return page->headers.at(at - 1);
    }
    return OtherHeads().value(column, column);
}

bool Shown(const QString& column)
{
    return column != QLatin1String("store_no") && column != QLatin1String("tab_type");
}

} // namespace

const QStringList& HistoryTable::Actions()
{
    static const QStringList actions = {
        ChangeEntry::Add,        ChangeEntry::Edit,      ChangeEntry::Delete,
        ChangeEntry::Clear,      ChangeEntry::Recover,   ChangeEntry::Import,
        ChangeEntry::Restore,    ChangeEntry::SignIn,    ChangeEntry::FailedSignIn,
        ChangeEntry::UserChange, ChangeEntry::ListChange};
    return actions;
}

QString HistoryTable::ActionLabel(const QString& action)
{
    static const QHash<QString, QString> labels = {
        {ChangeEntry::Add, QStringLiteral("新增")},
        {ChangeEntry::Edit, QStringLiteral("修改")},
        {ChangeEntry::Delete, QStringLiteral("删除")},
        {ChangeEntry::Clear, QStringLiteral("清空")},
        {ChangeEntry::Recover, QStringLiteral("恢复")},
        {ChangeEntry::Import, QStringLiteral("导入")},
        {ChangeEntry::Restore, QStringLiteral("还原备份")},
        {ChangeEntry::SignIn, QStringLiteral("登录")},
        {ChangeEntry::FailedSignIn, QStringLiteral("登录失败")},
        {ChangeEntry::UserChange, QStringLiteral("用户变更")},
        {ChangeEntry::ListChange, QStringLiteral("列表变更")}};
    return labels.value(action, action);
}

QString HistoryTable::PageLabel(const ChangeEntry& entry)
{
    if (entry.page == StoreTables::Product || entry.page == StoreTables::Finance) {
        const PageDefinition* page = PageDefinitions::Ledger(
            entry.page == StoreTables::Product ? PageFamily::Goods : PageFamily::Money, entry.kind);
        if (page)
            return page->titleText.trimmed();
    }
    if (entry.page == StoreTables::User)
        return QStringLiteral("用户");
    if (entry.page == StoreTables::Prestore)
        return QStringLiteral("基础信息列表");
    if (entry.page == StoreTables::Person)
        return QStringLiteral("人员列表");
    if (entry.page.isEmpty())
        return QStringLiteral("全部");
    return entry.page;
}

QString HistoryTable::MarkLabel(ChangeChain::Mark mark)
{
    switch (mark) {
    case ChangeChain::Mark::Sound:
        return QStringLiteral("正常");
    case ChangeChain::Mark::Altered:
        return QStringLiteral("⚠ 此条记录被改动过");
    case ChangeChain::Mark::Broken:
        return QStringLiteral("⚠ 链条断开：之前的记录被删除、插入或改动");
    }
    return QString();
}

QString HistoryTable::Readable(const ChangeEntry& entry, const QString& rows, const QString& other)
{
    const QStringList columns = ChangeRows::Columns(rows);
    QList<QVariantList> values;
    QList<QVariantList> others;
    qsizetype total = 0;
    // Only the rows shown are read: an import or a clear keeps tens of thousands.
    if (!ChangeRows::Decode(rows, columns, values, ShownRows, &total))
        return rows;
    const bool edit = entry.action == ChangeEntry::Edit &&
                      ChangeRows::Decode(other, columns, others) && values.size() == 1 &&
                      others.size() == 1;
    QStringList lines;
    for (qsizetype r = 0; r < values.size(); ++r) {
        QStringList cells;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            const QString text = values.at(r).at(c).toString();
            if (!Shown(columns.at(c)) || (edit && text == others.first().at(c).toString()) ||
                (!edit && text.isEmpty()))
                continue;
            cells << QStringLiteral("%1：%2").arg(Head(entry, columns.at(c)), text);
        }
        lines << cells.join(QStringLiteral("，"));
    }
    if (total > ShownRows)
        lines << QStringLiteral("…… 共 %1 条").arg(total);
    return lines.join(QLatin1Char('\n'));
}

QList<int> HistoryTable::Matching(const QList<ChangeEntry>& entries, const HistoryFilter& filter)
{
    QList<int> chosen;
    for (int i = 0; i < entries.size(); ++i) {
        const ChangeEntry& e = entries.at(i);
        const QString day = e.time.left(10);
        if ((!filter.from.isEmpty() && day < filter.from) ||
            (!filter.to.isEmpty() && day > filter.to) ||
            (!filter.user.isEmpty() && e.user != filter.user) ||
            (!filter.action.isEmpty() && e.action != filter.action) ||
            (!filter.page.isEmpty() && PageLabel(e) != filter.page))
            continue;
        chosen << i;
    }
    return chosen;
}

FigureTable HistoryTable::Table(const QList<ChangeEntry>& entries,
                                const QList<ChangeChain::Mark>& marks, const QList<int>& chosen)
{
    FigureTable table;
    table.title = QStringLiteral("操作记录");
    for (const char* head : {"序号", "时间", "用户", "角色", "操作", "页面", "录入时间", "修改前",
                             "修改后", "说明", "校验"})
        table.columns << FigureColumn{QString::fromUtf8(head), FigureColumn::Text};
    table.columns[0].kind = FigureColumn::Count;
    for (int i : chosen) {
        const ChangeEntry& e = entries.at(i);
        FigureRow row;
        row.values << double(e.seq);
        row.texts << e.time.left(19) << e.user << (e.role > 0 ? UserRoles::Label(e.role) : "")
                  << ActionLabel(e.action) << PageLabel(e) << e.serial
                  << Readable(e, e.before, e.after) << Readable(e, e.after, e.before) << e.note
                  << MarkLabel(marks.value(i, ChangeChain::Mark::Sound));
        table.rows << row;
    }
    return table;
}
