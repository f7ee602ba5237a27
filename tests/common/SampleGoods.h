#pragma once

#include "Records.h"

// A goods row of model `model` in colour 红 and store 一号库, `num` pieces at 10 each, bought from
// 李 by 王: the row the query tests count, filter and compute stock from.
inline ProductRecord SampleGoods(int kind, const QString& serial, const QString& date,
                                 const QString& model, const QString& num = QStringLiteral("1"))
{
    ProductRecord r;
    r.tab_type = kind;
    r.product_serial = serial;
    r.product_time = date;
    r.product_model = model;
    r.product_color = QStringLiteral("红");
    r.product_store = QStringLiteral("一号库");
    r.product_num = num;
    r.product_price = QStringLiteral("10");
    r.product_total = QString::number(num.toInt() * 10);
    r.product_purchase = QStringLiteral("王");
    r.product_supply = QStringLiteral("李");
    return r;
}
