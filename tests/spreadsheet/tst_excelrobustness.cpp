#include "BiffRecords.h"
#include "CompoundFile.h"
#include "ExcelEngine.h"
#include "PythonPeer.h"
#include "SharedFormula.h"
#include "XlsxSheetReader.h"
#include "ZipPackage.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

namespace
{

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray Worksheet(const QByteArray& sheetData)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<worksheet "
           "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" +
           sheetData + "</sheetData></worksheet>";
}

// "row,column=value" for each cell read, in row-major order.
QStringList ReadBack(const QByteArray& xml, const QStringList& strings, bool& read)
{
    SheetCells cells;
    read = XlsxSheetReader::ReadCells(xml, strings, false, cells);
    QStringList found;
    cells.ForEach([&found](int row, int column, const CellValue& value) {
        found << QStringLiteral("%1,%2=%3").arg(row).arg(column).arg(value.Display());
    });
    return found;
}

} // namespace

// Damaged, cut and hostile files: the engine refuses them with a reason or reads what is
// there, and never crashes or hangs.
class ExcelRobustnessTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void truncatedFiles_data();
    void truncatedFiles();
    void flippedBytes_data();
    void flippedBytes();
    void damagedSheetXml();
    void passwordProtectedWorkbook();
    void overlongTextFailsCleanly();
    void sheetXmlShapes_data();
    void sheetXmlShapes();
    void sharedStringsKeepRunsAndSkipPhonetics();
    void sharedFormulasMove_data();
    void sharedFormulasMove();
    void malformedSheetXmlIsRefused_data();
    void malformedSheetXmlIsRefused();

private:
    // Opens, reads both ways and writes into the file; returns whether it opened.
    bool Exercise(const QString& path);
    void Sources();

    QTemporaryDir dir;
    QStringList sources;
};

void ExcelRobustnessTest::initTestCase()
{
    QVERIFY(dir.isValid());
    const QString ours = dir.filePath("ours.xls");
    QStandardItemModel model(40, 5);
    model.setHorizontalHeaderLabels({"名称", "型号", "数量", "单价", "备注"});
    for (int r = 0; r < model.rowCount(); ++r) {
        for (int c = 0; c < model.columnCount(); ++c)
            model.setItem(r, c, new QStandardItem(QStringLiteral("值%1-%2").arg(r).arg(c)));
    }
    model.setItem(3, 4, new QStandardItem(QString(3000, QChar(0x5907))));
    ExcelEngine engine(ours);
    QVERIFY(engine.Open());
    QVERIFY(engine.WriteTableToSheet(&model));
    sources << ours;
    if (PythonPeer::Missing().isEmpty()) {
        QByteArray output;
        QVERIFY2(PythonPeer::Run(QStringLiteral("make_workbooks.py"), {dir.path()}, output),
                 output.constData());
        sources << dir.filePath("three_sheets.xls") << dir.filePath("three_sheets.xlsx");
    }
}

bool ExcelRobustnessTest::Exercise(const QString& path)
{
    ExcelEngine engine(path);
    const bool opened = engine.Open(1, false);
    if (!opened) {
        [&] { QVERIFY2(!engine.LastError().isEmpty(), qPrintable(path)); }();
        return false;
    }
    QStringList list;
    engine.ReadSheetToList(list);
    QStandardItemModel model(0, 4);
    engine.ReadSheetToTable(&model);
    engine.SetCellData(1, 1, QStringLiteral("写入"));
    engine.Close();
    return true;
}

void ExcelRobustnessTest::Sources()
{
    QTest::addColumn<QString>("source");
    for (const QString& source : sources)
        QTest::newRow(qPrintable(source.section('/', -1))) << source;
}

void ExcelRobustnessTest::truncatedFiles_data()
{
    Sources();
}

void ExcelRobustnessTest::truncatedFiles()
{
    QFETCH(QString, source);
    const QByteArray whole = ReadAll(source);
    QVERIFY(Exercise(source));
    int refused = 0;
    const QString path = dir.filePath("cut");
    for (qsizetype length = 0; length < whole.size();
         length += std::max<qsizetype>(1, whole.size() / 97)) {
        WriteAll(path, whole.left(length));
        refused += Exercise(path) ? 0 : 1;
    }
    QVERIFY(refused > 0);
}

void ExcelRobustnessTest::flippedBytes_data()
{
    Sources();
}

void ExcelRobustnessTest::flippedBytes()
{
    QFETCH(QString, source);
    const QByteArray whole = ReadAll(source);
    QRandomGenerator random(20240601);
    const QString path = dir.filePath("flipped");
    for (int round = 0; round < 300; ++round) {
        QByteArray damaged = whole;
        const int flips = 1 + int(random.bounded(8));
        for (int i = 0; i < flips; ++i)
            damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
        WriteAll(path, damaged);
        Exercise(path);
    }
}

