#pragma once

#include "ListDialog.h"

// "信息管理": the master-data lists (categories, goods names, models, colours, sizes and
// warehouses) that the ledger cells and the warehouse chooser offer.
class DialogInfoToDb : public ListDialog
{
    Q_OBJECT
public:
    static constexpr int WarehouseTab = 5;

    explicit DialogInfoToDb(QWidget* parent = nullptr);
};
