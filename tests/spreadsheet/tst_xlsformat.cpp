#include "BiffBook.h"
#include "CompoundFile.h"
#include "CompoundReader.h"
#include "ExcelEngine.h"
#include "NumberFormats.h"
#include "PythonPeer.h"
#include "XlsPatcher.h"
#include "XlsReader.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace
{

using B = BiffBook;

// "row,column=value" for every cell of the sheet.
QStringList Dump(const Sheet& sheet)
{
    QStringList found;
    sheet.cells.ForEach([&found](int row, int column, const CellValue& value) {
        found << QStringLiteral("%1,%2=%3").arg(row).arg(column).arg(value.Display());
    });
    return found;
}

bool Read(const QByteArray& stream, Workbook& workbook, QString& error)
{
    XlsStructure structure;
    return XlsReader::ReadStream(stream, workbook, structure, error);
}

QStringList ReadSheet(const B& book, bool* ok = nullptr)
{
    Workbook workbook;
    QString error;
    const bool read = Read(book.Stream(), workbook, error);
    if (ok)
        *ok = read;
    if (!read)
        qWarning("%s", qPrintable(error));
    return read && !workbook.sheets.isEmpty() ? Dump(workbook.sheets[0]) : QStringList();
}

QString LongText(qsizetype length, char16_t first)
{
    QString text;
    for (qsizetype i = 0; i < length; ++i)
        text += QChar(char16_t(first + i % 26));
    return text;
}

// The records of a stream by their offsets.
QList<qsizetype> RecordOffsets(const QByteArray& stream)
{
    QList<qsizetype> offsets;
    for (qsizetype at = 0; at + 4 <= stream.size();
         at += 4 + qFromLittleEndian<quint16>(stream.constData() + at + 2))
        offsets.append(at);
    return offsets;
}

// The offset of the first record of `type` at or after `from`, -1 when there is none.
qsizetype FindRecord(const QByteArray& stream, quint16 type, qsizetype from = 0)
{
    for (const qsizetype at : RecordOffsets(stream)) {
        if (at >= from && qFromLittleEndian<quint16>(stream.constData() + at) == type)
            return at;
    }
    return -1;
}

// Two sheets as a spreadsheet program writes them: a rich shared string with its lookup table
// (EXTSST), row-block indexes (INDEX, DBCELL) with stream offsets, a row of numbers in one
// record, a shared formula and an array formula.
QByteArray FormattedBook()
{
    B book;
    const QByteArray rich = B::U16(4) + char(0x08) + B::U16(1) + "bold" + B::U16(0) + B::U16(5);
    book.sst = B::Record(0x00FC, B::U32(3) + B::U32(2) + rich + B::String("plain")) +
               B::Record(0x00FF, B::U16(8) + B::U32(0) + B::U16(12) + B::U16(0));
    const QByteArray index = B::Record(0x020B, QByteArray(12, '\0') + B::U32(0) + B::U32(0));
    const QByteArray row = B::Record(0x0208, B::U16(0) + B::U16(0) + B::U16(1) + B::U16(255) +
                                                 QByteArray(4, '\0') + B::U32(0x100));
    QByteArray first =
        index + B::Record(0x0055, B::U16(8)) + B::Record(0x0200, QByteArray(14, '\0')) + row;
    first += B::Cell(0x00FD, 0, 0, 15, B::U32(0));
    first +=
        B::Record(0x00BD, B::U16(1) + B::U16(0) + B::U16(15) + B::U32(1u << 2 | 2) + B::U16(15) +
                              B::U32(2u << 2 | 2) + B::U16(15) + B::U32(3u << 2 | 2) + B::U16(2));
    first += B::Formula(2, 0, 15, B::F64(1));
    first += B::Record(0x04BC, B::U16(2) + B::U16(3) + char(0) + char(0) + QByteArray(4, '\0'));
    first += B::Formula(3, 0, 15, B::F64(1));
    first += B::Formula(4, 0, 15, B::F64(2));
    first += B::Record(0x0221, B::U16(4) + B::U16(5) + char(0) + char(1) + QByteArray(6, '\0'));
    first += B::Record(0x00D7, B::U32(0) + B::U16(0));
    first += B::Record(0x023E, QByteArray(18, '\0'));
    QByteArray second = index + B::Record(0x0055, B::U16(8)) +
                        B::Cell(0x00FD, 0, 0, 15, B::U32(1)) +
                        B::Record(0x00D7, B::U32(0) + B::U16(0));
    book.sheets = {first, second};
    QByteArray stream = book.Stream();
    // The second sheet's index points at its DEFCOLWIDTH and DBCELL records.
    const qsizetype sheet = FindRecord(stream, 0x0809, FindRecord(stream, 0x00D7) + 1);
    const qsizetype at = FindRecord(stream, 0x020B, sheet);
    qToLittleEndian<quint32>(quint32(FindRecord(stream, 0x0055, sheet)), stream.data() + at + 16);
    qToLittleEndian<quint32>(quint32(FindRecord(stream, 0x00D7, sheet)), stream.data() + at + 20);
    return stream;
}

CellWrites Writes(const QList<std::tuple<int, int, QString>>& cells)
{
    CellWrites writes;
    for (const auto& [row, column, text] : cells)
        writes.Put(row, column, text);
    return writes;
}

} // namespace

