#pragma once

#include "Dice.h"
#include "Records.h"

#include <QList>
#include <QString>
#include <QStringList>

// One article the shop trades: what a goods row names, with its prices.
struct GoodsModel {
    QString category;
    QString name;
    QString model;
    QString code; // EAN-13
    QStringList colours;
    QStringList sizes;
    double cost = 0;  // purchase price
    double price = 0; // sale price
};

// The master data and the people of one store: goods models, warehouses, staff, customers,
// distributors, suppliers, other business contacts and sign-in accounts.
class ShopCatalog
{
public:
    static ShopCatalog Make(Dice& dice);

    // List kinds 1 categories, 2 names, 3 models, 4 colours, 6 sizes, 8 warehouses.
    QList<ListRecord> MasterLists() const;
    // List kinds 0 users, 1 employees, 2 clients, 3 distributors, 4 suppliers, 5 partners.
    QList<ListRecord> PersonLists() const;

    QList<GoodsModel> models;
    QStringList warehouses; // storage places as the store chooser composes them, "CK01-A-1"
    QStringList employees;
    QStringList clients;
    QStringList distributors;
    QStringList suppliers;
    QStringList partners;
    QList<UserRecord> accounts;

private:
    QList<QStringList> warehouseRows;
    QList<QStringList> employeeRows;
    QList<QStringList> clientRows;
    QList<QStringList> distributorRows;
    QList<QStringList> supplierRows;
    QList<QStringList> partnerRows;
};
