#pragma once

#include "PageDefinitions.h"

class LedgerModel;
class QAbstractItemDelegate;
class QIcon;
class QTableView;
class QWidget;

// Lays out one ledger page: its button row, its table and its totals row.
namespace LedgerPageBuilder
{

struct Delegates {
    QAbstractItemDelegate* list = nullptr;
    QAbstractItemDelegate* date = nullptr;
};

// Fills the empty `page` from `definition`, with the table showing `model`; the title button
// shows `titleIcon`. Returns the table.
QTableView* Build(QWidget* page, const PageDefinition& definition, LedgerModel* model,
                  const QIcon& titleIcon, const Delegates& delegates);

// The look every ledger table shares.
void SetTableStyle(QTableView* table);

} // namespace LedgerPageBuilder
