// "操作记录" without the main window: who is offered it, the entries as the reader sees them
// (filters, before and after side by side, the chain check's marks), and "恢复" answered through
// real boxes.
#include "DatabaseEngine.h"
#include "DbManager.h"
#include "FigureTableDialog.h"
#include "FlowBench.h"
#include "HistoryFlow.h"
#include "HistoryTable.h"
#include "SampleGoods.h"
#include "StoreTables.h"

#include <QLabel>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

namespace
{

DatabaseEngine* Engine()
{
    return DatabaseEngine::Instance();
}

ProductRecord Sale(const QString& serial, const QString& num)
{
    return SampleGoods(2, serial, QStringLiteral("2024-05-05"), QStringLiteral("M-1"), num);
}

QString Cell(const FigureTableDialog& dialog, int row, int column)
{
    return dialog.View()->model()->index(row, column).data().toString();
}

int Rows(const FigureTableDialog& dialog)
{
    return dialog.View()->model()->rowCount();
}

int StoredSales()
{
    QList<ProductRecord> out;
    Engine()->SelectProductRecords(5, 2, "", "", out);
    return int(out.size());
}

// Selects the row of the view whose number column holds `seq`.
bool SelectEntry(FigureTableDialog& dialog, qint64 seq)
{
    for (int r = 0; r < Rows(dialog); ++r) {
        if (Cell(dialog, r, 0) == QString::number(seq)) {
            dialog.View()->selectRow(r);
            return true;
        }
    }
    return false;
}

} // namespace

