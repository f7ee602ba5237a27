#pragma once

#include "LedgerModel.h"
#include "LedgerRecords.h"
#include "ListSources.h"

#include <QHash>
#include <QIcon>
#include <QObject>
#include <array>
#include <functional>

class ListCellDelegate;
class QPushButton;
class QTableView;
class QWidget;

// The fifteen ledger pages as the window shows them: each page's model over its records, its
// table, its buttons and totals fields, the lists its list cells offer, and the flag the program
// sets while it fills the pages itself. Built into any widgets, so the flows that work on the
// pages can be tested without the window.
class LedgerPages : public QObject
{
    Q_OBJECT
public:
    // The empty widget a page is laid out in, and the icon its title button shows.
    using Holder = std::function<QWidget*(const PageDefinition&)>;
    using TitleIcon = std::function<QIcon(const PageDefinition&)>;

    explicit LedgerPages(QObject* parent = nullptr);

    // Lays out every page once, into the widget `holder` gives for it.
    void Build(const Holder& holder, const TitleIcon& titleIcon = {});

    ListSources& Lists() { return lists; }
    const ListSources& Lists() const { return lists; }
    ListCellDelegate* ListDelegate() const { return listDelegate; }

    LedgerModel* Model(const PageDefinition& page) const;
    // The model of a ledger page by its record kind; null outside the kinds.
    ProductModel* Goods(int kind) const;
    FinanceModel* Money(int kind) const;
    QTableView* Table(const PageDefinition& page) const;
    QTableView* Table(const QString& table) const;
    QList<QTableView*> Tables() const { return tables.values(); }
    // A button of the page's button or totals row, by its object name.
    QPushButton* Button(const PageDefinition& page, const QString& name) const;

    // Runs `work` on the model of any page, typed by the page's family.
    template <class Work> auto OnPage(const PageDefinition& page, Work work) const
    {
        LedgerModel* model = Model(page);
        return page.family == PageFamily::Goods ? work(static_cast<ProductModel&>(*model))
                                                : work(static_cast<FinanceModel&>(*model));
    }

    // The sums of the rows a page shows, as its totals fields show them.
    PageTotals::GoodsTotals TotalsOf(const PageDefinition& page) const;
    // Writes the sums of the rows the page shows into its totals fields.
    void UpdateTotals(const PageDefinition& page);

    // Shows a page load's records on the ledger pages (a kind without records keeps its rows),
    // with every ledger page's totals.
    void ShowLoaded(const LedgerRecords& records);
    // Empties every ledger page.
    void EmptyLedgers();

    // Makes the cells and buttons that the role may not change read-only or disabled.
    void ApplyRights(int userType);

    // Set while the program itself writes into the pages; edits then are not the user's.
    bool IsFilling() const { return filling; }
    void SetFilling(bool on) { filling = on; }

private:
    ListSources lists;
    ListCellDelegate* listDelegate = nullptr;
    std::array<ProductModel*, PageDefinitions::GoodsKinds> goodsModels{};
    std::array<FinanceModel*, PageDefinitions::MoneyKinds> moneyModels{};
    QHash<QString, QTableView*> tables; // by table name
    QHash<QString, QWidget*> holders;   // by table name
    bool filling = false;
};
