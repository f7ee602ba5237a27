// Editing a ledger page of 100 000 stored rows on SQLite: the time from one cell edit to the
// stored row and updated totals, from one keystroke in a list cell to the stored row, and the
// running page totals against a full recompute of the page, measured in the same run.

#include "DatabaseEngine.h"
#include "DbManager.h"
#include "MainWindow.h"
#include "TestFolder.h"
#include "WriteTransaction.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTableView>

#include <algorithm>
#include <cstdio>

namespace
{

const int Rows = 100000;
const int Edits = 201;
const int TotalsRuns = 51;

QList<ProductRecord> Records()
{
    QList<ProductRecord> records;
    records.reserve(Rows);
    for (int i = 0; i < Rows; ++i) {
        ProductRecord r;
        r.product_serial = QStringLiteral("2026-01-01 10:00:00:%1").arg(i, 6, 10, QLatin1Char('0'));
        r.product_name = QStringLiteral("商品%1").arg(i % 500);
        r.product_model = QStringLiteral("M-%1").arg(i % 80);
        r.product_time = QStringLiteral("2026-01-01");
        r.product_num = QString::number(i % 17 + 1);
        r.product_price = QStringLiteral("37.5");
        r.product_total = QString::number((i % 17 + 1) * 37.5);
        r.product_pay = QStringLiteral("0");
        r.product_debt = r.product_total;
        records << r;
    }
    return records;
}

bool Store(const QList<ProductRecord>& records)
{
    WriteTransaction transaction(DbManager::Instance()->Database());
    for (const ProductRecord& r : records) {
        if (!DatabaseEngine::Instance()->SaveProductInfo(r))
            return false;
    }
    return transaction.Commit();
}

template <class Work> double MedianMs(int runs, Work work)
{
    QList<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work(i);
        ms << double(timer.nsecsElapsed()) / 1e6;
    }
    std::sort(ms.begin(), ms.end());
    return ms.at(ms.size() / 2);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestFolder folder;
    if (!folder.Connect())
        return 1;
    const QList<ProductRecord> records = Records();
    if (!Store(records)) {
        std::printf("storing %d rows failed: %s\n", Rows,
                    qPrintable(DatabaseEngine::Instance()->LastError()));
        return 1;
    }
    MainWindow window;
    window.InitMainWindow();
    ProductModel* model = window.GoodsModel(0);
    model->ShowRecords(records);
    auto* field = window.findChild<QLineEdit*>(QStringLiteral("lineEdit_t_1"));

    // One edit: number check, computed columns, one save of the row, totals written.
    QRandomGenerator random(7);
    const double edit = MedianMs(Edits, [&](int i) {
        const int row = int(random.bounded(Rows));
        model->setData(model->index(row, 9), QString::number(i % 23 + 2));
    });
    const QString totalsAfterEdits = field->text();

    // One keystroke in a list cell: the row stored and the item picker refilled.
    QTableView* table = window.Table(QStringLiteral("tab_purchaseIn"));
    window.show();
    table->openPersistentEditor(model->index(Rows / 2, 2));
    auto* cell = table->findChild<QComboBox*>(QStringLiteral("tab_purchaseIn.%1").arg(Rows / 2));
    const double keystroke = MedianMs(Edits, [&](int i) {
        if (i % 40 == 0)
            cell->lineEdit()->clear();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                      QString(QChar(u'a' + i % 26)));
        QCoreApplication::sendEvent(cell->lineEdit(), &key);
    });
    table->closePersistentEditor(model->index(Rows / 2, 2));

    PageTotals::GoodsTotals kept;
    const double running = MedianMs(TotalsRuns, [&](int) { kept = model->Totals(); });
    const double full = MedianMs(TotalsRuns, [&](int) { model->Recompute(); });
    QList<ProductRecord> copy = model->Records();
    PageTotals::GoodsTotals plain;
    const double sumGoods = MedianMs(TotalsRuns, [&](int) { plain = PageTotals::SumGoods(copy); });

    std::printf("page of %d stored rows on SQLite, medians of %d edits / %d totals\n", Rows, Edits,
                TotalsRuns);
    std::printf("cell edit -> stored row + totals:   %8.3f ms   (goal under 20 ms: %s)\n", edit,
                edit < 20 ? "met" : "missed");
    std::printf("list keystroke -> stored row:       %8.3f ms\n", keystroke);
    std::printf("totals kept running:                %8.3f ms   (goal under 10 ms: %s)\n", running,
                running < 10 ? "met" : "missed");
    std::printf("full recompute of the page:         %8.3f ms   (%.0f times the running totals)\n",
                full, full / running);
    std::printf("plain sum of the page's texts:      %8.3f ms   (%.0f times the running totals)\n",
                sumGoods, sumGoods / running);
    std::printf("totals agree: %s (field %s, running %.15g, plain %.15g)\n",
                kept.amount == plain.amount && kept.paid == plain.paid &&
                        kept.unpaid == plain.unpaid
                    ? "yes"
                    : "NO",
                qPrintable(totalsAfterEdits), kept.amount, plain.amount);
    return 0;
}
