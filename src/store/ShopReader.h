#pragma once

#include "ChainConfig.h"
#include "RecordReader.h"
#include "Records.h"
#include "StoreConnection.h"

#include <QList>
#include <QString>

// The record selects of the pages for one shop of a chain, on the calling thread's connection:
// the statements DatabaseEngine runs for the installation's own store number (RecordReader), run
// for the shop's store number instead, so a shop's figures are read as its own pages read them. A
// store number the chain does not name is never read: every select of such a reader fails.
//
// Shops are read one after another, so the memory of one shop's answers is kept for the next;
// the caller gives it back with GiveBackFreedMemory when the last shop is read.
class ShopReader
{
public:
    ShopReader(const ChainConfig& chain, const QString& storeNo);

    bool IsChainShop() const { return named; }

    // As DatabaseEngine::SelectProductRecords and SelectFinanceRecords, for the shop.
    bool SelectProductRecords(int timeMode, int kind, const QString& startDate,
                              const QString& queryDate, QList<ProductRecord>& out);
    // As RecordReader::ProductTexts, for the shop.
    bool SelectProductTexts(int timeMode, int kind, const QString& startDate,
                            const QString& queryDate, const QList<int>& texts,
                            QList<ProductRecord>& out);
    bool SelectFinanceRecords(int timeMode, int kind, const QString& startDate,
                              const QString& queryDate, QList<FinanceRecord>& out);
    // As RecordReader::FinanceTexts, for the shop.
    bool SelectFinanceTexts(int timeMode, int kind, const QString& startDate,
                            const QString& queryDate, const QList<int>& texts,
                            QList<FinanceRecord>& out);

    // Why the last select failed.
    QString LastError() const;

    static void GiveBackFreedMemory();

private:
    RecordReader Reader() const;

    StoreConnection connection;
    QString storeNo;
    bool named = false;
    QString refusal;
};