// The Excel 97-2003 reader and the writer into existing workbooks: every cell record kind,
// cached formula results, texts over several records, damaged streams refused with a reason
// rather than crashing, and writes that keep every other record.
class XlsFormatTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cellRecordsOfEveryKind();
    void formulaResults();
    void sharedStringsAcrossContinues_data();
    void sharedStringsAcrossContinues();
    void dateSystemAndFormats_data();
    void dateSystemAndFormats();
    void refusedWithReason_data();
    void refusedWithReason();
    void damagedCorpus_data();
    void damagedCorpus();
    void randomMutations_data();
    void randomMutations();
    void filesOfOtherPrograms();
    void writeKeepsRecordsAndMovesOffsets();
    void writesThatBreakFormulasAreRefused_data();
    void writesThatBreakFormulasAreRefused();
    void officeReopensWrittenFile();
    void otherContainerEntriesAreKept();

private:
    void Sources();

    QTemporaryDir dir;
    // Workbook streams written by our writer and by other programs.
    QList<QPair<QString, QByteArray>> streams;
    QString officeMissing;
};

void XlsFormatTest::initTestCase()
{
    QVERIFY(dir.isValid());
    const QString ours = dir.filePath("ours.xls");
    {
        ExcelEngine engine(ours);
        QVERIFY(engine.Open());
        for (int r = 1; r <= 30; ++r) {
            for (int c = 1; c <= 6; ++c)
                engine.SetCellData(r, c, QStringLiteral("值%1-%2").arg(r).arg(c));
        }
        engine.SetCellData(31, 1, LongText(20000, u'a'));
        QVERIFY(engine.Close());
    }
    QStringList files{ours};
    if (PythonPeer::Missing().isEmpty()) {
        QByteArray output;
        QVERIFY2(PythonPeer::Run(QStringLiteral("make_workbooks.py"), {dir.path()}, output),
                 output.constData());
        files << dir.filePath("three_sheets.xls") << dir.filePath("dates1904.xls");
    }
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    officeMissing =
        office.isEmpty() ? QStringLiteral("LibreOffice (soffice) is not installed") : QString();
    if (officeMissing.isEmpty() && PythonPeer::Missing().isEmpty()) {
        QProcess convert;
        convert.start(office, {"-env:UserInstallation=file://" + dir.filePath("office-profile"),
                               "--headless", "--convert-to", "xls", "--outdir",
                               dir.filePath("office"), dir.filePath("office_source.xlsx")});
        QVERIFY(convert.waitForFinished(180000));
        if (QFile::exists(dir.filePath("office/office_source.xls")))
            files << dir.filePath("office/office_source.xls");
        else
            officeMissing = QStringLiteral("LibreOffice could not convert: ") +
                            QString::fromLocal8Bit(convert.readAllStandardError());
    }
    for (const QString& file : files) {
        QString name;
        QByteArray stream;
        QString error;
        QVERIFY2(CompoundReader::ReadWorkbook(file, name, stream, error), qPrintable(error));
        streams.append({file.section('/', -1), stream});
    }
}