void ExcelRobustnessTest::damagedSheetXml()
{
    if (!sources.contains(dir.filePath("three_sheets.xlsx")))
        QSKIP("no .xlsx input without the independent writers");
    const ZipPackage package(dir.filePath("three_sheets.xlsx"));
    const QString part = QStringLiteral("xl/worksheets/sheet1.xml");
    QByteArray xml;
    QString error;
    QVERIFY(package.Read(part, xml, error));
    QRandomGenerator random(7);
    const QString path = dir.filePath("damaged.xlsx");
    int refused = 0;
    for (int round = 0; round < 200; ++round) {
        QByteArray damaged = xml;
        if (round % 2)
            damaged.truncate(random.bounded(int(xml.size())));
        else
            damaged[random.bounded(int(xml.size()))] = "<>\"/=r 9Z&"[random.bounded(10)];
        QVERIFY(package.CopyTo(path, {{part, damaged}}, error));
        refused += Exercise(path) ? 0 : 1;
    }
    QVERIFY(refused > 0);
    // Cell references far beyond the sheet's limits are refused, not allocated.
    QByteArray huge = xml;
    huge.replace("r=\"H20\"", "r=\"XFE1048577\"");
    QVERIFY(package.CopyTo(path, {{part, huge}}, error));
    QVERIFY(!Exercise(path));
}

void ExcelRobustnessTest::passwordProtectedWorkbook()
{
    QByteArray stream;
    BiffRecords records(stream);
    QByteArray bof;
    for (const quint16 value : {0x0600, 0x0005, 0x0DBB, 0x07CC})
        BiffRecords::U16(bof, value);
    BiffRecords::U32(bof, 0);
    BiffRecords::U32(bof, 6);
    records.Append(0x0809, bof);
    // An RC4-encrypted workbook announces itself right after its first record.
    QByteArray filePass;
    BiffRecords::U16(filePass, 1);
    filePass.append(QByteArray(52, '\x11'));
    records.Append(0x002F, filePass);
    records.Append(0x000A, {});
    stream.append(QByteArray(4096, '\0'));
    const QString path = dir.filePath("protected.xls");
    WriteAll(path, CompoundFile::Build(stream));
    ExcelEngine engine(path);
    QVERIFY(!engine.Open());
    QVERIFY2(engine.LastError().contains(QStringLiteral("密码")), qPrintable(engine.LastError()));
}

void ExcelRobustnessTest::overlongTextFailsCleanly()
{
    const QString path = dir.filePath("overlong.xls");
    ExcelEngine engine(path);
    QVERIFY(engine.Open());
    engine.SetCellData(1, 1, QString(32768, QChar('x')));
    QVERIFY(!engine.Save());
    QVERIFY(engine.LastError().contains("32767"));
    QVERIFY(!QFile::exists(path));
    // The longest text the format holds, over several records, in both character widths.
    const QString longest = QString(20000, QChar('x')) + QString(12767, QChar(0x6587));
    engine.SetCellData(1, 1, longest);
    engine.SetCellData(2, 1, QString(32767, QChar(0x6587)));
    QVERIFY(engine.Close());
    QVERIFY(engine.LastError().isEmpty());
    ExcelEngine reader(path);
    QVERIFY(reader.Open());
    QStandardItemModel model(0, 1);
    QVERIFY(reader.ReadSheetToTable(&model));
    QCOMPARE(model.index(0, 0).data().toString(), QString(32767, QChar(0x6587)));
    if (!PythonPeer::Missing().isEmpty())
        QSKIP(qPrintable(PythonPeer::Missing()));
    const QJsonObject cells = PythonPeer::Dump(path).at(0).toObject().value("cells").toObject();
    QCOMPARE(cells.value("1,1").toArray().at(1).toString(), longest);
    QCOMPARE(cells.value("2,1").toArray().at(1).toString(), QString(32767, QChar(0x6587)));
}

void ExcelRobustnessTest::sheetXmlShapes_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("escapes and kept blanks")
        << Worksheet("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t xml:space=\"preserve\"> "
                     "a&amp;b &lt;&#x4E2D;&#25991;_x0041_&gt; </t></is></c></row>")
        << QStringList{QStringLiteral("1,1= a&b <中文A> ")};
    QTest::newRow("values of every kind")
        << Worksheet("<row r=\"3\"><c r=\"A3\"><f>SUM(B1:B2)</f><v>3</v></c><c r=\"B3\" "
                     "t=\"b\"><v>1</v></c><c r=\"C3\" s=\"1\"/><!-- a note --><c r=\"D3\" "
                     "t=\"e\"><v>#N/A</v></c><c r=\"E3\" t=\"inlineStr\"><is><t><![CDATA[<raw> "
                     "&]]></t></is></c><c r=\"F3\" t=\"str\"><f>A1</f><v>a\r\nb&#13;</v></c><c "
                     "r=\"G3\" t=\"d\"><v>2014-05-20</v></c><c r=\"H3\"><v> 1E-3 </v></c><c "
                     "r=\"I3\" t=\"inlineStr\"><is><r><t>x</t></r><r><t>y</t></r></is></c></row>")
        << QStringList{"3,1=3",      "3,2=TRUE",  "3,4=#N/A",  "3,5=<raw> &",
                       "3,6=a\nb\r", "3,7=41779", "3,8=0.001", "3,9=xy"};
    QTest::newRow("prefixes and positions left implicit")
        << QByteArray("<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/"
                      "2006/main\"><x:sheetData><x:row><x:c><x:v>1</x:v></x:c><x:c "
                      "t='inlineStr'><x:is><x:t>\xE4\xB8\xAD</x:t></x:is></x:c></x:row><x:row "
                      "r=\"4\" spans=\"1:2\" ><x:c r=\"B4\" ><x:v>2.5</x:v></x:c><x:c><x:v>7</x:v>"
                      "</x:c></x:row></x:sheetData></x:worksheet>")
        << QStringList{"1,1=1", QStringLiteral("1,2=中"), "4,2=2.5", "4,3=7"};
}

