#include "LedgerColumns.h"

#include "StoreTables.h"

#include <QStringList>
#include <array>

namespace
{

constexpr std::array<const char*, 20> ProductColumns = {
    "tab_type",       "product_serial",   "product_class",  "product_name",   "product_model",
    "product_color",  "product_code",     "product_size",   "product_time",   "product_store",
    "product_num",    "product_price",    "product_total",  "product_pay",    "product_debt",
    "product_supply", "product_purchase", "product_oddNum", "product_record", "prodcut_remark"};

constexpr std::array<const char*, 10> FinanceColumns = {
    "tab_type",  "ie_serial", "ie_item", "ie_sum",    "ie_time",
    "ie_client", "ie_sale",   "ie_cert", "ie_record", "ie_remark"};

template <size_t N> QStringList Names(const std::array<const char*, N>& names)
{
    QStringList list;
    for (const char* name : names)
        list << QLatin1String(name);
    return list;
}

// The kind, then the columns of the record texts at positions `texts`.
template <size_t N>
QString SelectList(const std::array<const char*, N>& columns, const QList<int>& texts)
{
    QStringList list{QLatin1String(columns[0])};
    for (const int text : texts)
        list << QLatin1String(columns[size_t(text) + 1]);
    return list.join(QLatin1Char(','));
}

// The kind, the record's texts (the one at `dateText` as a date) and the store number, in column
// order.
template <class Record>
QVariantList RowValues(const Record& r, int dateText, const QString& storeNo)
{
    QVariantList values{r.tab_type};
    for (int c = 0; c < Record::TextCount; ++c)
        values << (c == dateText ? StoredValue::Date(r.Text(c)) : StoredValue::Text(r.Text(c)));
    return values << StoredValue::Text(storeNo);
}

} // namespace

KeyedRow LedgerColumns::ProductRow(const ProductRecord& r, const QString& storeNo)
{
    static const QStringList columns = Names(ProductColumns) << QStringLiteral("store_no");
    return {
        StoreTables::Product,
        columns,
        RowValues(r, ProductDateText, storeNo),
        {QStringLiteral("tab_type"), QStringLiteral("product_serial"), QStringLiteral("store_no")}};
}

KeyedRow LedgerColumns::FinanceRow(const FinanceRecord& r, const QString& storeNo)
{
    static const QStringList columns = Names(FinanceColumns) << QStringLiteral("store_no");
    // The money date is a text column: an empty one stays an empty text.
    return {StoreTables::Finance,
            columns,
            RowValues(r, -1, storeNo),
            {QStringLiteral("tab_type"), QStringLiteral("ie_serial"), QStringLiteral("store_no")}};
}

QVariantList LedgerColumns::StoredValues(const ProductRecord& record, const QString& storeNo)
{
    return RowValues(record, -1, storeNo);
}

QVariantList LedgerColumns::StoredValues(const FinanceRecord& record, const QString& storeNo)
{
    return RowValues(record, -1, storeNo);
}

const QString& LedgerColumns::ProductSelectList()
{
    static const QString list = Names(ProductColumns).join(QLatin1Char(','));
    return list;
}

QString LedgerColumns::ProductSelectList(const QList<int>& texts)
{
    return SelectList(ProductColumns, texts);
}

QString LedgerColumns::FinanceSelectList(const QList<int>& texts)
{
    return SelectList(FinanceColumns, texts);
}

const QString& LedgerColumns::FinanceSelectList()
{
    static const QString list = Names(FinanceColumns).join(QLatin1Char(','));
    return list;
}