class TestHistoryFlow : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheSuperUserIsOffered()
    {
        QVERIFY(HistoryFlow::Offered(1));
        for (int role : {0, 2, 3, 4, 7})
            QVERIFY(!HistoryFlow::Offered(role));
    }

    void anEditShowsWhatChangedUnderThePagesHeads()
    {
        ChangeEntry edit;
        edit.action = ChangeEntry::Edit;
        edit.page = StoreTables::Product;
        edit.kind = 2;
        const QStringList columns = {"product_num", "product_price", "store_no"};
        edit.before = ChangeRows::Encode(columns, {{"3", "10", "S"}});
        edit.after = ChangeRows::Encode(columns, {{"4", "10", "S"}});
        QCOMPARE(HistoryTable::Readable(edit, edit.before, edit.after), QString("出售数目：3"));
        QCOMPARE(HistoryTable::Readable(edit, edit.after, edit.before), QString("出售数目：4"));
        edit.action = ChangeEntry::Delete;
        QCOMPARE(HistoryTable::Readable(edit, edit.before, QString()),
                 QString("出售数目：3，出售单价：10"));
        QCOMPARE(HistoryTable::PageLabel(edit), QString("销售管理表"));
        // Entries of earlier versions keep one object per row and read the same.
        edit.action = ChangeEntry::Edit;
        edit.before = R"([{"product_num":"3","product_price":"10","store_no":"S"}])";
        edit.after = R"([{"product_num":"4","product_price":"10","store_no":"S"}])";
        QCOMPARE(HistoryTable::Readable(edit, edit.before, edit.after), QString("出售数目：3"));
    }

    void aLargeEntryShowsItsFirstRowsAndHowManyItKeeps()
    {
        ChangeEntry clear;
        clear.action = ChangeEntry::Clear;
        clear.page = StoreTables::Product;
        clear.kind = 2;
        const QStringList columns = {"product_model", "product_num"};
        QList<QVariantList> rows;
        // Brackets, braces, quotes and backslashes inside the values do not end a row.
        for (int i = 0; i < 1000; ++i)
            rows << QVariantList{QString("型]\"[{,\\%1}").arg(i), QString::number(i)};
        clear.before = ChangeRows::Encode(columns, rows);
        const QStringList lines =
            HistoryTable::Readable(clear, clear.before, QString()).split('\n');
        QCOMPARE(lines.size(), 21);
        QVERIFY2(lines.first().endsWith("：型]\"[{,\\0}，出售数目：0"), qPrintable(lines.first()));
        QVERIFY2(lines.at(19).endsWith("：型]\"[{,\\19}，出售数目：19"), qPrintable(lines.at(19)));
        QCOMPARE(lines.last(), QString("…… 共 1000 条"));

        QList<QVariantList> all;
        qsizetype total = 0;
        QVERIFY(ChangeRows::Decode(clear.before, columns, all, -1, &total));
        QCOMPARE(total, 1000);
        QCOMPARE(all, rows);
        QVERIFY(ChangeRows::Decode(clear.before, columns, all, 5, &total));
        QCOMPARE(all, rows.mid(0, 5));
        QCOMPARE(total, 1000);
        QVERIFY(!ChangeRows::Decode("[[\"product_model\"],[\"cut", columns, all, 5, &total));
    }

    void theDialogFiltersAndMarksABrokenChain()
    {
        FlowBench bench;
        QVERIFY(bench.ready);
        Engine()->SetActor({"石琳", 2});
        QVERIFY(Engine()->SaveProductInfo(Sale("2024-05-05 10:00:00:001", "3")));
        QVERIFY(Engine()->SaveProductInfo(Sale("2024-05-05 10:00:00:001", "4")));
        Engine()->SetActor({"admin", 1});
        QVERIFY(Engine()->DeleteProductInfo(Sale("2024-05-05 10:00:00:001", "4")));

        HistoryFlow flow(bench.window);
        FigureTableDialog* dialog = flow.Open();
        QCOMPARE(Rows(*dialog), 3);
        QCOMPARE(Cell(*dialog, 1, 4), QString("修改"));
        QCOMPARE(Cell(*dialog, 1, HistoryTable::BeforeColumn),
                 QString("出售数目：3，合计金额：30"));
        QCOMPARE(Cell(*dialog, 1, HistoryTable::AfterColumn), QString("出售数目：4，合计金额：40"));
        QCOMPARE(Cell(*dialog, 2, 2), QString("admin"));
        QVERIFY(Cell(*dialog, 2, HistoryTable::BeforeColumn).contains("出售数目：4"));
        QCOMPARE(Cell(*dialog, 0, HistoryTable::CheckColumn), QString("正常"));
        bool noted = false;
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            noted = noted || label->text().contains("其他程序或旧版本");
        QVERIFY(noted);

        HistoryFilter filter;
        filter.user = "石琳";
        flow.SetFilter(filter);
        QCOMPARE(Rows(*dialog), 2);
        filter.action = ChangeEntry::Edit;
        flow.SetFilter(filter);
        QCOMPARE(Rows(*dialog), 1);
        flow.SetFilter({QString(), QString(), QString(), QString(), "销售管理表"});
        QCOMPARE(Rows(*dialog), 3);
        flow.SetFilter({"2000-01-01", "2000-12-31", QString(), QString(), QString()});
        QCOMPARE(Rows(*dialog), 0);

        // An entry changed behind the program's back is marked when the history is read again.
        QVERIFY(QSqlQuery(DbManager::Instance()->Database())
                    .exec("update tb_sm_change_log set log_before='' where log_seq=2"));
        flow.SetFilter({});
        flow.Reload();
        QVERIFY(Cell(*dialog, 1, HistoryTable::CheckColumn).contains("改动"));
        QVERIFY(dialog->Note().contains("1 处校验不符"));
    }

    void recoverPutsTheClearedRecordsBackOnce()
    {
        FlowBench bench;
        QVERIFY(bench.ready);
        Engine()->SetActor({"admin", 1});
        QVERIFY(Engine()->SaveProductInfo(Sale("2024-05-05 10:00:00:001", "3")));
        QVERIFY(Engine()->SaveProductInfo(Sale("2024-05-05 10:00:00:002", "5")));
        QVERIFY(Engine()->ClearProductInfo(2));
        QCOMPARE(StoredSales(), 0);

        HistoryFlow flow(bench.window);
        QSignalSpy recovered(&flow, &HistoryFlow::Recovered);
        FigureTableDialog* dialog = flow.Open();

        // An addition has nothing to put back.
        QVERIFY(SelectEntry(*dialog, 1));
        flow.RecoverSelected();
        QCOMPARE(bench.prompt.shown.last().text, QString("只能恢复“删除”或“清空”的操作记录。"));

        // The confirmation, then the records are back and the recovery is an entry itself.
        QVERIFY(SelectEntry(*dialog, 3));
        bench.prompt.AnswerBoxes({0});
        flow.RecoverSelected();
        QCOMPARE(recovered.size(), 1);
        QCOMPARE(StoredSales(), 2);
        QCOMPARE(Rows(*dialog), 4);
        QCOMPARE(Cell(*dialog, 3, 4), QString("恢复"));

        // A second time the records are there already: refused, and said why.
        QVERIFY(SelectEntry(*dialog, 3));
        bench.prompt.AnswerBoxes({0});
        flow.RecoverSelected();
        QCOMPARE(recovered.size(), 1);
        QCOMPARE(bench.prompt.shown.last().title, QString("恢复失败"));
        QVERIFY(bench.prompt.shown.last().text.contains("已经存在"));
        QCOMPARE(StoredSales(), 2);
    }
};

QTEST_MAIN(TestHistoryFlow)
#include "tst_historyflow.moc"