void XlsFormatTest::cellRecordsOfEveryKind()
{
    B book;
    book.sst = B::SharedStrings({"共享", "a+b"}, 8224, false);
    QByteArray cells = B::Record(0x0200, B::U32(0) + B::U32(1) + B::U16(0) + B::U16(1) + B::U16(0));
    cells += B::Cell(0x00FD, 0, 0, 15, B::U32(0));
    cells += B::Cell(0x0204, 0, 1, 15, B::String(QStringLiteral("标签")));
    cells += B::Cell(0x00D6, 0, 2, 15, B::String("rich") + B::U16(1) + B::U32(0));
    cells += B::Cell(0x0203, 1, 0, 15, B::F64(12.5));
    // RK: an integer, an integer in hundredths, a float's high half, a float in hundredths.
    cells += B::Cell(0x027E, 1, 1, 15, B::U32(quint32(-7) << 2 | 0x02));
    cells += B::Cell(0x027E, 1, 2, 15, B::U32(1234u << 2 | 0x03));
    quint64 bits;
    const double half = 0.5;
    std::memcpy(&bits, &half, 8);
    const quint32 high = quint32(bits >> 32);
    cells += B::Cell(0x027E, 1, 3, 15, B::U32(high));
    cells += B::Cell(0x027E, 1, 4, 15, B::U32(high | 0x01));
    // A row of numbers in one record, then blanks that hold no value.
    cells += B::Record(0x00BD, B::U16(2) + B::U16(3) + B::U16(15) + B::U32(5u << 2 | 0x02) +
                                   B::U16(15) + B::U32(6u << 2 | 0x02) + B::U16(15) +
                                   B::U32(700u << 2 | 0x03) + B::U16(5));
    cells += B::Cell(0x0201, 2, 6, 15, {});
    cells += B::Record(0x00BE, B::U16(2) + B::U16(7) + B::U16(15) + B::U16(15) + B::U16(8));
    cells += B::Cell(0x0205, 3, 0, 15, QByteArray("\x01\x00", 2));
    cells += B::Cell(0x0205, 3, 1, 15, QByteArray("\x00\x00", 2));
    cells += B::Cell(0x0205, 3, 2, 15, QByteArray("\x2A\x01", 2));
    cells += B::Cell(0x00FD, 3, 255, 15, B::U32(1));
    // An embedded chart's records are no cells of the sheet.
    cells += B::Record(0x0809, B::U16(0x0600) + B::U16(0x0020) + QByteArray(12, '\0'));
    cells += B::Cell(0x0203, 9, 0, 15, B::F64(99));
    cells += B::Record(0x000A, {});
    book.sheets = {cells};
    bool ok = false;
    QCOMPARE(ReadSheet(book, &ok),
             (QStringList{"1,1=共享", "1,2=标签", "1,3=rich", "2,1=12.5", "2,2=-7", "2,3=12.34",
                          "2,4=0.5", "2,5=0.005", "3,4=5", "3,5=6", "3,6=7", "4,1=TRUE",
                          "4,2=FALSE", "4,3=#N/A", "4,256=a+b"}));
    QVERIFY(ok);
}

