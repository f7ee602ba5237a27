#pragma once

#include "NumberText.h"
#include "PageDefinitions.h"
#include "PageTotals.h"
#include "Records.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <type_traits>

class ListSources;

// One ledger table: the page's records as rows, the record's texts as columns. Showing loaded
// records never reports an edit; a changed cell reports RowEdited for its row.
class LedgerModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // How a row is written: a new row with the defaults of its cells, or a record shown as is.
    enum class RowMode { New = 1, Show = 2 };

    LedgerModel(const PageDefinition& definition, const ListSources& lists, QObject* parent);

    const PageDefinition& Definition() const { return definition; }
    // A page of a user who may only look: no cell takes an edit, not even the store cell. The
    // program still shows records in it.
    void SetReadOnly(bool readOnly) { this->readOnly = readOnly; }
    bool IsReadOnly() const { return readOnly; }
    // The entries a list cell of `column` offers.
    QStringList Entries(int column) const;

    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // A moment as a serial: "yyyy-MM-dd hh:mm:ss:zzz".
    static QString Serial(const QDateTime& moment);
    // The serial of a row made now, later than every serial this program made before.
    static QString NextSerial();
    // A date text as the date cell reads it: "yyyy-MM-dd", or the editor's default date
    // 2000-01-01 when the text is not a year, month and day.
    static QString DateText(const QString& text);

    // The sums of the rows shown (paid and unpaid stay 0 on money pages), from what each row
    // adds, kept up to date as rows change.
    virtual PageTotals::GoodsTotals Totals() const = 0;
    // Reads every row afresh; a goods row with a blank total is given quantity x price. Returns
    // the rows so given, for the caller to store.
    virtual QList<int> Recompute() = 0;

signals:
    void RowEdited(int row);

protected:
    virtual QString CellText(int row, int column) const = 0;
    virtual void SetCellText(int row, int column, const QString& text) = 0;
    bool IsDateColumn(int column) const;
    // Editable cells, and the store cell of a goods ledger, which its dialog writes.
    bool IsWritable(const QModelIndex& index) const;

    const PageDefinition& definition;
    const ListSources& lists;
    bool readOnly = false;
};

// The ledger model over one record type (ProductRecord or FinanceRecord).
template <class Record> class RecordModel : public LedgerModel
{
public:
    using LedgerModel::LedgerModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(rows.size());
    }

    const QList<Record>& Records() const { return rows; }

    // Writes row `row`, growing the table to hold it. New: an empty record with the serial now,
    // today's date and the first entry of every list cell. Show: `record`, with the serial now
    // when it has none.
    void SetRow(RowMode mode, int row, const Record& record)
    {
        if (row < 0)
            return;
        if (row >= rows.size()) {
            beginInsertRows(QModelIndex(), int(rows.size()), row);
            rows.resize(row + 1);
            endInsertRows();
        }
        ReplaceRow(row, mode == RowMode::New ? NewRecord() : Shown(record));
    }

    // Writes `record` into row `row` as the program's own change: no edit is reported.
    void ReplaceRow(int row, const Record& record)
    {
        totals.Remove(SumsOf(rows.at(row)));
        rows[row] = record;
        totals.Add(SumsOf(record));
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }

    void RemoveRow(int row)
    {
        beginRemoveRows(QModelIndex(), row, row);
        totals.Remove(SumsOf(rows.at(row)));
        rows.removeAt(row);
        endRemoveRows();
    }

    void RemoveAll()
    {
        beginResetModel();
        rows.clear();
        totals.Clear();
        endResetModel();
    }

    PageTotals::GoodsTotals Totals() const override
    {
        if (totals.Stale())
            RebuildTotals();
        return totals.Value();
    }

    QList<int> Recompute() override
    {
        QList<int> filled;
        if constexpr (std::is_same_v<Record, ProductRecord>)
            PageTotals::SumGoods(rows, &filled);
        RebuildTotals();
        for (int row : std::as_const(filled))
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        return filled;
    }

    // Reads row `row` into `record` as kind `kind`; false (record untouched) outside the table.
    bool GetRow(int row, int kind, Record& record) const
    {
        if (row < 0 || row >= rows.size())
            return false;
        record = rows.at(row);
        record.tab_type = kind;
        for (int column = 0; column < Record::TextCount; ++column) {
            if (IsDateColumn(column))
                record.Text(column) = DateText(record.Text(column));
        }
        return true;
    }

    // Replaces every row by `records`, in their order.
    void ShowRecords(const QList<Record>& records)
    {
        beginResetModel();
        // The rows stay shared with the query's result; they are copied only when one of them
        // needs a serial.
        rows = records;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (LacksSerial(rows.at(i)))
                rows[i].Text(0) = NextSerial();
        }
        RebuildTotals();
        endResetModel();
    }

protected:
    QString CellText(int row, int column) const override { return rows.at(row).Text(column); }
    void SetCellText(int row, int column, const QString& text) override
    {
        totals.Remove(SumsOf(rows.at(row)));
        rows[row].Text(column) = text;
        totals.Add(SumsOf(rows.at(row)));
    }

private:
    static PageTotals::GoodsTotals SumsOf(const Record& record)
    {
        if constexpr (std::is_same_v<Record, ProductRecord>)
            return PageTotals::RowGoods(record);
        else
            return {NumberText::Read(record.ie_sum), 0, 0};
    }

    void RebuildTotals() const
    {
        totals.Clear();
        for (const Record& record : rows)
            totals.Add(SumsOf(record));
    }

    Record NewRecord() const
    {
        Record record;
        record.Text(0) = NextSerial();
        for (int column = 1; column < Record::TextCount; ++column) {
            if (IsDateColumn(column)) {
                record.Text(column) = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
            } else if (definition.EditorOf(column) == CellEditor::List) {
                const QStringList entries = Entries(column);
                if (!entries.isEmpty())
                    record.Text(column) = entries.first();
            }
        }
        return record;
    }

    Record Shown(const Record& record) const
    {
        Record shown = record;
        if (LacksSerial(shown))
            shown.Text(0) = NextSerial();
        return shown;
    }

    // A ledger row shown without a serial gets one, and is stored as a record of its own once
    // edited; the summary rows of the profit page have no entry time to show.
    bool LacksSerial(const Record& record) const
    {
        return definition.role == PageRole::Ledger && record.Text(0).isEmpty();
    }

    QList<Record> rows;
    mutable PageTotals::RunningTotals totals; // counted afresh when it has gone stale
};

using ProductModel = RecordModel<ProductRecord>;
using FinanceModel = RecordModel<FinanceRecord>;
