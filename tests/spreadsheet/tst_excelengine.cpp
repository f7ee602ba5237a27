#include "BiffRecords.h"
#include "BiffStream.h"
#include "CompoundReader.h"
#include "ExcelEngine.h"
#include "PythonPeer.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <quazip.h>
#include <quazipfile.h>

namespace
{

const QByteArray CompoundSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

QStandardItemModel* Table(const QStringList& headers, const QList<QStringList>& rows)
{
    auto* model = new QStandardItemModel(int(rows.size()), int(headers.size()));
    model->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            model->setItem(r, c, new QStandardItem(rows[r][c]));
    }
    return model;
}

QStringList ReadList(const QString& path, bool* opened = nullptr)
{
    ExcelEngine engine(path);
    QStringList list;
    const bool ok = engine.Open(1, false);
    if (opened)
        *opened = ok;
    engine.ReadSheetToList(list);
    return list;
}

QByteArray Head(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(8) : QByteArray();
}

QJsonObject Cells(const QJsonArray& sheets, int index)
{
    return sheets.at(index).toObject().value(QStringLiteral("cells")).toObject();
}

QString TextAt(const QJsonObject& cells, int row, int column)
{
    const QJsonArray cell = cells.value(QStringLiteral("%1,%2").arg(row).arg(column)).toArray();
    return cell.at(0).toString() == QLatin1String("text") ? cell.at(1).toString() : QString();
}

QMap<QString, QByteArray> ZipParts(const QString& path)
{
    QMap<QString, QByteArray> parts;
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return parts;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFile file(&zip);
        if (file.open(QIODevice::ReadOnly))
            parts.insert(zip.getCurrentFileName(), file.readAll());
    }
    return parts;
}

// The workbook stream of an .xls file and how many FORMULA records each of its sheets holds.
QByteArray WorkbookStream(const QString& path, QList<int>* formulas = nullptr)
{
    QString name;
    QByteArray stream;
    QString error;
    if (!CompoundReader::ReadWorkbook(path, name, stream, error))
        return {};
    if (formulas) {
        formulas->clear();
        BiffCursor cursor(stream);
        BiffRecordView record;
        while (cursor.Next(record) == BiffCursor::Step::Record) {
            if (record.type == BiffRecord::Bof)
                formulas->append(0);
            else if (record.type == BiffRecord::Formula)
                ++formulas->last();
        }
    }
    return stream;
}

QJsonArray Formats(const QString& path)
{
    QByteArray output;
    if (!PythonPeer::Run(QStringLiteral("dump_format.py"), {path}, output))
        qWarning("independent reader failed: %s", output.constData());
    return QJsonDocument::fromJson(output).array();
}

} // namespace

class ExcelEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void newFileIsExcel97WhateverItsName_data();
    void newFileIsExcel97WhateverItsName();
    void tableRoundTripKeepsTexts();
    void independentReaderSeesOurTexts();
    void everyCellWrittenWithTheGivenText();
    void tableReadGoesBeforeExistingRows();
    void tableWidgetModelWorks();

    void usedRangeStartingAtC5_data();
    void usedRangeStartingAtC5();
    void numbersInTheGeneralFormat();
    void writingIntoExistingKeepsTheRest_data();
    void writingIntoExistingKeepsTheRest();
    void writingIntoXlsKeepsTheWorkbook();
    void xlsxPackageOtherPartsUnchanged();
    void formulaCellsGiveCachedValues();
    void xlsxSharedFormulaAndCalcChainStayConsistent();
    void readingNeverRewritesTheFile();
    void secondWriteAfterSaveIsNotLost();
    void cellsWrittenInAnyOrderLastTextWins();

    void biffRowLimit();
    void failuresGiveReasons();
    void enormousUsedRangeIsRefused();

private:
    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Copy(const QString& name);

    QTemporaryDir dir;
    QString peersMissing;
};

void ExcelEngineTest::initTestCase()
{
    QVERIFY(dir.isValid());
    peersMissing = PythonPeer::Missing();
    if (peersMissing.isEmpty()) {
        QByteArray output;
        QVERIFY2(PythonPeer::Run(QStringLiteral("make_workbooks.py"), {dir.path()}, output),
                 output.constData());
    }
}

QString ExcelEngineTest::Copy(const QString& name)
{
    static int copies = 0;
    const QString target = Path(QStringLiteral("copy%1_%2").arg(++copies).arg(name));
    QFile::copy(Path(name), target);
    return target;
}

