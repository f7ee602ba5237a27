#pragma once

#include "StopFlag.h"

#include <QString>

// What an import job reads, where its rows go, and the flag that stops it.
struct ImportRequest {
    int pageType = 0; // LedgerSheet::GoodsLedger or MoneyLedger
    QString fileName;
    QString table; // object name of the ledger table imported into; it gives the record kind
    // Raised by the cancel button: the import stores no further rows and says so.
    StopFlag stop;
};
