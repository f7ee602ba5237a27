#pragma once

#include <QString>
#include <QTypeInfo>

// One goods row: the record kind plus the 19 texts of the goods page columns, in the column order
// of tb_sm_product_info.
struct ProductRecord {
    static constexpr int TextCount = 19;

    int tab_type = 0;
    QString product_serial;
    QString product_class;
    QString product_name;
    QString product_model;
    QString product_color;
    QString product_code;
    QString product_size;
    QString product_time;
    QString product_store;
    QString product_num;
    QString product_price;
    QString product_total;
    QString product_pay;
    QString product_debt;
    QString product_supply;
    QString product_purchase;
    QString product_oddNum;
    QString product_record;
    QString prodcut_remark;

    // Page column c (0..18) is text field c+1.
    const QString& Text(int column) const;
    QString& Text(int column);

    bool operator==(const ProductRecord&) const = default;
};

// One money row: the record kind plus the 9 texts of the money page columns.
struct FinanceRecord {
    static constexpr int TextCount = 9;

    int tab_type = 0;
    QString ie_serial;
    QString ie_item;
    QString ie_sum;
    QString ie_time;
    QString ie_client;
    QString ie_sale;
    QString ie_cert;
    QString ie_record;
    QString ie_remark;

    const QString& Text(int column) const;
    QString& Text(int column);

    bool operator==(const FinanceRecord&) const = default;
};

// One user account. Roles: 1 super user, 2 authorised user, 3 general user, 4 browse user.
struct UserRecord {
    int user_type = 0;
    int user_online = 0;
    QString user_phoneno;
    QString user_name;
    QString user_password;
    QString user_ip;
    QString user_remark;

    bool operator==(const UserRecord&) const = default;
};

// One master-data or person list, packed into one text (see ListCodec).
struct ListRecord {
    int info_type = 0;
    QString info_list;

    bool operator==(const ListRecord&) const = default;
};

Q_DECLARE_TYPEINFO(ProductRecord, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(FinanceRecord, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(UserRecord, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(ListRecord, Q_RELOCATABLE_TYPE);