void ExcelEngineTest::newFileIsExcel97WhateverItsName_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("xls") << "new.xls";
    QTest::newRow("xlsx") << "new.xlsx";
}

void ExcelEngineTest::newFileIsExcel97WhateverItsName()
{
    QFETCH(QString, name);
    const QString path = Path(name);
    std::unique_ptr<QStandardItemModel> model(Table({"名称", "数量"}, {{"苹果", "12"}}));
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open(1, false));
        QVERIFY(engine.IsOpen());
        QVERIFY(engine.IsValid());
        QVERIFY(engine.WriteTableToSheet(model.get()));
    }
    QCOMPARE(Head(path), CompoundSignature);
    QCOMPARE(ReadList(path), QStringList{"苹果+12"});
}

void ExcelEngineTest::tableRoundTripKeepsTexts()
{
    const QString path = Path("roundtrip.xls");
    const QString longText = QString(7999, QChar(0x4E2D)) + QStringLiteral("尾");
    std::unique_ptr<QStandardItemModel> model(
        Table({"名称", "公式", "长"}, {{"a+b", "=1+2", longText}, {"Ünïcødé €", "", "0012"}}));
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        QVERIFY(engine.WriteTableToSheet(model.get()));
        QVERIFY(engine.Close());
    }
    ExcelEngine engine(path);
    QVERIFY(engine.Open());
    QCOMPARE(engine.LastError(), QString());
    QCOMPARE(engine.GetRowCount(), 3);
    QCOMPARE(engine.GetColumnCount(), 3);
    QStringList list;
    QVERIFY(engine.ReadSheetToList(list));
    QCOMPARE(list, QStringList({"a^^b+=1^^2+" + longText, "Ünïcødé €++0012"}));
}

void ExcelEngineTest::independentReaderSeesOurTexts()
{
    if (!peersMissing.isEmpty())
        QSKIP(qPrintable(peersMissing));
    const QString path = Path("peer.xls");
    const QString longText = QString(3000, QChar('x')) + QString(5000, QChar(0x6587));
    std::unique_ptr<QStandardItemModel> model(
        Table({"名称", "公式"}, {{"中文", "=SUM(A1:A2)"}, {longText, "12.5"}}));
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        QVERIFY(engine.WriteTableToSheet(model.get()));
    }
    const QJsonArray sheets = PythonPeer::Dump(path);
    QCOMPARE(sheets.size(), 1);
    const QJsonObject cells = Cells(sheets, 0);
    QCOMPARE(cells.size(), 6);
    QCOMPARE(TextAt(cells, 1, 1), QStringLiteral("名称"));
    QCOMPARE(TextAt(cells, 2, 1), QStringLiteral("中文"));
    QCOMPARE(TextAt(cells, 2, 2), QStringLiteral("=SUM(A1:A2)"));
    QCOMPARE(TextAt(cells, 3, 1), longText);
    QCOMPARE(TextAt(cells, 3, 2), QStringLiteral("12.5"));
}

void ExcelEngineTest::everyCellWrittenWithTheGivenText()
{
    const QString path = Path("everycell.xls");
    std::unique_ptr<QStandardItemModel> model(
        Table({"a", "b", "c"}, {{"old0", "old1", "old2"}, {"", "", ""}}));
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        QVERIFY(engine.WriteTableToSheet(model.get()));
    }
    // A cell the table leaves empty clears what the file held there before.
    model->setItem(0, 1, new QStandardItem(QString()));
    model->setItem(1, 2, new QStandardItem(QStringLiteral("x")));
    {
        ExcelEngine engine(path);
        QVERIFY(!engine.WriteEveryCellToSheet(model.get(), {}));
        QVERIFY(engine.Open());
        QVERIFY(engine.WriteEveryCellToSheet(model.get(), [](const QModelIndex& index) {
            const QString text = index.data().toString();
            return index.column() == 2 ? text.toUpper() : text;
        }));
    }
    QCOMPARE(ReadList(path), (QStringList{"old0++OLD2", "++X"}));
}