void XlsFormatTest::formulaResults()
{
    const QString text = LongText(9000, u'A');
    B book;
    QByteArray cells;
    cells += B::Formula(0, 0, 15, B::F64(41779));
    cells += B::Formula(0, 1, 0, QByteArray("\x00\x00\x00\x00\x00\x00\xFF\xFF", 8));
    // The master cell of a shared formula: its cached text comes after the shared formula.
    cells += B::Record(0x04BC, QByteArray(10, '\0'));
    const QByteArray string = B::String(text);
    cells += B::Record(0x0207, string.left(8000));
    cells += B::Record(0x003C, char(0) + string.mid(8000));
    cells += B::Formula(0, 2, 0, QByteArray("\x01\x00\x01\x00\x00\x00\xFF\xFF", 8));
    cells += B::Formula(0, 3, 0, QByteArray("\x01\x00\x00\x00\x00\x00\xFF\xFF", 8));
    cells += B::Formula(0, 4, 0, QByteArray("\x02\x00\x07\x00\x00\x00\xFF\xFF", 8));
    // An empty text result, and a text whose STRING record went missing: both no value.
    cells += B::Formula(0, 5, 0, QByteArray("\x03\x00\x00\x00\x00\x00\xFF\xFF", 8));
    cells += B::Formula(0, 6, 0, QByteArray("\x00\x00\x00\x00\x00\x00\xFF\xFF", 8));
    cells += B::Cell(0x0203, 0, 7, 0, B::F64(1));
    cells += B::Record(0x0207, B::String("stray"));
    book.sheets = {cells};
    bool ok = false;
    const QStringList read = ReadSheet(book, &ok);
    QVERIFY(ok);
    QCOMPARE(read, (QStringList{"1,1=41779", "1,2=" + text, "1,3=TRUE", "1,4=FALSE", "1,5=#DIV/0!",
                                "1,8=1"}));
}

void XlsFormatTest::sharedStringsAcrossContinues_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("chunk");
    QTest::addColumn<bool>("alternate");
    QTest::newRow("12000 one-byte characters over two records")
        << QStringList{"x", LongText(12000, u'a'), "y"} << 8224 << false;
    QTest::newRow("7000 Chinese characters over two records")
        << QStringList{LongText(7000, u'中')} << 8224 << false;
    QTest::newRow("widths switching over five records")
        << QStringList{"head", LongText(30000, u'a'), QStringLiteral("尾")} << 8224 << true;
    QTest::newRow("many texts, small records") << [] {
        QStringList texts;
        for (int i = 0; i < 500; ++i)
            texts << LongText(i % 37, i % 2 ? u'a' : u'文');
        return texts;
    }() << 101 << true;
}

void XlsFormatTest::sharedStringsAcrossContinues()
{
    QFETCH(QStringList, texts);
    QFETCH(int, chunk);
    QFETCH(bool, alternate);
    B book;
    book.sst = B::SharedStrings(texts, chunk, alternate);
    QByteArray cells;
    QStringList expected;
    for (int i = 0; i < texts.size(); ++i) {
        cells += B::Cell(0x00FD, i, 0, 15, B::U32(quint32(i)));
        if (!texts[i].isEmpty())
            expected << QStringLiteral("%1,1=%2").arg(i + 1).arg(texts[i]);
    }
    book.sheets = {cells};
    bool ok = false;
    QCOMPARE(ReadSheet(book, &ok), expected);
    QVERIFY(ok);
}

void XlsFormatTest::dateSystemAndFormats_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("type");
    QTest::newRow("general") << "General" << int(CellValue::Type::Number);
    QTest::newRow("amount") << "#,##0.00;[Red]-#,##0.00" << int(CellValue::Type::Number);
    QTest::newRow("date") << "yyyy\\-mm\\-dd;@" << int(CellValue::Type::Date);
    QTest::newRow("chinese date") << "yyyy\"年\"m\"月\"d\"日\"" << int(CellValue::Type::Date);
    QTest::newRow("quoted letters") << "0.0\" days\"" << int(CellValue::Type::Number);
    QTest::newRow("elapsed hours") << "[h]" << int(CellValue::Type::Time);
    QTest::newRow("date and time") << "yyyy-mm-dd hh:mm" << int(CellValue::Type::DateTime);
}

void XlsFormatTest::dateSystemAndFormats()
{
    QFETCH(QString, code);
    QFETCH(int, type);
    QCOMPARE(int(NumberFormats::TypeOfCode(code)), type);

    B book;
    book.dateSystem1904 = true;
    book.sheets = {B::Cell(0x0203, 0, 0, 15, B::F64(40317)) +
                   B::Cell(0x0203, 0, 1, 0, B::F64(40317.25))};
    Workbook workbook;
    QString error;
    QVERIFY2(Read(book.Stream(), workbook, error), qPrintable(error));
    QVERIFY(workbook.dateSystem1904);
    // Day numbers of the workbook's own date system, as they are stored.
    QCOMPARE(Dump(workbook.sheets[0]), (QStringList{"1,1=40317", "1,2=40317.25"}));
    QCOMPARE(int(workbook.sheets[0].cells.Find(1, 1)->type), int(CellValue::Type::Date));
    QCOMPARE(int(workbook.sheets[0].cells.Find(1, 2)->type), int(CellValue::Type::Number));
}

