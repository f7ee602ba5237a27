#include "Schema.h"

#include "StoreTables.h"

#include <algorithm>

namespace
{

const QString Int = QStringLiteral("int");
const QString Text50 = QStringLiteral("VARCHAR(50)");
const QString TextMax = QStringLiteral("NVARCHAR(MAX)");
const QString Date = QStringLiteral("date");

TableSchema ListTable(const QString& name)
{
    return {name,
            {QStringLiteral("info_type"), QStringLiteral("info_list"), QStringLiteral("store_no")},
            {Int, TextMax, Text50},
            {0}};
}

} // namespace

const QList<TableSchema>& Schema::Tables()
{
    static const QList<TableSchema> tables = {
        {StoreTables::Product,
         {"tab_type",         "product_serial", "product_class",  "product_name",
          "product_model",    "product_color",  "product_code",   "product_size",
          "product_time",     "product_store",  "product_num",    "product_price",
          "product_total",    "product_pay",    "product_debt",   "product_supply",
          "product_purchase", "product_oddNum", "product_record", "prodcut_remark",
          "store_no"},
         {Int,    Text50, Text50, Text50, Text50, Text50, Text50, Text50, Date,    Text50, Text50,
          Text50, Text50, Text50, Text50, Text50, Text50, Text50, Text50, TextMax, Text50},
         {0, 1}},
        ListTable(StoreTables::Prestore),
        ListTable(StoreTables::Person),
        {StoreTables::Finance,
         {"tab_type", "ie_serial", "ie_item", "ie_sum", "ie_time", "ie_client", "ie_sale",
          "ie_cert", "ie_record", "ie_remark", "store_no"},
         {Int, Text50, Text50, Text50, Text50, Text50, Text50, Text50, Text50, TextMax, Text50},
         {0, 1}},
        {StoreTables::User,
         {"user_phoneno", "user_name", "user_password", "user_type", "user_online", "user_ip",
          "user_remark", "store_no"},
         {Text50, Text50, Text50, Int, Int, Text50, TextMax, Text50},
         {0, 1}},
    };
    return tables;
}

const TableSchema& Schema::Table(const QString& name)
{
    const QList<TableSchema>& tables = Tables();
    return *std::find_if(tables.cbegin(), tables.cend(),
                         [&name](const TableSchema& t) { return t.name == name; });
}