void ExcelEngineTest::tableReadGoesBeforeExistingRows()
{
    const QString path = Path("before.xls");
    std::unique_ptr<QStandardItemModel> written(
        Table({"a", "b", "c"}, {{"1", "2", "3"}, {"4", "5", "6"}}));
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        QVERIFY(engine.WriteTableToSheet(written.get()));
    }
    // Two columns only: the third sheet column has nowhere to go.
    std::unique_ptr<QStandardItemModel> model(Table({"x", "y"}, {{"old", "row"}}));
    ExcelEngine engine(path);
    QVERIFY(engine.Open());
    QVERIFY(engine.ReadSheetToTable(model.get()));
    QVERIFY(!engine.ReadSheetToTable(nullptr));
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->columnCount(), 2);
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("1"));
    QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("5"));
    QCOMPARE(model->index(2, 0).data().toString(), QStringLiteral("old"));
}

void ExcelEngineTest::tableWidgetModelWorks()
{
    const QString path = Path("widget.xls");
    QTableWidget source(1, 2);
    source.setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("名称")));
    source.setHorizontalHeaderItem(1, new QTableWidgetItem(QStringLiteral("数量")));
    source.setItem(0, 0, new QTableWidgetItem(QStringLiteral("苹果")));
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        QVERIFY(engine.WriteTableToSheet(source.model()));
    }
    QTableWidget target(0, 2);
    ExcelEngine engine(path);
    QVERIFY(engine.Open());
    QVERIFY(engine.ReadSheetToTable(target.model()));
    QCOMPARE(target.rowCount(), 1);
    QVERIFY(target.item(0, 0));
    QCOMPARE(target.item(0, 0)->text(), QStringLiteral("苹果"));
}

void ExcelEngineTest::usedRangeStartingAtC5_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("xls") << "three_sheets.xls";
    QTest::newRow("xlsx") << "three_sheets.xlsx";
}

void ExcelEngineTest::usedRangeStartingAtC5()
{
    if (!peersMissing.isEmpty())
        QSKIP(qPrintable(peersMissing));
    QFETCH(QString, name);
    ExcelEngine engine(Path(name));
    QVERIFY2(engine.Open(1, false), qPrintable(engine.LastError()));
    QCOMPARE(engine.GetRowCount(), 16);
    QCOMPARE(engine.GetColumnCount(), 6);
    QStringList list;
    QVERIFY(engine.ReadSheetToList(list));
    QCOMPARE(list.size(), 15);
    // A real date reads as its day number; numbers in their plain form.
    QCOMPARE(list[0], QStringLiteral("苹果+12+12.5+41779++"));
    QCOMPARE(list[1], QStringLiteral("a^^b+3+0.1+2014-05-21++"));
    QCOMPARE(list[2], QStringLiteral("+++++"));
    QCOMPARE(list[14], QStringLiteral("+++++保留"));

    QStandardItemModel model(0, 3);
    QVERIFY(engine.ReadSheetToTable(&model));
    QCOMPARE(model.rowCount(), 15);
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("苹果"));
    QCOMPARE(model.index(1, 2).data().toString(), QStringLiteral("0.1"));
}

void ExcelEngineTest::numbersInTheGeneralFormat()
{
    if (!peersMissing.isEmpty())
        QSKIP(qPrintable(peersMissing));
    ExcelEngine engine(Path("numbers.xls"));
    QVERIFY2(engine.Open(), qPrintable(engine.LastError()));
    const QStringList texts = {"1e+20", "0.333333333333333",    "-0.05",
                               "1e-07", "1.23456789012346e+17", "2500000"};
    QStandardItemModel table(0, int(texts.size()));
    QVERIFY(engine.ReadSheetToTable(&table));
    QStringList read;
    for (int c = 0; c < table.columnCount(); ++c)
        read << table.item(0, c)->text();
    QCOMPARE(read, texts);
    // The "+" of an exponent is a "+" of the cell like any other.
    QStringList list;
    QVERIFY(engine.ReadSheetToList(list));
    QCOMPARE(list, QStringList(texts.join('+').replace("e+", "e^^")));
}

void ExcelEngineTest::writingIntoExistingKeepsTheRest_data()
{
    usedRangeStartingAtC5_data();
}

