#pragma once

#include "ImportRequest.h"
#include "PageDefinitions.h"
#include "StatusLine.h"

#include <QList>
#include <QObject>
#include <optional>

class LedgerPages;
class QThread;
class QWidget;
struct ImportReport;

// The import and export of ledger pages: the file questions, the status line with the job's
// progress and the boxes that tell how it went. An export writes a copy of the page in a thread
// of its own; an import runs as the window's background job, and its cancel button stops it
// before its next rows.
class LedgerExchange : public QObject
{
    Q_OBJECT
public:
    LedgerExchange(QWidget& window, LedgerPages& pages, StatusLine& status);
    // Waits for an export that is still being written.
    ~LedgerExchange() override;

    // Asks where to and starts writing the page as shown.
    void Export(const PageDefinition& page);
    // Asks for the file; the job to start, or none when cancelled or the file is not there.
    std::optional<ImportRequest> AskImport(const PageDefinition& page);
    void ShowImportProgress(int done, int total);
    // A page whose file was read is emptied: its rows are found again by a query.
    void ImportFinished(const PageDefinition& page, const ImportReport& report);

private:
    void ExportDone(const QString& path, const QString& failure);
    static QString StartFolder();

    QWidget& window;
    LedgerPages& pages;
    StatusLine& status;
    QThread* exportThread = nullptr;
    StatusLine::Job exportJob = 0;
    // The imports started and not yet finished, oldest first.
    QList<StatusLine::Job> imports;
};
