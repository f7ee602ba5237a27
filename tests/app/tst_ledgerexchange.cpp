// The import and export buttons of the main window, with the real background worker.
#include "DatabaseEngine.h"
#include "DbManager.h"
#include "ExcelEngine.h"
#include "LedgerExport.h"
#include "LedgerSheet.h"
#include "MainWindow.h"
#include "ScriptedPrompt.h"
#include "TestFolder.h"
#include "ThreadJobLauncher.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

namespace
{

ProductRecord Sale(int i)
{
    ProductRecord r;
    r.tab_type = 2;
    for (int c = 0; c < ProductRecord::TextCount; ++c)
        r.Text(c) = QStringLiteral("t%1+^^'\"").arg(c);
    r.product_serial = QStringLiteral("2024-03-15 09:00:0%1:000").arg(i);
    r.product_time = "2024-03-15";
    r.product_name = "衬衫";
    r.product_color.clear();
    r.product_num = QString::number(i + 1);
    r.product_price = "2.5";
    r.product_total = QString::number((i + 1) * 2.5);
    r.product_pay = "0";
    r.product_debt = r.product_total;
    return r;
}

QString StatusText(MainWindow& window)
{
    QStringList texts;
    for (const QLabel* label : window.statusBar()->findChildren<QLabel*>())
        texts << label->text();
    return texts.join('\n');
}

QByteArray Digest(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

// The data rows (row 2 on) of sheet 1 as texts.
QList<QStringList> SheetRows(const QString& path)
{
    ExcelEngine sheet(path);
    if (!sheet.Open(1, false))
        return {};
    QList<QStringList> rows;
    QStandardItemModel model(0, sheet.GetColumnCount());
    sheet.ReadSheetToTable(&model);
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < model.columnCount(); ++c)
            row << model.index(r, c).data().toString();
        rows << row;
    }
    return rows;
}

QList<ProductRecord> Stored(int kind)
{
    QList<ProductRecord> out;
    DatabaseEngine::Instance()->SelectProductRecords(5, kind, "", "", out);
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.product_serial < b.product_serial; });
    return out;
}

} // namespace