void ExcelEngineTest::writingIntoExistingKeepsTheRest()
{
    if (!peersMissing.isEmpty())
        QSKIP(qPrintable(peersMissing));
    QFETCH(QString, name);
    const QString path = Copy(name);
    const QByteArray head = Head(path).left(4);
    const QJsonArray before = PythonPeer::Dump(path);
    QCOMPARE(before.size(), 3);
    std::unique_ptr<QStandardItemModel> model(
        Table({"甲列", "乙列", "丙列"}, {{"新", "=A1", "x+y"}, {"", "", "第三行"}}));
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        QVERIFY2(engine.WriteTableToSheet(model.get()), qPrintable(engine.LastError()));
    }
    QCOMPARE(Head(path).left(4), head);
    const QJsonArray after = PythonPeer::Dump(path);
    QCOMPARE(after.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(after.at(i).toObject().value("name"), before.at(i).toObject().value("name"));
        if (i > 0)
            QCOMPARE(after.at(i), before.at(i));
    }
    QJsonObject expected = Cells(before, 0);
    expected.insert("1,1", QJsonArray{"text", "甲列"});
    expected.insert("1,2", QJsonArray{"text", "乙列"});
    expected.insert("1,3", QJsonArray{"text", "丙列"});
    expected.insert("2,1", QJsonArray{"text", "新"});
    expected.insert("2,2", QJsonArray{"text", "=A1"});
    expected.insert("2,3", QJsonArray{"text", "x+y"});
    expected.insert("3,3", QJsonArray{"text", "第三行"});
    QCOMPARE(Cells(after, 0), expected);

    // Written cells that overlap old ones replace them.
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        engine.SetCellData(6, 3, QStringLiteral("梨"));
        engine.SetCellData(7, 4, QString());
        QVERIFY(engine.Close());
    }
    const QJsonObject patched = Cells(PythonPeer::Dump(path), 0);
    QCOMPARE(TextAt(patched, 6, 3), QStringLiteral("梨"));
    QVERIFY(!patched.contains("7,4"));
    QCOMPARE(patched.value("6,4"), expected.value("6,4"));
}

void ExcelEngineTest::writingIntoXlsKeepsTheWorkbook()
{
    if (!peersMissing.isEmpty())
        QSKIP(qPrintable(peersMissing));
    const QString path = Copy("kept.xls");
    QList<int> formulasBefore;
    const QByteArray before = WorkbookStream(path, &formulasBefore);
    const QJsonArray formatsBefore = Formats(path);
    const QJsonArray cellsBefore = PythonPeer::Dump(path);
    QCOMPARE(formulasBefore, (QList<int>{0, 1, 1}));
    std::unique_ptr<QStandardItemModel> model(
        Table({"品名", "数量"}, {{"梨", "5"}, {"桃", "6"}, {QString(9000, QChar(0x6843)), "7"}}));
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        // Into the middle of a row of numbers stored as one record, and into a merged range.
        engine.SetCellData(6, 2, QStringLiteral("中间"));
        engine.SetCellData(1, 4, QStringLiteral("合并里"));
        QVERIFY2(engine.WriteTableToSheet(model.get()), qPrintable(engine.LastError()));
        QCOMPARE(engine.LastError(), QString());
    }
    QList<int> formulasAfter;
    const QByteArray after = WorkbookStream(path, &formulasAfter);
    QCOMPARE(formulasAfter, formulasBefore);
    // Merged ranges, fonts, number formats and column widths, as another reader sees them.
    QCOMPARE(Formats(path), formatsBefore);
    // The second sheet's records are copied byte for byte.
    const QByteArray otherBefore = before.mid(before.lastIndexOf(QByteArray("\x09\x08", 2)));
    QVERIFY(after.endsWith(otherBefore));

    const QJsonArray cellsAfter = PythonPeer::Dump(path);
    QCOMPARE(cellsAfter.at(1), cellsBefore.at(1));
    QJsonObject expected = Cells(cellsBefore, 0);
    for (const auto& [key, text] : std::initializer_list<std::pair<const char*, QString>>{
             {"1,1", "品名"},
             {"1,2", "数量"},
             {"1,4", "合并里"},
             {"2,1", "梨"},
             {"2,2", "5"},
             {"3,1", "桃"},
             {"3,2", "6"},
             {"4,1", QString(9000, QChar(0x6843))},
             {"4,2", "7"},
             {"6,2", "中间"}})
        expected.insert(key, QJsonArray{"text", text});
    QCOMPARE(Cells(cellsAfter, 0), expected);
    QCOMPARE(ReadList(path).value(4), QStringLiteral("10+中间+12+++"));
}