void XlsFormatTest::refusedWithReason_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QString>("reason");
    B book;
    book.sst = B::SharedStrings({"a"}, 8224, false);
    book.sheets = {B::Cell(0x00FD, 0, 0, 15, B::U32(0))};
    const QByteArray good = book.Stream();
    const QList<qsizetype> offsets = RecordOffsets(good);
    const qsizetype sheetStart =
        qFromLittleEndian<quint32>(good.constData() + good.indexOf("S1") - 8);

    QByteArray biff5 = good;
    biff5[4] = 0x00;
    biff5[5] = 0x05;
    QTest::newRow("Excel 95") << biff5 << "Excel 5.0/95";
    QByteArray protectedBook = good;
    protectedBook.insert(offsets[1], B::Record(0x002F, B::U16(1) + QByteArray(52, '\x11')));
    QTest::newRow("password") << protectedBook << "密码";
    QTest::newRow("not a workbook") << QByteArray("\x01\x02\x03\x04\x05\x06", 6) << "不是工作簿";
    QTest::newRow("globals without end") << good.left(sheetStart - 4) << "缺少结束记录";
    QTest::newRow("sheet without end") << good.chopped(4) << "缺少结束记录";
    QTest::newRow("record past the end") << good.chopped(2) << "位置";
    QByteArray pastEnd = good;
    qToLittleEndian<quint32>(quint32(good.size() + 100), pastEnd.data() + good.indexOf("S1") - 8);
    QTest::newRow("sheet offset past the end") << pastEnd << "位置不对";
    QByteArray inside = good;
    qToLittleEndian<quint32>(quint32(sheetStart + 2), inside.data() + good.indexOf("S1") - 8);
    QTest::newRow("sheet offset inside a record") << inside << "位置不对";
    QByteArray count = good;
    qToLittleEndian<quint32>(100000u,
                             count.data() + good.indexOf(B::SharedStrings({"a"}, 8224, false)) + 8);
    QTest::newRow("more shared strings than stored") << count << "共享字符串";
    QByteArray index = good;
    index[good.size() - 8] = 1;
    QTest::newRow("shared string index out of range") << index << "共享字符串";
    B wide;
    wide.sheets = {B::Cell(0x0203, 0, 256, 15, B::F64(1))};
    QTest::newRow("column beyond the sheet") << wide.Stream() << "列号";
    B mulrk;
    mulrk.sheets = {B::Record(0x00BD, B::U16(0) + B::U16(1) + B::U16(15) + B::U32(2) + B::U16(9))};
    QTest::newRow("row of numbers with a wrong last column") << mulrk.Stream() << "长度不对";
    B shortNumber;
    shortNumber.sheets = {B::Record(0x0203, B::U16(0) + B::U16(0) + B::U16(15) + B::U32(0))};
    QTest::newRow("number record too short") << shortNumber.Stream() << "长度不对";
}

void XlsFormatTest::refusedWithReason()
{
    QFETCH(QByteArray, stream);
    QFETCH(QString, reason);
    Workbook workbook;
    QString error;
    QVERIFY(!Read(stream, workbook, error));
    QVERIFY2(error.contains(reason), qPrintable(error));
}

void XlsFormatTest::Sources()
{
    QTest::addColumn<QByteArray>("stream");
    for (const auto& [name, stream] : streams)
        QTest::newRow(qPrintable(name)) << stream;
}

void XlsFormatTest::damagedCorpus_data()
{
    Sources();
}

