#pragma once

#include "JobLauncher.h"
#include "PageDefinitions.h"

#include <QObject>
#include <optional>

class MainWindow;
class QAbstractItemModel;
class QProgressBar;
class QThread;
struct ImportReport;

// The main window's import and export of ledger pages: the file questions, the status line with
// its progress bar and the boxes that tell how it went. An export writes a copy of the page in a
// thread of its own; an import runs as the window's background job.
class LedgerExchange : public QObject
{
    Q_OBJECT
public:
    explicit LedgerExchange(MainWindow& window);
    // Waits for an export that is still being written.
    ~LedgerExchange() override;

    // Asks where to and starts writing the page as shown.
    void Export(const PageDefinition& page, const QAbstractItemModel& model);
    bool Exporting() const { return exportThread != nullptr; }
    // Asks for the file; the job to start, or none when cancelled or the file is not there.
    std::optional<ImportRequest> AskImport(const PageDefinition& page);
    void ShowImportProgress(int done, int total);
    // A page whose file was read is emptied: its rows are found again by a query.
    void ImportFinished(const PageDefinition& page, const ImportReport& report);

signals:
    void ExportFinished(const QString& failure);

private:
    void ExportDone(const QString& path, const QString& failure);
    void Fail(const QString& title, const QString& reason);
    void ShowBusy(bool busy);
    static QString StartFolder();

    MainWindow& window;
    QProgressBar* progress = nullptr;
    QThread* exportThread = nullptr;
    int importsRunning = 0;
};
