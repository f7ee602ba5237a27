#include "PrintFlow.h"

#include "LedgerPages.h"
#include "PagePrint.h"
#include "StatusLine.h"

#include <QCoreApplication>
#include <QTableView>

namespace
{

QString ReportTitle(const PageDefinition& page)
{
    const QString title = page.titleText.trimmed();
    return title.isEmpty() ? QCoreApplication::translate("MainWindow", "销售统计表") : title;
}

} // namespace

PrintFlow::PrintFlow(QWidget& window, const LedgerPages& pages, StatusLine& status)
    : window(window), pages(pages), status(status)
{
}

void PrintFlow::Print(const QString& button)
{
    const PageDefinition* page = PageDefinitions::ByButton(button);
    if (!page || PageDefinitions::RoleOfButton(button) != ButtonRole::Print)
        return;
    QTableView* table = pages.Table(*page);
    const QString done = PagePrint(&window).Run(*table, [this, page, table] {
        const int dateColumn = page->family == PageFamily::Goods ? PageDefinitions::DateColumnGoods
                                                                 : PageDefinitions::DateColumnMoney;
        return ReportTables::FromModel(*table->model(), ReportTitle(*page), dateColumn,
                                       TotalsLines(*page));
    });
    if (!done.isEmpty())
        status.ShowStatusInfo(done);
}

QStringList PrintFlow::TotalsLines(const PageDefinition& page) const
{
    const PageTotals::GoodsTotals totals = pages.TotalsOf(page);
    const double values[] = {totals.amount, totals.paid, totals.unpaid};
    QStringList parts;
    for (int i = 0; i < page.totalLabels.size() && i < 3; ++i)
        parts << page.totalLabels.at(i) + QLatin1Char(' ') + NumberText::Write(values[i]);
    return {QCoreApplication::translate("MainWindow", "共 %1 行")
                .arg(pages.Table(page)->model()->rowCount()),
            parts.join(QStringLiteral("    "))};
}
