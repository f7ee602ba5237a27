// Shows 100 000 goods records on one ledger page through the ledger model, and 1 000 the widget
// way (a QTableWidget with a list box in every list cell and a date editor in the date cell), and
// prints time and resident memory of both and their per-row ratio.

#include "WheelFreeComboBox.h"
#include "LedgerModel.h"
#include "LedgerPageBuilder.h"
#include "ListSources.h"
#include "PageDefinitions.h"

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTableWidget>

#include <cstdio>

namespace
{

long ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

QList<ProductRecord> Records(int count)
{
    QList<ProductRecord> records;
    records.reserve(count);
    for (int i = 0; i < count; ++i) {
        ProductRecord r;
        r.tab_type = 2;
        r.product_serial = QStringLiteral("2026-01-01 10:00:00:%1").arg(i, 6, 10, QLatin1Char('0'));
        r.product_class = QStringLiteral("衬衫");
        r.product_name = QStringLiteral("商品%1").arg(i % 500);
        r.product_model = QStringLiteral("M-%1").arg(i % 80);
        r.product_color = QStringLiteral("红");
        r.product_size = QStringLiteral("L");
        r.product_time = QStringLiteral("2026-01-01");
        r.product_store = QStringLiteral("01-A-1");
        r.product_num = QString::number(i % 17 + 1);
        r.product_price = QStringLiteral("37.5");
        r.product_total = QString::number((i % 17 + 1) * 37.5);
        r.product_pay = QStringLiteral("0");
        r.product_debt = r.product_total;
        r.product_supply = QStringLiteral("客户甲");
        r.product_purchase = QStringLiteral("小王");
        r.product_record = QStringLiteral("小李");
        records << r;
    }
    return records;
}

struct Figures {
    double ms;
    long kb;
};

Figures ModelPage(const PageDefinition& page, const ListSources& lists, int rows)
{
    const QList<ProductRecord> records = Records(rows);
    const long before = ResidentKb();
    QElapsedTimer timer;
    timer.start();
    QWidget window;
    ProductModel model(page, lists, nullptr);
    model.ShowRecords(records);
    QTableView* table = nullptr;
    {
        QWidget* holder = new QWidget(&window);
        holder->resize(1300, 900);
        table = LedgerPageBuilder::Build(holder, page, &model, QIcon(), {});
        LedgerPageBuilder::SetTableStyle(table);
    }
    window.resize(1300, 900);
    window.show();
    QApplication::processEvents();
    table->grab();
    return {double(timer.nsecsElapsed()) / 1e6, ResidentKb() - before};
}

Figures WidgetPage(const PageDefinition& page, const ListSources& lists, int rows)
{
    const QList<ProductRecord> records = Records(rows);
    const long before = ResidentKb();
    QElapsedTimer timer;
    timer.start();
    QTableWidget table(rows, page.ColumnCount());
    table.setHorizontalHeaderLabels(page.headers);
    for (int row = 0; row < rows; ++row) {
        const ProductRecord& r = records.at(row);
        for (int column = 0; column < page.ColumnCount(); ++column) {
            switch (page.EditorOf(column)) {
            case CellEditor::List: {
                auto* box = new ComboxBoxSpec;
                box->setEditable(true);
                box->addItems(lists.Entries(page.SourceOf(column)));
                box->setCurrentText(r.Text(column));
                table.setCellWidget(row, column, box);
                break;
            }
            case CellEditor::Date: {
                auto* edit = new QDateEdit(QDate::fromString(r.Text(column), "yyyy-MM-dd"));
                edit->setCalendarPopup(true);
                table.setCellWidget(row, column, edit);
                break;
            }
            case CellEditor::Fixed:
            case CellEditor::Text:
                table.setItem(row, column, new QTableWidgetItem(r.Text(column)));
                break;
            }
        }
    }
    table.resize(1300, 900);
    table.show();
    QApplication::processEvents();
    table.grab();
    return {double(timer.nsecsElapsed()) / 1e6, ResidentKb() - before};
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ListSources lists;
    lists.SetMasterList(ListSources::Categories, QStringLiteral("衬衫;裤子;外套"));
    lists.SetMasterList(ListSources::Models, QStringLiteral("M##1;M##2;M##3"));
    lists.SetPersonList(ListSources::Employees, QStringLiteral("小王-1;小李-2;小张-3"));
    lists.SetPersonList(ListSources::Clients, QStringLiteral("客户甲-x;客户乙-y"));
    const PageDefinition& page = *PageDefinitions::ByTable(QStringLiteral("tab_saleout"));

    const int modelRows = 100000;
    const int widgetRows = 1000;
    const Figures model = ModelPage(page, lists, modelRows);
    const Figures widgets = WidgetPage(page, lists, widgetRows);
    std::printf("ledger model:   %6d rows  %8.1f ms  %8.1f MB resident added\n", modelRows,
                model.ms, model.kb / 1024.0);
    std::printf("widget table:   %6d rows  %8.1f ms  %8.1f MB resident added\n", widgetRows,
                widgets.ms, widgets.kb / 1024.0);
    const double modelPerRow = model.ms / modelRows;
    const double widgetPerRow = widgets.ms / widgetRows;
    std::printf("per row: model %.5f ms, widgets %.5f ms: widgets cost %.0f times as much time, "
                "%.0f times as much memory\n",
                modelPerRow, widgetPerRow, widgetPerRow / modelPerRow,
                (double(widgets.kb) / widgetRows) / (double(qMax(1L, model.kb)) / modelRows));
    std::printf("goal: %d rows under 1000 ms and 200 MB: %s\n", modelRows,
                model.ms < 1000 && model.kb < 200 * 1024 ? "met" : "missed");
    return 0;
}
