// Printing a page: the choice box, the picture of the table to PDF or printer, and the full report
// of every row, read back with poppler's tools.
#include "PagePrint.h"
#include "PdfText.h"
#include "ReportPdf.h"
#include "ReportTable.h"
#include "ScriptedPrompt.h"
#include "TablePicture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace
{

const QStringList Headers = {"录入时间", "商品类目", "商品名称", "商品型号", "备注"};

// A goods-like table of `rows` rows whose cells name their row.
std::unique_ptr<QStandardItemModel> Rows(int rows)
{
    auto model = std::make_unique<QStandardItemModel>(rows, int(Headers.size()));
    model->setHorizontalHeaderLabels(Headers);
    for (int r = 0; r < rows; ++r) {
        model->setItem(
            r, 0,
            new QStandardItem(QStringLiteral("2026-03-%1").arg(r % 28 + 1, 2, 10, QChar(u'0'))));
        model->setItem(
            r, 1, new QStandardItem(QStringLiteral("服装行%1").arg(r + 1, 5, 10, QChar(u'0'))));
        model->setItem(r, 2, new QStandardItem(QStringLiteral("衬衫")));
        model->setItem(r, 3, new QStandardItem(QStringLiteral("XJ-%1").arg(r % 7)));
        model->setItem(r, 4, new QStandardItem(QString()));
    }
    return model;
}

// Answers the print dialog from inside its own event loop, as a user would: printing into a
// file typed into the dialog (there is no printer here), or cancelling.
class PrintingPrompt : public ScriptedPrompt
{
public:
    QString printInto; // empty: cancel the print dialog
    int dialogs = 0;

    int RunDialog(QDialog& dialog) override
    {
        ++dialogs;
        QTimer::singleShot(0, &dialog, [&dialog, this] {
            if (auto* file = dialog.findChild<QLineEdit*>("filename"))
                file->setText(printInto);
            if (printInto.isEmpty())
                dialog.reject();
            else
                dialog.accept();
        });
        return dialog.exec();
    }
};

QByteArray Head(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(5) : QByteArray();
}

} // namespace

class PrintTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pdfNamesGetTheirSuffix();
    void pictureIsScaledIntoTheTopLeftCorner();
    void reportRowsArePagedWhole();
    void columnsShareTheSheet();
    void periodSpansTheDatesFound();

    void choiceBoxOffersThreeOutputs();
    void pictureGoesToOnePdfPage();
    void pictureKeepsAnotherSuffix();
    void cancellingWritesNothing();
    void pictureGoesToThePrinterChosen();
    void unwritableFileIsReported();
    void fullReportHoldsEveryRowOnNumberedPages();
    void longCellsWrapInsteadOfBeingCut();

private:
    QString Pdf(const QString& name) const { return dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<PrintingPrompt> prompt;
    std::unique_ptr<QStandardItemModel> model;
    std::unique_ptr<QTableView> table;
};

void PrintTest::init()
{
    dir = std::make_unique<QTemporaryDir>();
    prompt = std::make_unique<PrintingPrompt>();
    model = Rows(500);
    table = std::make_unique<QTableView>();
    table->setModel(model.get());
    table->resize(640, 300);
    table->show();
}

void PrintTest::cleanup()
{
    table.reset();
    prompt.reset();
    model.reset();
    dir.reset();
}

void PrintTest::pdfNamesGetTheirSuffix()
{
    QCOMPARE(PagePrint::PdfName("/tmp/report"), "/tmp/report.pdf");
    QCOMPARE(PagePrint::PdfName("/tmp/report.pdf"), "/tmp/report.pdf");
    QCOMPARE(PagePrint::PdfName("/tmp/report.txt"), "/tmp/report.txt");
    // A dot in a folder name is not the file's suffix.
    QCOMPARE(PagePrint::PdfName("/tmp/v1.2/report"), "/tmp/v1.2/report.pdf");
}

void PrintTest::pictureIsScaledIntoTheTopLeftCorner()
{
    const QRect page(50, 60, 1000, 1400);
    // A wide picture fills the width, a tall one the height; both keep their proportions.
    QCOMPARE(TablePicture::FitTopLeft(QSize(400, 100), page), QRect(50, 60, 1000, 250));
    QCOMPARE(TablePicture::FitTopLeft(QSize(100, 700), page), QRect(50, 60, 200, 1400));
    QCOMPARE(TablePicture::FitTopLeft(QSize(5000, 7000), page), QRect(50, 60, 1000, 1400));
}

