#include "BiffRecords.h"
#include "CompoundFile.h"
#include "ExcelEngine.h"
#include "PythonPeer.h"
#include "ZipPackage.h"

#include <QFile>
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
    engine.SetCellData(1, 1, QString(8001, QChar('x')));
    QVERIFY(!engine.Save());
    QVERIFY(engine.LastError().contains("8000"));
    QVERIFY(!QFile::exists(path));
    engine.SetCellData(1, 1, QString(8000, QChar('x')));
    QVERIFY(engine.Close());
    QVERIFY(QFile::exists(path));
}

QTEST_GUILESS_MAIN(ExcelRobustnessTest)
#include "tst_excelrobustness.moc"
