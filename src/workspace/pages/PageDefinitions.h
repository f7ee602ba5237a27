#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The fifteen ledger pages of the main window: what each shows and the object names its widgets
// carry (the window recognises senders by these names).
enum class PageFamily { Goods, Money };

enum class PageRole {
    Ledger,          // one record kind, edited in place
    Inventory,       // computed stock, read-only
    SalesStatistics, // computed sales
    Profit,          // computed profit
};

enum class CellEditor { Fixed, Text, List, Date };

// Where a list cell takes its entries from.
enum class ListSource {
    None,
    Categories,
    GoodsNames,
    Models,
    Colours,
    Sizes,
    Suppliers,
    Clients,
    Employees,
    EmployeesThenDistributors,
    PaymentItems,
};

// What a button of a page's button row does, told by its object name (btn_puradd, btn_findel_1,
// btn_inport_2, btn_finexport_8, btn_purprint, btn_purquery_3, ...).
enum class ButtonRole { Add, Delete, Clear, Query, Import, Export, Print, Other };

struct PageButton {
    QString name;
    QString text;
    QString icon; // resource path, empty for none
};

struct PageDefinition {
    QString stack; // object name of the page stack holding the page
    QString page;
    QString table;
    PageFamily family = PageFamily::Goods;
    PageRole role = PageRole::Ledger;
    int kind = -1;       // tab_type of a ledger page, -1 for computed pages
    QString titleButton; // empty for none
    QString titleText;
    QString titleAction; // the menu action whose icon the title button shows
    QList<PageButton> buttons;
    QStringList totalLabels;
    QStringList totalFields;
    QString totalButton;
    QString totalButtonText;
    QStringList headers;

    int ColumnCount() const { return int(headers.size()); }
    // Which editor a column of this page has (fixed for read-only pages).
    CellEditor EditorOf(int column) const;
    ListSource SourceOf(int column) const;
    // The most characters a cell of the column holds: 50, the remark (last column) unbounded.
    int MaxLength(int column) const;
};

namespace PageDefinitions
{

inline constexpr int GoodsColumns = 19;
inline constexpr int MoneyColumns = 9;
inline constexpr int GoodsKinds = 5;
inline constexpr int MoneyKinds = 7;
inline constexpr int DateColumnGoods = 7;
inline constexpr int StoreColumn = 8;
inline constexpr int DateColumnMoney = 3;
inline constexpr int TextLength = 50;

// All fifteen, goods stack first, then sales statistics, then the money stack.
const QList<PageDefinition>& All();
const PageDefinition* ByTable(const QString& table);
// The page whose button row or totals row holds the button of that object name.
const PageDefinition* ByButton(const QString& button);
const PageDefinition* Ledger(PageFamily family, int kind);
ButtonRole RoleOfButton(const QString& button);

// The fixed entries of the money pages' item column.
const QStringList& PaymentItems();

} // namespace PageDefinitions