void XlsFormatTest::damagedCorpus()
{
    QFETCH(QByteArray, stream);
    Workbook workbook;
    XlsStructure structure;
    QString error;
    QVERIFY2(XlsReader::ReadStream(stream, workbook, structure, error), qPrintable(error));
    const qsizetype lastSheetEnd = structure.sheets.last().end;
    int refused = 0;
    int cases = 0;
    const auto check = [&](const QByteArray& damaged) {
        QString reason;
        ++cases;
        if (!Read(damaged, workbook, reason)) {
            ++refused;
            QVERIFY(!reason.isEmpty());
        }
    };
    for (const qsizetype at : RecordOffsets(stream)) {
        // Cut at the record, and inside its header and body.
        for (const qsizetype cut : {at, at + 2, at + 5}) {
            if (cut >= lastSheetEnd)
                continue;
            QString reason;
            QVERIFY(!Read(stream.left(cut), workbook, reason));
            QVERIFY(!reason.isEmpty());
        }
        // Record lengths one longer and one shorter.
        const quint16 length = qFromLittleEndian<quint16>(stream.constData() + at + 2);
        for (const int delta : {-1, 1}) {
            QByteArray damaged = stream;
            qToLittleEndian<quint16>(quint16(length + delta), damaged.data() + at + 2);
            check(damaged);
        }
    }
    // A length change may leave a chain of records that still holds together: such a stream is
    // read as it stands, every other one refused.
    QVERIFY(refused > 0);
    qInfo("%d of %d streams with a changed record length refused", refused, cases);
}

void XlsFormatTest::randomMutations_data()
{
    Sources();
}

// Bytes changed at random inside the workbook stream, for a bounded time per source: nothing
// may crash (the sanitizer build makes any wild read fatal).
void XlsFormatTest::randomMutations()
{
    QFETCH(QByteArray, stream);
    QRandomGenerator random(20261207);
    QDeadlineTimer deadline(1500);
    int rounds = 0;
    int refused = 0;
    while (!deadline.hasExpired()) {
        QByteArray damaged = stream;
        const int changes = 1 + int(random.bounded(6));
        for (int i = 0; i < changes; ++i) {
            const int at = int(random.bounded(int(damaged.size())));
            if (random.bounded(3) == 0)
                damaged[at] = char(damaged[at] ^ (1 << random.bounded(8)));
            else
                damaged[at] = char(random.bounded(256));
        }
        Workbook workbook;
        QString error;
        ++rounds;
        if (!Read(damaged, workbook, error)) {
            ++refused;
            QVERIFY(!error.isEmpty());
        }
    }
    QVERIFY(rounds > 10);
    qInfo("%d mutated streams, %d refused", rounds, refused);
}

void XlsFormatTest::filesOfOtherPrograms()
{
    if (!PythonPeer::Missing().isEmpty())
        QSKIP(qPrintable(PythonPeer::Missing()));
    {
        ExcelEngine engine(dir.filePath("dates1904.xls"));
        QVERIFY2(engine.Open(), qPrintable(engine.LastError()));
        QStringList list;
        QVERIFY(engine.ReadSheetToList(list));
        QCOMPARE(list, (QStringList{"40317+TRUE+FALSE+", "1+2+3+4"}));
    }
    if (!officeMissing.isEmpty())
        QSKIP(qPrintable(officeMissing));
    ExcelEngine engine(dir.filePath("office/office_source.xls"));
    QVERIFY2(engine.Open(), qPrintable(engine.LastError()));
    QStringList list;
    QVERIFY(engine.ReadSheetToList(list));
    QCOMPARE(list.size(), 2);
    const QStringList first = list[0].split('+');
    QCOMPARE(first.mid(0, 8),
             (QStringList{"3", "2.5", "7.5", "abcd", "TRUE", "#DIV/0!", "FALSE", "41779"}));
    QCOMPARE(first.value(8), LongText(12000, u'a'));
    QCOMPARE(first.value(9), LongText(7000, u'中'));
    QCOMPARE(list[1].split('+').mid(0, 4), (QStringList{"1", "2", "3", "4"}));
}

