#include "Records.h"

namespace
{

using ProductText = QString ProductRecord::*;
constexpr ProductText kProductTexts[ProductRecord::TextCount] = {
    &ProductRecord::product_serial, &ProductRecord::product_class,
    &ProductRecord::product_name,   &ProductRecord::product_model,
    &ProductRecord::product_color,  &ProductRecord::product_code,
    &ProductRecord::product_size,   &ProductRecord::product_time,
    &ProductRecord::product_store,  &ProductRecord::product_num,
    &ProductRecord::product_price,  &ProductRecord::product_total,
    &ProductRecord::product_pay,    &ProductRecord::product_debt,
    &ProductRecord::product_supply, &ProductRecord::product_purchase,
    &ProductRecord::product_oddNum, &ProductRecord::product_record,
    &ProductRecord::prodcut_remark,
};

using FinanceText = QString FinanceRecord::*;
constexpr FinanceText kFinanceTexts[FinanceRecord::TextCount] = {
    &FinanceRecord::ie_serial, &FinanceRecord::ie_item,   &FinanceRecord::ie_sum,
    &FinanceRecord::ie_time,   &FinanceRecord::ie_client, &FinanceRecord::ie_sale,
    &FinanceRecord::ie_cert,   &FinanceRecord::ie_record, &FinanceRecord::ie_remark,
};

} // namespace

const QString& ProductRecord::Text(int column) const
{
    return this->*kProductTexts[column];
}

QString& ProductRecord::Text(int column)
{
    return this->*kProductTexts[column];
}

const QString& FinanceRecord::Text(int column) const
{
    return this->*kFinanceTexts[column];
}

QString& FinanceRecord::Text(int column)
{
    return this->*kFinanceTexts[column];
}
