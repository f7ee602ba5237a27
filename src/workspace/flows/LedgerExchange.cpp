#include "LedgerExchange.h"

#include "ImportReport.h"
#include "LedgerExport.h"
#include "LedgerPages.h"
#include "LedgerSheet.h"
#include "Prompt.h"
#include "SheetTable.h"
#include "WorkingFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QTableView>
#include <QThread>

LedgerExchange::LedgerExchange(QWidget& window, LedgerPages& pages, StatusLine& status)
    : QObject(&window), window(window), pages(pages), status(status)
{
}

LedgerExchange::~LedgerExchange()
{
    if (exportThread)
        exportThread->wait();
}

QString LedgerExchange::StartFolder()
{
    QString folder = WorkingFolders::Tables;
    WorkingFolders::EnsureDir(folder);
    return folder;
}

void LedgerExchange::Export(const PageDefinition& page)
{
    if (exportThread) {
        status.ReportFailure(&window, tr("导出失败"), tr("上一个导出尚未完成,请稍候再试"));
        return;
    }
    FileQuestion question;
    question.mode = FileQuestion::Save;
    question.caption = tr("保存文档");
    question.directory = StartFolder();
    question.filter = QStringLiteral("*.xls;; *.xlsx;; ");
    const QString path = QDir::toNativeSeparators(Prompt::Current().AskFile(&window, question));
    if (path.isEmpty())
        return;
    const int pageType =
        page.family == PageFamily::Goods ? LedgerSheet::GoodsLedger : LedgerSheet::MoneyLedger;
    // The page as it is now; edits made while the file is written go into the next export.
    SheetTable* copy = SheetTable::Copy(*pages.Table(page)->model());
    exportThread = QThread::create([this, copy, path, pageType] {
        const QString failure = LedgerExport::Write(path, pageType, *copy);
        delete copy;
        QMetaObject::invokeMethod(
            this, [this, path, failure] { ExportDone(path, failure); }, Qt::QueuedConnection);
    });
    copy->moveToThread(exportThread);
    connect(exportThread, &QThread::finished, exportThread, &QObject::deleteLater);
    exportJob = status.Begin(tr("数据导出开始..."));
    exportThread->start();
}

void LedgerExchange::ExportDone(const QString& path, const QString& failure)
{
    exportThread->wait();
    exportThread = nullptr;
    status.End(exportJob);
    if (failure.isEmpty())
        status.ShowStatusInfo(tr("导出数据完成,请进入相应TabDateSave目录查看"));
    else
        status.ReportFailure(&window, tr("导出失败"), tr("未能导出到 %1:\n%2").arg(path, failure));
}

std::optional<ImportRequest> LedgerExchange::AskImport(const PageDefinition& page)
{
    FileQuestion question;
    question.mode = FileQuestion::Open;
    question.caption = tr("标题");
    question.directory = StartFolder();
    question.filter = QStringLiteral("*.xls;;*.xlsx");
    const QString path = Prompt::Current().AskFile(nullptr, question);
    if (path.isEmpty())
        return std::nullopt;
    if (!QFileInfo(path).isFile()) {
        status.ReportFailure(&window, tr("导入失败"), tr("文件 %1 不存在").arg(path));
        return std::nullopt;
    }
    ImportRequest request;
    request.pageType =
        page.family == PageFamily::Goods ? LedgerSheet::GoodsLedger : LedgerSheet::MoneyLedger;
    request.fileName = path;
    request.table = page.table;
    const StopFlag stop = request.stop;
    imports.append(status.Begin(tr("数据导入开始..."), [stop] { stop.Raise(); }));
    return request;
}

void LedgerExchange::ShowImportProgress(int done, int total)
{
    if (!imports.isEmpty())
        status.Step(imports.last(), done, total);
}

void LedgerExchange::ImportFinished(const PageDefinition& page, const ImportReport& report)
{
    if (!imports.isEmpty())
        status.End(imports.takeFirst());
    if (!report.Read()) {
        status.ReportFailure(&window, tr("导入失败"), report.failure);
        return;
    }
    pages.OnPage(page, [](auto& model) { model.RemoveAll(); });
    pages.UpdateTotals(page);
    if (report.stopped.isEmpty())
        status.ShowStatusInfo(tr("导入数据完成,请通过查询查看记录"));
    else
        status.ShowStatusInfo(tr("导入未完成: %1").arg(report.stopped));
    PromptBox box;
    box.title = tr("导入结果");
    box.text = report.Summary();
    box.icon = report.skipped.isEmpty() ? QMessageBox::Information : QMessageBox::Warning;
    Prompt::Current().Ask(&window, box);
}
