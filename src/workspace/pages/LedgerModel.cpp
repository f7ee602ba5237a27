#include "LedgerModel.h"

#include "ListSources.h"

#include <QIcon>
#include <algorithm>
#include <atomic>

namespace
{

const QString ColumnIcon = QStringLiteral(":/icons/icons/column.png");
const QString SizeToolTip = QStringLiteral("<html><head/><body><p>商品尺寸</p></body></html>");
const int SizeColumn = 6;

} // namespace

LedgerModel::LedgerModel(const PageDefinition& definition, const ListSources& lists,
                         QObject* parent)
    : QAbstractTableModel(parent), definition(definition), lists(lists)
{
}

QStringList LedgerModel::Entries(int column) const
{
    return lists.Entries(definition.SourceOf(column));
}

int LedgerModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : definition.ColumnCount();
}

QVariant LedgerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= definition.ColumnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return definition.headers.at(section);
    case Qt::DecorationRole:
        return QIcon(ColumnIcon);
    case Qt::ToolTipRole:
        if (definition.family == PageFamily::Goods && section == SizeColumn)
            return SizeToolTip;
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags LedgerModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!readOnly && definition.EditorOf(index.column()) != CellEditor::Fixed)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant LedgerModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const QString text = CellText(index.row(), index.column());
    return IsDateColumn(index.column()) ? DateText(text) : text;
}

bool LedgerModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !IsWritable(index))
        return false;
    // The store's text columns hold at most this many characters.
    const QString text = value.toString().left(definition.MaxLength(index.column()));
    // An unchanged text reports nothing, so chains of derived writes come to an end.
    if (CellText(index.row(), index.column()) == text)
        return true;
    SetCellText(index.row(), index.column(), text);
    emit dataChanged(index, index);
    emit RowEdited(index.row());
    return true;
}

QString LedgerModel::Serial(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss:zzz"));
}

QString LedgerModel::NextSerial()
{
    // A serial identifies the stored record: rows made within one millisecond (or after the
    // clock was set back) get the next free millisecond instead of sharing one.
    static std::atomic<qint64> last{0};
    qint64 now = QDateTime::currentMSecsSinceEpoch();
    qint64 previous = last.load();
    do {
        now = std::max(now, previous + 1);
    } while (!last.compare_exchange_weak(previous, now));
    return Serial(QDateTime::fromMSecsSinceEpoch(now));
}

QString LedgerModel::DateText(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('-'));
    QDate date;
    if (parts.size() == 3)
        date = QDate(parts[0].toInt(), parts[1].toInt(), parts[2].toInt());
    if (!date.isValid())
        date = QDate(2000, 1, 1);
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

bool LedgerModel::IsWritable(const QModelIndex& index) const
{
    // The store cell is not typed into but chosen in the store dialog, which writes it here.
    return (flags(index) & Qt::ItemIsEditable) ||
           (!readOnly && definition.family == PageFamily::Goods &&
            definition.role == PageRole::Ledger && index.column() == PageDefinitions::StoreColumn);
}

bool LedgerModel::IsDateColumn(int column) const
{
    return definition.EditorOf(column) == CellEditor::Date;
}
