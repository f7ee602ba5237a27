#include "PagePrint.h"

#include "Prompt.h"
#include "ReportPdf.h"
#include "TablePicture.h"
#include "WorkingFolders.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

namespace
{

QString Text(const char* source)
{
    return QCoreApplication::translate("MainWindow", source);
}

QString CannotWrite(const QString& path)
{
    return Text("无法写入PDF文件 %1，请检查文件夹是否存在、是否有写入权限，或文件是否正被其它"
                "程序打开。")
        .arg(path);
}

// Where a print job went: the printer, or the file the print dialog was told to print into.
QString Target(const QPrinter& printer)
{
    return printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
}

} // namespace

QString PagePrint::Run(QWidget& table, const std::function<ReportTable()>& report)
{
    PromptBox box;
    box.text = Text("请选择打印方式");
    box.buttons = QStringList{Text("输出到文档"), Text("输出到打印机"), Text("输出完整报表(PDF)")};
    switch (Prompt::Current().Ask(parent, box)) {
    case PictureToPdf:
        return PictureToFile(table);
    case PictureToPrinter:
        return PictureToPaper(table);
    case ReportToPdf:
        return ReportToFile(report());
    default:
        return QString();
    }
}

QString PagePrint::PdfName(const QString& chosen)
{
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + QStringLiteral(".pdf") : chosen;
}

QString PagePrint::AskPdfFile() const
{
    QString folder = WorkingFolders::Tables;
    WorkingFolders::EnsureDir(folder);
    const QString chosen = Prompt::Current().AskFile(
        parent, {FileQuestion::Save, Text("导出PDF文件"), folder, QStringLiteral("*.pdf")});
    return chosen.isEmpty() ? QString() : PdfName(chosen);
}

QString PagePrint::PictureToFile(QWidget& table)
{
    const QString path = AskPdfFile();
    if (path.isEmpty())
        return QString();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    if (!TablePicture::Print(table, printer)) {
        Fail(CannotWrite(path));
        return QString();
    }
    return Text("已输出PDF文件：%1").arg(path);
}

QString PagePrint::PictureToPaper(QWidget& table)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    if (Prompt::Current().RunDialog(dialog) != QDialog::Accepted)
        return QString();
    if (!TablePicture::Print(table, printer)) {
        Fail(Text("无法在打印机 %1 上打印，请检查打印机是否连接并可用。").arg(Target(printer)));
        return QString();
    }
    return Text("已送出打印：%1").arg(Target(printer));
}

QString PagePrint::ReportToFile(const ReportTable& report)
{
    const QString path = AskPdfFile();
    if (path.isEmpty())
        return QString();
    if (!ReportPdf::Write(report, path)) {
        Fail(CannotWrite(path));
        return QString();
    }
    return Text("已输出完整报表：%1（%2 行）").arg(path).arg(report.rows.size());
}

void PagePrint::Fail(const QString& text) const
{
    PromptBox box;
    box.title = Text("打印失败");
    box.text = text;
    box.icon = QMessageBox::Warning;
    Prompt::Current().Ask(parent, box);
}
