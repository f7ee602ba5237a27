#pragma once

#include <QString>

// What a query asks for: the page it fills, the period and the content criteria. A record passes
// a content criterion when the criterion is empty or contained, case-sensitively, in its field.

// Goods pages and the inventory page.
struct GoodsCriteria {
    QString category;  // product_class
    QString name;      // product_name
    QString model;     // product_model
    QString colour;    // product_color
    QString size;      // product_size
    QString party;     // product_supply: supplier or customer
    QString person;    // product_purchase: buyer or salesperson
    QString enteredBy; // product_record
    QString code;      // product_code
    QString store;     // product_store
    QString document;  // product_oddNum
};

// The sales-statistics page.
struct SalesCriteria {
    QString model;  // product_model
    QString person; // product_purchase: salesperson or distributor
};

// Money pages and the profit page.
struct MoneyCriteria {
    QString item;      // ie_item
    QString party;     // ie_client
    QString person;    // ie_sale
    QString document;  // ie_cert
    QString enteredBy; // ie_record
};

struct QueryCriteria {
    // Page groups: 1 goods pages 0-4 and the inventory (page 5), 2 sales statistics (page 0),
    // 3 money pages 0-6 and the profit page (page 7).
    int group = 0;
    int page = 0;
    // 1 one day, 2 the month of queryDate, 3 its year, 4 startDate to queryDate, 5 all time.
    int timeMode = 1;
    // Every record of the period, whatever the content criteria say.
    bool allRecords = false;
    QString startDate; // "yyyy-MM-dd"
    QString queryDate;
    GoodsCriteria goods;
    SalesCriteria sales;
    MoneyCriteria money;
};
