#include "LedgerPages.h"

#include "CellDelegates.h"
#include "LedgerPageBuilder.h"
#include "ProfitSummary.h"
#include "UserRoles.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <optional>

namespace
{

// The change a ledger page's button makes; none for the buttons that only look.
std::optional<UserRoles::Change> ChangeOf(const QString& button)
{
    switch (PageDefinitions::RoleOfButton(button)) {
    case ButtonRole::Import:
        return UserRoles::Change::Import;
    case ButtonRole::Add:
        return UserRoles::Change::Enter;
    case ButtonRole::Delete:
        return UserRoles::Change::Delete;
    case ButtonRole::Clear:
        return UserRoles::Change::Clear;
    default:
        return std::nullopt;
    }
}

} // namespace

LedgerPages::LedgerPages(QObject* parent) : QObject(parent) {}

void LedgerPages::Build(const Holder& holder, const TitleIcon& titleIcon)
{
    listDelegate = new ListCellDelegate(this);
    auto* dateDelegate = new DateCellDelegate(this);
    for (const PageDefinition& d : PageDefinitions::All()) {
        LedgerModel* model = nullptr;
        if (d.family == PageFamily::Goods) {
            auto* goods = new ProductModel(d, lists, this);
            if (d.role == PageRole::Ledger)
                goodsModels[d.kind] = goods;
            model = goods;
        } else {
            auto* money = new FinanceModel(d, lists, this);
            if (d.role == PageRole::Ledger)
                moneyModels[d.kind] = money;
            model = money;
        }
        QWidget* page = holder(d);
        holders.insert(d.table, page);
        tables.insert(d.table,
                      LedgerPageBuilder::Build(page, d, model, titleIcon ? titleIcon(d) : QIcon(),
                                               {listDelegate, dateDelegate}));
    }
}

LedgerModel* LedgerPages::Model(const PageDefinition& page) const
{
    QTableView* table = Table(page);
    return table ? qobject_cast<LedgerModel*>(table->model()) : nullptr;
}

ProductModel* LedgerPages::Goods(int kind) const
{
    return kind >= 0 && kind < PageDefinitions::GoodsKinds ? goodsModels[kind] : nullptr;
}

FinanceModel* LedgerPages::Money(int kind) const
{
    return kind >= 0 && kind < PageDefinitions::MoneyKinds ? moneyModels[kind] : nullptr;
}

QTableView* LedgerPages::Table(const PageDefinition& page) const
{
    return tables.value(page.table);
}

QTableView* LedgerPages::Table(const QString& table) const
{
    return tables.value(table);
}

QPushButton* LedgerPages::Button(const PageDefinition& page, const QString& name) const
{
    QWidget* holder = holders.value(page.table);
    return holder ? holder->findChild<QPushButton*>(name) : nullptr;
}

PageTotals::GoodsTotals LedgerPages::TotalsOf(const PageDefinition& page) const
{
    const LedgerModel* model = Model(page);
    // The profit page's total is the profit of its kind rows, never the profit row added in.
    if (page.role == PageRole::Profit)
        return {ProfitSummary::OperatingProfit(static_cast<const FinanceModel*>(model)->Records())};
    return model->Totals();
}

void LedgerPages::UpdateTotals(const PageDefinition& page)
{
    const PageTotals::GoodsTotals totals = TotalsOf(page);
    const double values[] = {totals.amount, totals.paid, totals.unpaid};
    QWidget* holder = holders.value(page.table);
    for (int i = 0; i < page.totalFields.size() && i < 3; ++i) {
        if (auto* field = holder->findChild<QLineEdit*>(page.totalFields.at(i)))
            field->setText(NumberText::Write(values[i]));
    }
}

void LedgerPages::ShowLoaded(const LedgerRecords& records)
{
    filling = true;
    for (int kind = 0; kind < PageDefinitions::GoodsKinds; ++kind) {
        if (!records.goods[kind].isEmpty())
            goodsModels[kind]->ShowRecords(records.goods[kind]);
        UpdateTotals(goodsModels[kind]->Definition());
    }
    for (int kind = 0; kind < PageDefinitions::MoneyKinds; ++kind) {
        if (!records.money[kind].isEmpty())
            moneyModels[kind]->ShowRecords(records.money[kind]);
        UpdateTotals(moneyModels[kind]->Definition());
    }
    filling = false;
}

void LedgerPages::EmptyLedgers()
{
    for (ProductModel* model : goodsModels)
        model->ShowRecords({});
    for (FinanceModel* model : moneyModels)
        model->ShowRecords({});
}

void LedgerPages::ApplyRights(int userType)
{
    for (const PageDefinition& d : PageDefinitions::All()) {
        if (d.role != PageRole::Ledger)
            continue;
        Model(d)->SetReadOnly(!UserRoles::Allows(userType, UserRoles::Change::Enter));
        for (const PageButton& b : d.buttons) {
            if (const std::optional<UserRoles::Change> change = ChangeOf(b.name))
                Button(d, b.name)->setEnabled(UserRoles::Allows(userType, *change));
        }
    }
}