class TestLedgerExchange : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<ThreadJobLauncher> jobs;
    std::unique_ptr<MainWindow> window;

    void Click(const QString& button)
    {
        auto* b = window->findChild<QPushButton*>(button);
        QVERIFY2(b, qPrintable(button));
        b->click();
    }

    QString Path(const QString& name) const { return QDir(folder->Path()).filePath(name); }

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>(TestFolder::Sqlite, "20240101000000000LINK");
        QVERIFY(folder->Connect());
        jobs = std::make_unique<ThreadJobLauncher>();
        window = std::make_unique<MainWindow>();
        UserRecord admin;
        admin.user_type = 1;
        admin.user_name = "admin";
        window->SetUser(admin);
        window->SetJobLauncher(jobs.get());
        window->InitMainWindow();
        // The first load of the pages ends with a status text of its own: an export's text is
        // looked for after it.
        QTRY_VERIFY(!window->IsFilling() &&
                    window->findChild<QProgressBar*>("progress_job")->isHidden());
    }

    void cleanup()
    {
        window.reset();
        jobs.reset();
        folder.reset();
    }

    void exportedPageImportsBackIntoAnyGoodsPage()
    {
        ScriptedPrompt prompt;
        const QList<ProductRecord> page = {Sale(1), Sale(2)};
        window->GoodsModel(2)->ShowRecords(page);
        const QString path = Path("sales.xls");
        prompt.AnswerFiles({path});
        Click("btn_export_3");
        QTRY_VERIFY(StatusText(*window).contains("导出数据完成,请进入相应TabDateSave目录查看"));
        QCOMPARE(prompt.fileQuestions[0].mode, FileQuestion::Save);
        QCOMPARE(prompt.fileQuestions[0].caption, QString("保存文档"));
        QVERIFY(prompt.fileQuestions[0].directory.endsWith("/TabDateSave"));
        QCOMPARE(prompt.fileQuestions[0].filter, QString("*.xls;; *.xlsx;; "));
        const QList<QStringList> rows = SheetRows(path);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0][7], QString("2024K03K15"));
        QCOMPARE(rows[1][2], QString("衬衫"));
        QCOMPARE(rows[1][1], page[1].product_class);

        prompt.AnswerFiles({path});
        Click("btn_inport_3");
        QCOMPARE(prompt.fileQuestions[1].mode, FileQuestion::Open);
        QCOMPARE(prompt.fileQuestions[1].caption, QString("标题"));
        QCOMPARE(prompt.fileQuestions[1].filter, QString("*.xls;;*.xlsx"));
        QVERIFY(StatusText(*window).contains("数据导入开始..."));
        QTRY_VERIFY(StatusText(*window).contains("导入数据完成,请通过查询查看记录"));
        QCOMPARE(window->GoodsModel(2)->rowCount(), 0);
        QCOMPARE(prompt.shown.last().title, QString("导入结果"));
        QVERIFY(prompt.shown.last().text.startsWith("新增 2 行,更新 0 行,跳过 0 行。"));
        QCOMPARE(Stored(2), page);

        prompt.AnswerFiles({path});
        Click("btn_inport_5");
        QTRY_COMPARE(Stored(4).size(), 2);
        QTRY_VERIFY(prompt.shown.last().text.startsWith("新增 2 行"));
        QCOMPARE(Stored(2), page);
    }

    void unreadableOrMissingFileLeavesThePageAndTheFile()
    {
        ScriptedPrompt prompt;
        window->GoodsModel(0)->ShowRecords({Sale(1)});
        const QString path = Path("broken.xls");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 not really a workbook");
        file.close();
        const QByteArray before = Digest(path);
        prompt.AnswerFiles({path});
        Click("btn_inport");
        QTRY_COMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].title, QString("导入失败"));
        QVERIFY(prompt.shown[0].text.contains(path));
        QVERIFY(StatusText(*window).contains("导入失败"));
        QVERIFY(!StatusText(*window).contains("导入数据完成"));
        QCOMPARE(window->GoodsModel(0)->rowCount(), 1);
        QCOMPARE(Digest(path), before);

        prompt.AnswerFiles({Path("gone.xls")});
        Click("btn_fininport_2");
        QCOMPARE(prompt.shown.size(), 2);
        QCOMPARE(prompt.shown[1].title, QString("导入失败"));
        QVERIFY(!QFile::exists(Path("gone.xls")));

        Click("btn_fininport_2"); // cancelled
        Click("btn_finexport_2");
        QTest::qWait(50);
        QCOMPARE(prompt.shown.size(), 2);
        QCOMPARE(TestFolder::Count("select count(*) from tb_sm_product_info"), 0);
    }

    void rowsThatCannotBeStoredAreListedInTheBox()
    {
        ScriptedPrompt prompt;
        QList<ProductRecord> page = {Sale(1), Sale(2), Sale(3)};
        page[1].product_num = "四";
        window->GoodsModel(2)->ShowRecords(page);
        const QString path = Path("mixed.xls");
        prompt.AnswerFiles({path, path});
        Click("btn_export_3");
        QTRY_VERIFY(StatusText(*window).contains("导出数据完成"));
        Click("btn_inport_2");
        QTRY_COMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].text,
                 QString("新增 2 行,更新 0 行,跳过 1 行。\n第 3 行: 第 10 列不是数字: 四\n"
                         "完整报告: %1.import.txt")
                     .arg(path));
        QCOMPARE(Stored(1).size(), 2);
    }

    // An import that cannot reach the database stops at its first rows and says which rows it
    // did not save, instead of reporting them as refused one by one and the import as done.
    void importWithoutTheDatabaseStopsAndSaysSo()
    {
        ScriptedPrompt prompt;
        window->GoodsModel(2)->ShowRecords({Sale(1), Sale(2), Sale(3)});
        const QString path = Path("sales.xls");
        QCOMPARE(LedgerExport::Write(path, LedgerSheet::GoodsLedger, *window->GoodsModel(2)),
                 QString());
        DbManager::Instance()->Disconnect();
        prompt.AnswerFiles({path});
        Click("btn_inport_3");
        QTRY_COMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].text.split('\n').mid(0, 3),
                 QStringList({"新增 0 行,更新 0 行,跳过 3 行。",
                              "导入未完成: 无法连接数据库(数据库未连接)。3 行未保存,请在问题解决后"
                              "重新导入此文件。",
                              "第 2 行: 未保存(导入已停止)"}));
        QVERIFY(StatusText(*window).contains("导入未完成: 无法连接数据库"));
        QVERIFY(!StatusText(*window).contains("导入数据完成"));
    }

    // Starts the import of a sheet of `rows` sales, each its own record, into the sales page;
    // the sheet's path, empty when it could not be written.
    QString ImportManySales(ScriptedPrompt& prompt, int rows)
    {
        QList<ProductRecord> page;
        for (int i = 0; i < rows; ++i) {
            page << Sale(1);
            page.last().product_serial =
                QStringLiteral("2024-03-15 09:00:00:%1").arg(i, 5, 10, QChar('0'));
        }
        ProductModel* model = window->GoodsModel(2);
        model->ShowRecords(page);
        const QString path = Path("many.xls");
        const QString failure = LedgerExport::Write(path, LedgerSheet::GoodsLedger, *model);
        model->RemoveAll();
        if (!failure.isEmpty())
            return QString();
        prompt.AnswerFiles({path});
        Click("btn_inport_3");
        return path;
    }

    // The program's end while an import is storing rows: the window goes, then the workers are
    // asked to stop and waited for. The import stores no further rows and its report says so.
    void quittingStopsARunningImport()
    {
        ScriptedPrompt prompt;
        const int rows = 3 * DatabaseEngine::BatchRows;
        const QString path = ImportManySales(prompt, rows);
        QVERIFY(!path.isEmpty());
        window.reset();
        jobs.reset();
        const int stored = TestFolder::Count("select count(*) from tb_sm_product_info");
        QVERIFY2(stored < rows, qPrintable(QString::number(stored)));
        QFile report(path + ".import.txt");
        QVERIFY(report.open(QIODevice::ReadOnly));
        QVERIFY(
            QString::fromUtf8(report.readAll())
                .contains(QStringLiteral("导入未完成: 程序退出。%1 行未保存").arg(rows - stored)));
    }

    // The cancel button beside the import's progress: the rows stored so far stay (each
    // transaction whole), the others are not stored, and the report says which.
    void cancellingAnImportStopsItBeforeItsNextRows()
    {
        ScriptedPrompt prompt;
        const int rows = 3 * DatabaseEngine::BatchRows;
        QVERIFY(!ImportManySales(prompt, rows).isEmpty());
        auto* cancel = window->findChild<QPushButton*>("btn_jobcancel");
        QVERIFY(cancel->isEnabled());
        cancel->click();
        QTRY_COMPARE_WITH_TIMEOUT(prompt.shown.size(), 1, 60000);
        const int stored = TestFolder::Count("select count(*) from tb_sm_product_info");
        QVERIFY2(stored < rows && stored % DatabaseEngine::BatchRows == 0,
                 qPrintable(QString::number(stored)));
        QCOMPARE(prompt.shown[0].title, QString("导入结果"));
        QVERIFY2(prompt.shown[0].text.contains(
                     QStringLiteral("导入未完成: 已取消。%1 行未保存").arg(rows - stored)),
                 qPrintable(prompt.shown[0].text));
        QVERIFY(StatusText(*window).contains("导入未完成: 已取消"));
        QCOMPARE(window->GoodsModel(2)->rowCount(), 0);
        QVERIFY(window->findChild<QProgressBar*>("progress_job")->isHidden());
    }

    void computedPagesExportWhatTheyShow()
    {
        ScriptedPrompt prompt;
        auto* stock = dynamic_cast<ProductModel*>(window->Table("tab_storeCurr")->model());
        stock->ShowRecords({Sale(4)});
        prompt.AnswerFiles({Path("stock.xls")});
        Click("btn_export_6");
        QTRY_VERIFY(StatusText(*window).contains("导出数据完成"));
        QCOMPARE(SheetRows(Path("stock.xls")).value(0).value(9), QString("5"));

        prompt.AnswerFiles({Path("no-such-folder/profit.xls")});
        Click("btn_finexport_8");
        QTRY_COMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].title, QString("导出失败"));
        QVERIFY(!StatusText(*window).contains("导出数据完成"));
    }
};

QTEST_MAIN(TestLedgerExchange)
#include "tst_ledgerexchange.moc"
