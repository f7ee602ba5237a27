#pragma once

#include "Records.h"

#include <QList>
#include <array>

// The figures of the shops of a chain side by side: one row per shop, computed from that shop's
// records by the very computations behind its own pages, and a total row.
//
// Each figure of a shop equals what that shop's own pages show when queried for the same period
// with no content criteria, as the super user sees them:
//
//   Sales            "销售统计" (sales statistics): "总金额:", the sum of "合计金额" after the
//                    returns of any date are deducted, each from the first matching sale.
//   Purchases        "采购进货" "总金额:" less "采购退货" "总金额:" (purchase-ins less the
//                    purchase returns of the period).
//   Losses           the loss page's "总金额:".
//   Received         "利润表" (profit table): "收款总额" + "其它收入总额", that is the "总额:" of
//                    the receipts page plus that of the other-income page.
//   Paid             "利润表": "采购支付总额" + "员工薪酬" + "水电租赁" + "其它支出", the money of
//                    kinds 3-6 that the profit counts out.
//   Profit           "利润表": "经营利润" (and the page's "总额:"), which is Received plus the
//                    receivables not yet collected ("未收欠款总额") less Paid.
//   StockQuantity    "库存表" (inventory): the sum of "库存数目" over its stock entries, the rows
//                    the purchase-ins make. Rows the page lists as not placed (a sale, return or
//                    loss without stock to match) are counted in UnplacedRecords instead.
//   StockValue       "库存表": the sum of "商品金额" over the same stock entries, the stock at its
//                    purchase price; the page's "总金额:" when no row is listed as not placed.
//   CustomersUnpaid  "销售统计" "未付款:" (returns leave unpaid amounts as they are, so this is
//                    also the sales page's "未付款:").
//   SuppliersUnpaid  "采购进货" "未付款:".
//   UnplacedRecords  the number of rows "库存表" lists as not placed: where it is not 0 the stock
//                    figures rest on records that need checking.
//
// The stock figures are those of the period's records, as the inventory page computes them for
// the same query: for a month, what that month's purchases, returns, sales and losses leave.
namespace ChainSummary
{

enum Column {
    Sales,
    Purchases,
    Losses,
    Received,
    Paid,
    Profit,
    StockQuantity,
    StockValue,
    CustomersUnpaid,
    SuppliersUnpaid,
    UnplacedRecords,
    ColumnCount
};

using Figures = std::array<double, ColumnCount>;

// One shop's records as its own pages select them, each list in the order of its select. The
// sales come on their own: which sale a return is deducted from follows the order of the sales
// select, and the order of the sales among the goods of every kind may differ from it.
struct ShopRecords {
    QList<ProductRecord> goods;        // the period's goods records of every kind (inventory)
    QList<ProductRecord> sales;        // the period's sales (sales statistics)
    QList<ProductRecord> salesReturns; // the sales returns of all time, which the sales
                                       // statistics deduct from the period's sales
    QList<FinanceRecord> money;        // the period's money records of every kind (profit)
};

// The record texts (positions 0-18) ForShop reads of the goods, of the sales and of the returns;
// a reader may leave the others empty. Only the stock rows' notes would show the difference, and
// they are not part of the figures.
const QList<int>& GoodsTexts();
const QList<int>& SalesTexts();
const QList<int>& ReturnTexts();
// The money record texts (positions 0-8) ForShop reads: the amount.
const QList<int>& MoneyTexts();

// Takes the records by value: the sales are changed by the deduction of the returns, and a
// caller done with the records moves them in.
Figures ForShop(ShopRecords records);

// The sum of each column over the shops. A total of stock value is the value at purchase price
// of the stock entries of every shop together; a total of stock quantity counts their pieces
// together, whatever the article.
Figures Total(const QList<Figures>& shops);

} // namespace ChainSummary
