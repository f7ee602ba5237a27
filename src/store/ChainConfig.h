#pragma once

#include "DbConfig.h"

#include <QList>
#include <QString>

// The shops of a chain, as the installation's configuration names them: the section [Chain] of
// "InitParam/dBConfig.ini", one line per shop, its store number as the key and the shop's name as
// the value ("20230101120000000LINK=总店"). Only the store numbers named here are ever read
// together; without the section there is no chain.
struct ChainConfig {
    struct Shop {
        QString storeNo;
        QString name;
    };

    // In file order. Empty when the file names no chain, and when the section cannot be used.
    QList<Shop> shops;
    // Why the section cannot be used: a line of the file that cannot be read, a store number or a
    // shop name given twice. Then no shop is taken, so no total leaves out or doubles a shop.
    QString error;

    // A shop without a name is shown by its store number.
    static ChainConfig Read(const QString& iniPath = DbConfig::DefaultPath);
};