void PrintTest::reportRowsArePagedWhole()
{
    using ReportTables::PageStarts;
    QCOMPARE(PageStarts({}, 10), QList<int>());
    QCOMPARE(PageStarts({3, 3, 3}, 10), QList<int>({0}));
    QCOMPARE(PageStarts({3, 3, 3, 3}, 10), QList<int>({0, 3}));
    // A row exactly filling the rest of a page stays on it; one taller than a page stands alone.
    QCOMPARE(PageStarts({4, 6, 1}, 10), QList<int>({0, 2}));
    QCOMPARE(PageStarts({2, 25, 2}, 10), QList<int>({0, 1, 2}));
    QCOMPARE(PageStarts({25, 2}, 10), QList<int>({0, 1}));
}

void PrintTest::columnsShareTheSheet()
{
    using ReportTables::FitWidths;
    // Room to spare: stretched in proportion.
    QCOMPARE(FitWidths({10, 30}, 80), QList<double>({20, 60}));
    // Too wide: the narrow columns keep their width, the two wide ones share the rest.
    QCOMPARE(FitWidths({10, 500, 20, 300}, 130), QList<double>({10, 50, 20, 50}));
    // One very wide column among several that just fit.
    QCOMPARE(FitWidths({30, 30, 900}, 100), QList<double>({30, 30, 40}));
}

void PrintTest::periodSpansTheDatesFound()
{
    QCOMPARE(ReportTables::PeriodOf({"2026-03-05", "", "abc", "2026-01-31", "2026-02-29"}),
             "2026-01-31 至 2026-03-05");
    QCOMPARE(ReportTables::PeriodOf({"", "--"}), QString());
}

void PrintTest::choiceBoxOffersThreeOutputs()
{
    prompt->AnswerBoxes({-1});
    QCOMPARE(PagePrint(nullptr).Run(*table, [] { return ReportTable(); }), QString());
    QCOMPARE(prompt->shown.size(), 1);
    QCOMPARE(prompt->shown.first().text, "请选择打印方式");
    QCOMPARE(prompt->shown.first().buttons,
             QStringList({"输出到文档", "输出到打印机", "输出完整报表(PDF)"}));
    QVERIFY(prompt->fileQuestions.isEmpty());
    QCOMPARE(prompt->dialogs, 0);
}

void PrintTest::pictureGoesToOnePdfPage()
{
    if (!PdfText::Available())
        QSKIP("poppler-utils is not installed");
    prompt->AnswerBoxes({PagePrint::PictureToPdf});
    prompt->AnswerFiles({Pdf("picture")});
    const QString status = PagePrint(nullptr).Run(*table, [] { return ReportTable(); });
    QVERIFY(status.contains(Pdf("picture.pdf")));
    QCOMPARE(prompt->fileQuestions.size(), 1);
    QCOMPARE(prompt->fileQuestions.first().caption, "导出PDF文件");
    QVERIFY(prompt->fileQuestions.first().directory.endsWith("TabDateSave"));
    QCOMPARE(prompt->fileQuestions.first().filter, "*.pdf");
    QCOMPARE(PdfText::PageCount(Pdf("picture.pdf")), 1);
    QVERIFY(!QFile::exists(Pdf("picture")));
}

void PrintTest::pictureKeepsAnotherSuffix()
{
    prompt->AnswerBoxes({PagePrint::PictureToPdf});
    prompt->AnswerFiles({Pdf("picture.txt")});
    QVERIFY(!PagePrint(nullptr).Run(*table, [] { return ReportTable(); }).isEmpty());
    QCOMPARE(Head(Pdf("picture.txt")), QByteArray("%PDF-"));
    QVERIFY(!QFile::exists(Pdf("picture.txt.pdf")));
}