void XlsFormatTest::writeKeepsRecordsAndMovesOffsets()
{
    const QByteArray original = FormattedBook();
    Workbook workbook;
    XlsStructure structure;
    QString error;
    QVERIFY2(XlsReader::ReadStream(original, workbook, structure, error), qPrintable(error));
    QByteArray stream;
    QVERIFY2(XlsPatcher::Apply(
                 structure, 0,
                 Writes({{1, 2, "新"}, {2, 2, "中"}, {4, 1, "成员"}, {11, 4, LongText(300, u'a')}}),
                 stream, error),
             qPrintable(error));
    QVERIFY2(XlsReader::ReadStream(stream, workbook, structure, error), qPrintable(error));
    QCOMPARE(Dump(workbook.sheets[0]),
             (QStringList{"1,1=bold", "1,2=新", "2,1=1", "2,2=中", "2,3=3", "3,1=1", "4,1=成员",
                          "5,1=2", "11,4=" + LongText(300, u'a')}));
    QCOMPARE(Dump(workbook.sheets[1]), QStringList{"1,1=plain"});
    // The rich text keeps its formatting run; the lookup table of the old strings is gone.
    QCOMPARE(structure.strings[0].runs, B::U16(0) + B::U16(5));
    QCOMPARE(structure.extSstStart, qsizetype(-1));
    QCOMPARE(structure.strings.size(), 6);

    // The written sheet: no row-block index, the row's columns and the dimensions recomputed.
    const XlsSheetPlace first = structure.sheets[0];
    const QByteArray written = stream.mid(first.start, first.end - first.start);
    QCOMPARE(FindRecord(written, 0x020B), qsizetype(-1));
    QCOMPARE(FindRecord(written, 0x00D7), qsizetype(-1));
    const qsizetype row = FindRecord(written, 0x0208);
    QCOMPARE(qFromLittleEndian<quint16>(written.constData() + row + 8), quint16(2));
    const qsizetype dimensions = FindRecord(written, 0x0200);
    QCOMPARE(written.mid(dimensions + 4, 12), B::U32(0) + B::U32(11) + B::U16(0) + B::U16(4));
    // The other sheet moved with the grown string table; its index moved with it.
    const qsizetype second = structure.sheets[1].start;
    QVERIFY(second > FindRecord(original, 0x0809, FindRecord(original, 0x00D7) + 1));
    const qsizetype index = FindRecord(stream, 0x020B, second);
    QCOMPARE(qsizetype(qFromLittleEndian<quint32>(stream.constData() + index + 16)),
             FindRecord(stream, 0x0055, second));
    QCOMPARE(qsizetype(qFromLittleEndian<quint32>(stream.constData() + index + 20)),
             FindRecord(stream, 0x00D7, second));
}

void XlsFormatTest::writesThatBreakFormulasAreRefused_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("cell holding a shared formula") << 3 << 1 << "x";
    QTest::newRow("clearing it") << 3 << 1 << "";
    QTest::newRow("cell holding an array formula") << 5 << 1 << "x";
    QTest::newRow("inside the array") << 6 << 2 << "x";
}