void ExcelRobustnessTest::sheetXmlShapes()
{
    QFETCH(QByteArray, xml);
    QFETCH(QStringList, cells);
    bool read = false;
    QCOMPARE(ReadBack(xml, {}, read), cells);
    QVERIFY(read);
}

void ExcelRobustnessTest::sharedStringsKeepRunsAndSkipPhonetics()
{
    QStringList strings;
    QVERIFY(XlsxSheetReader::ReadSharedStrings(
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><r><t>\xE5"
        "\x8C\x97</t></r><r><rPr><b/></rPr><t>x&quot;y</t></r><rPh sb=\"0\" "
        "eb=\"1\"><t>ignored</t></rPh></si><si><t>_x0009_</t></si></sst>",
        strings));
    QCOMPARE(strings, (QStringList{QStringLiteral("北x\"y"), QStringLiteral("\t")}));
    bool read = false;
    QCOMPARE(ReadBack(Worksheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c><c r=\"B1\" "
                                "t=\"s\"><v>0</v></c><c r=\"C1\" t=\"s\"><v>2</v></c></row>"),
                      strings, read),
             (QStringList{"1,1=\t", QStringLiteral("1,2=北x\"y")}));
    QVERIFY(read);
}

void ExcelRobustnessTest::sharedFormulasMove_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("moved");
    QTest::newRow("relative") << "A1*2" << 1 << 0 << "A2*2";
    QTest::newRow("anchored parts stay")
        << "SUM($A$1:A1)+B$2+$C3" << 2 << 1 << "SUM($A$1:B3)+C$2+$C5";
    QTest::newRow("sheets, texts, functions") << "Sheet2!B3+'My Sheet'!C4&\"A1\"&LOG10(A1)" << 1
                                              << 1 << "Sheet2!C4+'My Sheet'!D5&\"A1\"&LOG10(B2)";
    QTest::newRow("whole columns and rows")
        << "SUM(A:A)+SUM(1:$1)" << 1 << 1 << "SUM(B:B)+SUM(2:$1)";
    QTest::newRow("off the sheet") << "A1+XFD1" << -1 << 1 << "#REF!+#REF!";
    QTest::newRow("table columns and numbers")
        << "Table1[Col1]*1.5E+3" << 3 << 3 << "Table1[Col1]*1.5E+3";
}

void ExcelRobustnessTest::sharedFormulasMove()
{
    QFETCH(QString, formula);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QString, moved);
    QCOMPARE(SharedFormula::Shift(formula, rows, columns), moved);
}

void ExcelRobustnessTest::malformedSheetXmlIsRefused_data()
{
    QTest::addColumn<QByteArray>("xml");
    const QByteArray cell = "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";
    QTest::newRow("mismatched end") << Worksheet("<row r=\"1\"><c r=\"A1\"><v>1</v></row>");
    QTest::newRow("cut short") << Worksheet(cell).chopped(5);
    QTest::newRow("unknown reference") << Worksheet(cell).replace("<v>1", "<v>&one;");
    QTest::newRow("raw control character") << Worksheet(cell).replace("<v>1", "<v>\x01");
    QTest::newRow("unquoted attribute") << Worksheet(cell).replace("\"A1\"", "A1");
    QTest::newRow("less-than in attribute") << Worksheet(cell).replace("\"A1\"", "\"<A1\"");
    QTest::newRow("second root") << Worksheet(cell) + "<worksheet/>";
    QTest::newRow("text after root") << Worksheet(cell) + "x";
    QTest::newRow("bad reference") << Worksheet(cell).replace("A1", "A0");
    QTest::newRow("row number past the last row")
        << Worksheet("<row r=\"2147483647\"><c><v>1</v></c></row><row><c><v>2</v></c></row>");
    QTest::newRow("row after the last row")
        << Worksheet("<row r=\"1048576\"><c><v>1</v></c></row><row><c><v>2</v></c></row>");
    QTest::newRow("row number not a number") << Worksheet(cell).replace("r=\"1\"", "r=\"x\"");
    QTest::newRow("cell after the last column")
        << Worksheet("<row r=\"1\"><c r=\"XFD1\"><v>1</v></c><c><v>2</v></c></row>");
}

void ExcelRobustnessTest::malformedSheetXmlIsRefused()
{
    QFETCH(QByteArray, xml);
    bool read = true;
    ReadBack(xml, {}, read);
    QVERIFY(!read);
}

QTEST_GUILESS_MAIN(ExcelRobustnessTest)
#include "tst_excelrobustness.moc"