void ExcelEngineTest::xlsxPackageOtherPartsUnchanged()
{
    if (!peersMissing.isEmpty())
        QSKIP(qPrintable(peersMissing));
    const QString path = Copy("three_sheets.xlsx");
    const auto before = ZipParts(path);
    QVERIFY(before.contains("xl/worksheets/sheet1.xml"));
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        engine.SetCellData(21, 3, QStringLiteral("控制\x01字符 _x0041_"));
        engine.SetCellData(21, 4, QStringLiteral(" <&>\r\n中 "));
        QVERIFY(engine.Save());
    }
    const auto after = ZipParts(path);
    QCOMPARE(after.keys(), before.keys());
    for (const QString& part : before.keys()) {
        if (part != QLatin1String("xl/worksheets/sheet1.xml"))
            QVERIFY2(after.value(part) == before.value(part), qPrintable(part));
    }
    ExcelEngine engine(path);
    QVERIFY(engine.Open());
    QCOMPARE(engine.GetRowCount(), 17);
    QStringList list;
    engine.ReadSheetToList(list);
    QCOMPARE(list.size(), 16);
    QCOMPARE(list.last(), QStringLiteral("控制\x01字符 _x0041_+ <&>\r\n中 ++++"));
    QVERIFY(engine.Close());
    // Our reader undoes the escapes of characters XML cannot carry; openpyxl leaves them as
    // they are, so it checks the plain text only.
    QCOMPARE(TextAt(Cells(PythonPeer::Dump(path), 0), 21, 4), QStringLiteral(" <&>\r\n中 "));
}

void ExcelEngineTest::formulaCellsGiveCachedValues()
{
    if (!peersMissing.isEmpty())
        QSKIP(qPrintable(peersMissing));
    ExcelEngine engine(Path("formulas.xlsx"));
    QVERIFY2(engine.Open(), qPrintable(engine.LastError()));
    QCOMPARE(engine.GetRowCount(), 3);
    QStringList list;
    engine.ReadSheetToList(list);
    QCOMPARE(list, QStringList({"3+xy+TRUE", "7+tab\tend+0.001"}));
}

void ExcelEngineTest::xlsxSharedFormulaAndCalcChainStayConsistent()
{
    if (!peersMissing.isEmpty())
        QSKIP(qPrintable(peersMissing));
    const QString path = Copy("shared.xlsx");
    const auto before = ZipParts(path);
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        engine.SetCellData(1, 2, QStringLiteral("文本"));
        QVERIFY2(engine.Close(), qPrintable(engine.LastError()));
    }
    const auto after = ZipParts(path);
    // The cached order of calculation goes, with its relationship and content type.
    QVERIFY(!after.contains("xl/calcChain.xml"));
    QVERIFY(!after.value("xl/_rels/workbook.xml.rels").contains("calcChain"));
    QVERIFY(after.value("xl/_rels/workbook.xml.rels").contains("worksheets/sheet1.xml"));
    QVERIFY(!after.value("[Content_Types].xml").contains("calcChain"));
    QVERIFY(after.value("[Content_Types].xml").contains("/xl/worksheets/sheet1.xml"));
    QCOMPARE(after.value("xl/workbook.xml"), before.value("xl/workbook.xml"));
    // The group lost the cell holding its formula: the other cells get their own formulas.
    const QByteArray sheet = after.value("xl/worksheets/sheet1.xml");
    QVERIFY(!sheet.contains("t=\"shared\""));
    QVERIFY2(sheet.contains("<c r=\"B2\"><f>A2*2+$A$1</f><v>5</v></c>"), sheet.constData());
    QVERIFY(sheet.contains("<c r=\"B3\"><f>A3*2+$A$1</f><v>7</v></c>"));
    QVERIFY(sheet.contains("<f>SUM($A$1:A3)</f>"));
    QCOMPARE(ReadList(path), (QStringList{"2+5+", "3+7+"}));
}

void ExcelEngineTest::readingNeverRewritesTheFile()
{
    const QString path = Path("readonly.xls");
    std::unique_ptr<QStandardItemModel> model(Table({"a"}, {{"1"}}));
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        QVERIFY(engine.WriteTableToSheet(model.get()));
    }
    QFile::setPermissions(path, QFile::ReadOwner);
    const QDateTime modified = QFileInfo(path).lastModified();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    QTest::qWait(20);
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        QStringList list;
        QVERIFY(engine.ReadSheetToList(list));
        QVERIFY(engine.Save());
        QVERIFY(engine.Close());
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
}

void ExcelEngineTest::secondWriteAfterSaveIsNotLost()
{
    const QString path = Path("twice.xls");
    std::unique_ptr<QStandardItemModel> model(Table({"a"}, {{"1"}}));
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        QVERIFY(engine.WriteTableToSheet(model.get()));
        engine.SetCellData(3, 1, QStringLiteral("later"));
    }
    QCOMPARE(ReadList(path), QStringList({"1", "later"}));
}