void PrintTest::cancellingWritesNothing()
{
    bool reportMade = false;
    auto report = [&reportMade] {
        reportMade = true;
        return ReportTable();
    };
    for (int choice : {PagePrint::PictureToPdf, PagePrint::ReportToPdf}) {
        prompt->AnswerBoxes({choice});
        prompt->AnswerFiles({});
        QCOMPARE(PagePrint(nullptr).Run(*table, report), QString());
    }
    prompt->AnswerBoxes({PagePrint::PictureToPrinter});
    QCOMPARE(PagePrint(nullptr).Run(*table, report), QString());
    QCOMPARE(prompt->dialogs, 1);
    QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
    QCOMPARE(prompt->shown.size(), 3); // the three choice boxes, no failure
}

void PrintTest::pictureGoesToThePrinterChosen()
{
    if (!PdfText::Available())
        QSKIP("poppler-utils is not installed");
    prompt->printInto = Pdf("printed.pdf");
    prompt->AnswerBoxes({PagePrint::PictureToPrinter});
    const QString status = PagePrint(nullptr).Run(*table, [] { return ReportTable(); });
    QVERIFY2(status.contains("printed.pdf"), qPrintable(prompt->shown.last().text));
    QCOMPARE(prompt->dialogs, 1);
    QCOMPARE(PdfText::PageCount(Pdf("printed.pdf")), 1);
}

void PrintTest::unwritableFileIsReported()
{
    const QString path = Pdf("missing-folder/report.pdf");
    for (int choice : {PagePrint::PictureToPdf, PagePrint::ReportToPdf}) {
        prompt->shown.clear();
        prompt->AnswerBoxes({choice});
        prompt->AnswerFiles({path});
        QCOMPARE(
            PagePrint(nullptr).Run(
                *table, [this] { return ReportTables::FromModel(*model, "采购进货表", 0, {}); }),
            QString());
        QCOMPARE(prompt->shown.size(), 2);
        QCOMPARE(prompt->shown.last().title, "打印失败");
        QVERIFY(prompt->shown.last().text.contains(path));
    }
}

void PrintTest::fullReportHoldsEveryRowOnNumberedPages()
{
    if (!PdfText::Available())
        QSKIP("poppler-utils is not installed");
    prompt->AnswerBoxes({PagePrint::ReportToPdf});
    prompt->AnswerFiles({Pdf("report")});
    const QStringList totals = {"共 500 行", "总金额: 12345.5    已付款: 100    未付款: 12245.5"};
    const QString status = PagePrint(nullptr).Run(*table, [this, &totals] {
        return ReportTables::FromModel(*model, "采购进货表", 0, totals);
    });
    QVERIFY(status.contains("500"));

    const QString path = Pdf("report.pdf");
    const int count = PdfText::PageCount(path);
    const QStringList pages = PdfText::Pages(path);
    QVERIFY2(count > 1, "500 rows do not fit on one sheet");
    QCOMPARE(pages.size(), count);
    int next = 1; // every row once, in order, over the pages
    for (int p = 0; p < count; ++p) {
        const QString& page = pages.at(p);
        QVERIFY(page.contains("采购进货表"));
        QVERIFY2(page.contains("期间：2026-03-01 至 2026-03-28"), qPrintable(page.left(200)));
        QVERIFY2(page.contains("商品型号"), "headers are repeated on every page");
        QVERIFY(page.contains(QStringLiteral("第 %1 页 / 共 %2 页").arg(p + 1).arg(count)));
        while (page.contains(QStringLiteral("行%1").arg(next, 5, 10, QChar(u'0'))))
            ++next;
    }
    QCOMPARE(next, 501);
    QVERIFY(pages.first().contains("服装行00001"));
    QVERIFY(pages.last().contains("服装行00500"));
    QVERIFY(pages.last().contains(totals.at(0)));
    QVERIFY(pages.last().simplified().contains(totals.at(1).simplified()));
}

void PrintTest::longCellsWrapInsteadOfBeingCut()
{
    if (!PdfText::Available())
        QSKIP("poppler-utils is not installed");
    QString remark;
    for (int i = 0; i < 40; ++i)
        remark += QStringLiteral("退货%1号已核对").arg(i);
    model->setItem(0, 4, new QStandardItem(remark));
    QVERIFY(
        ReportPdf::Write(ReportTables::FromModel(*model, "销售管理表", 0, {}), Pdf("long.pdf")));
    QString text = PdfText::Pages(Pdf("long.pdf")).first();
    text.remove(QRegularExpression("\\s"));
    QVERIFY(text.contains(remark));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    PrintTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_print.moc"