void XlsFormatTest::writesThatBreakFormulasAreRefused()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    Workbook workbook;
    XlsStructure structure;
    QString error;
    QVERIFY(XlsReader::ReadStream(FormattedBook(), workbook, structure, error));
    QByteArray stream;
    QVERIFY(!XlsPatcher::Apply(structure, 0, Writes({{1, 1, "a"}, {row, column, text}}), stream,
                               error));
    QVERIFY2(error.contains(QStringLiteral("公式")) && error.contains(QChar('A' + column - 1)),
             qPrintable(error));
    QVERIFY(stream.isEmpty());

    // Through the engine: the file stays as it was, the reason is given.
    const QString path = dir.filePath("formulas.xls");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(CompoundFile::Build(FormattedBook()));
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    ExcelEngine engine(path);
    QVERIFY(engine.Open());
    engine.SetCellData(1, 1, QStringLiteral("a"));
    engine.SetCellData(row, column, text);
    QVERIFY(!engine.Close());
    QVERIFY(engine.LastError().contains(QStringLiteral("公式")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void XlsFormatTest::officeReopensWrittenFile()
{
    if (!officeMissing.isEmpty())
        QSKIP(qPrintable(officeMissing));
    const QString path = dir.filePath("office_written.xls");
    QVERIFY(QFile::copy(dir.filePath("office/office_source.xls"), path));
    QList<CompoundEntry> before;
    QString name, error;
    QByteArray stream;
    QVERIFY(CompoundReader::ReadWorkbook(path, name, stream, error, &before));
    // The document properties the other program wrote.
    QVERIFY(before.size() > 1);
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        engine.SetCellData(1, 1, QStringLiteral("新表头"));
        engine.SetCellData(3, 2, QStringLiteral("写入"));
        engine.SetCellData(5, 1, LongText(10000, u'中'));
        QVERIFY2(engine.Close(), qPrintable(engine.LastError()));
    }
    QList<CompoundEntry> after;
    QVERIFY(CompoundReader::ReadWorkbook(path, name, stream, error, &after));
    QCOMPARE(after.size(), before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        QCOMPARE(after[i].path, before[i].path);
        QCOMPARE(after[i].data, before[i].data);
    }
    QProcess convert;
    convert.start(QStandardPaths::findExecutable(QStringLiteral("soffice")),
                  {"-env:UserInstallation=file://" + dir.filePath("office-profile"), "--headless",
                   "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir",
                   dir.filePath("csv"), path});
    QVERIFY(convert.waitForFinished(180000));
    QFile csv(dir.filePath("csv/office_written.csv"));
    QVERIFY2(csv.open(QIODevice::ReadOnly), qPrintable(convert.readAllStandardError()));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split('\n');
    QVERIFY(lines.value(0).startsWith(QStringLiteral("新表头,列2")));
    // The formulas still give their values in the other program (truth values as 1 and 0).
    QVERIFY2(lines.value(1).startsWith(QStringLiteral("3,2.5,7.5,abcd,1,#DIV/0!,0")),
             qPrintable(lines.value(1).left(80)));
    QVERIFY(lines.value(2).startsWith(QStringLiteral("1,写入,3,4")));
    QCOMPARE(lines.value(4).section(',', 0, 0), LongText(10000, u'中'));
}

// Macros, embedded objects and document properties live beside the workbook stream.
void XlsFormatTest::otherContainerEntriesAreKept()
{
    const QByteArray classId("0123456789abcdef");
    QList<CompoundEntry> entries(4);
    entries[0].storage = true;
    entries[0].classId = QByteArray::fromHex("2008020000000000c000000000000046");
    entries[1].path = {"\x05SummaryInformation"};
    entries[1].data = QByteArray(300, 'p');
    entries[2].path = {"_VBA_PROJECT_CUR"};
    entries[2].storage = true;
    entries[2].classId = classId;
    entries[3].path = {"_VBA_PROJECT_CUR", "dir"};
    entries[3].data = QByteArray(9000, 'v');
    B book;
    book.sheets = {B::Cell(0x0203, 0, 0, 15, B::F64(1))};
    const QString path = dir.filePath("macros.xls");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(CompoundFile::Build(book.Stream(), entries));
    file.close();
    {
        ExcelEngine engine(path);
        QVERIFY(engine.Open());
        engine.SetCellData(2, 1, QStringLiteral("写入"));
        QVERIFY(engine.Close());
    }
    QList<CompoundEntry> after;
    QString name, error;
    QByteArray stream;
    QVERIFY2(CompoundReader::ReadWorkbook(path, name, stream, error, &after), qPrintable(error));
    // The container keeps the names of a storage in its own order.
    std::sort(after.begin(), after.end(),
              [](const CompoundEntry& a, const CompoundEntry& b) { return a.path < b.path; });
    QCOMPARE(after.size(), entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        QCOMPARE(after[i].path, entries[i].path);
        QCOMPARE(after[i].storage, entries[i].storage);
        QCOMPARE(after[i].classId, entries[i].classId);
        QCOMPARE(after[i].data, entries[i].data);
    }
    ExcelEngine engine(path);
    QVERIFY(engine.Open());
    QStringList list;
    QVERIFY(engine.ReadSheetToList(list));
    QCOMPARE(list, QStringList{QStringLiteral("写入")});
}

QTEST_GUILESS_MAIN(XlsFormatTest)
#include "tst_xlsformat.moc"