void ExcelEngineTest::cellsWrittenInAnyOrderLastTextWins()
{
    const QString path = Path("any_order.xls");
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        engine.SetCellData(3, 1, QStringLiteral("old"));
        engine.SetCellData(3, 2, QStringLiteral("x"));
        engine.SetCellData(1, 2, QStringLiteral("h"));
        engine.SetCellData(3, 1, QStringLiteral("c"));
        engine.SetCellData(1, 1, QStringLiteral("a"));
        engine.SetCellData(2, 3, QStringLiteral("y"));
        engine.SetCellData(1, 1, QStringLiteral("A"));
        engine.SetCellData(2, 3, QString());
        QVERIFY(engine.Close());
    }
    ExcelEngine engine(path);
    QVERIFY(engine.Open());
    QCOMPARE(engine.GetRowCount(), 3);
    QCOMPARE(engine.GetColumnCount(), 2);
    QStandardItemModel model(0, 2);
    QVERIFY(engine.ReadSheetToTable(&model));
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.index(0, 0).data().toString(), QString());
    QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("c"));
    QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("x"));
    QStringList list;
    QVERIFY(engine.ReadSheetToList(list));
    QCOMPARE(list, QStringList({"+", "c+x"}));
}

void ExcelEngineTest::biffRowLimit()
{
    const QString path = Path("limit.xls");
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        engine.SetCellData(1, 1, QStringLiteral("头"));
        engine.SetCellData(65536, 1, QStringLiteral("最后一行"));
        QVERIFY(engine.Save());
    }
    QCOMPARE(ReadList(path).value(65534), QStringLiteral("最后一行"));

    const QString tooLong = Path("toolong.xls");
    QStandardItemModel model(65536, 1);
    model.setHorizontalHeaderLabels({"a"});
    for (int r = 0; r < model.rowCount(); ++r)
        model.setItem(r, 0, new QStandardItem(QString::number(r)));
    ExcelEngine engine(tooLong);
    QVERIFY(engine.Open());
    QVERIFY(!engine.WriteTableToSheet(&model));
    QVERIFY(engine.LastError().contains("65536"));
    QVERIFY(!engine.Close());
    QVERIFY(!QFileInfo::exists(tooLong));
}

void ExcelEngineTest::failuresGiveReasons()
{
    const QString text = Path("notes.txt");
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("just some notes\n");
    file.close();
    const QString missingSheet = Path("one_sheet.xls");
    {
        ExcelEngine engine(missingSheet);
        QVERIFY(engine.Open());
        engine.SetCellData(1, 1, "x");
    }
    for (const auto& [path, sheet] : {std::pair{text, 1},
                                      {QString(), 1},
                                      {dir.path(), 1},
                                      {missingSheet, 2},
                                      {missingSheet, 0}}) {
        ExcelEngine engine(path);
        QVERIFY(!engine.Open(sheet, false));
        QVERIFY(!engine.IsOpen());
        QVERIFY2(!engine.LastError().isEmpty(), qPrintable(path));
        QStringList list;
        QVERIFY(engine.ReadSheetToList(list));
        QVERIFY(list.isEmpty());
        QStandardItemModel model(0, 1);
        QVERIFY(!engine.WriteTableToSheet(&model));
    }
    QCOMPARE(Head(text), QByteArray("just som"));
}

void ExcelEngineTest::enormousUsedRangeIsRefused()
{
    if (!peersMissing.isEmpty())
        QSKIP(qPrintable(peersMissing));
    const QString path = Path("huge_range.xlsx");
    const QByteArray before = ZipParts(path).value("xl/worksheets/sheet1.xml");
    ExcelEngine engine(path);
    QVERIFY(!engine.Open());
    QVERIFY(!engine.IsOpen());
    QVERIFY2(engine.LastError().contains(QStringLiteral("过大")), qPrintable(engine.LastError()));
    QStringList list;
    QVERIFY(engine.ReadSheetToList(list));
    QVERIFY(list.isEmpty());
    QVERIFY(engine.Close());
    QCOMPARE(ZipParts(path).value("xl/worksheets/sheet1.xml"), before);
}

QTEST_MAIN(ExcelEngineTest)
#include "tst_excelengine.moc"
