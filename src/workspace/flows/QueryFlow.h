#pragma once

#include "QueryRun.h"
#include "StatusLine.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <functional>
#include <optional>

class DialogQuery;
class LedgerPages;
class QWidget;

// The query dialog, its query job and the result on the page it was run for. Every run is a job
// of the status line that the cancel button drops; a result reaches its page only while it is
// the latest run for that page and nothing has replaced the data it read.
class QueryFlow : public QObject
{
    Q_OBJECT
public:
    // What the flow needs of the window.
    struct Window {
        // Starts the query job, which runs Pending() and hands its result to Show(); false when
        // no job can be started.
        std::function<bool()> startJob;
        // The store chooser, run modally from the dialog's store field; nothing when cancelled.
        std::function<std::optional<QString>(const QString& current)> chooseStore;
    };

    // Only a super user's queries see prices.
    QueryFlow(QWidget& parent, Window window, LedgerPages& pages, StatusLine& status, int userType);

    DialogQuery* Dialog() const { return dialog; }
    // The query the last Start() began, as the query job takes it.
    const QueryRequest& Pending() const { return pending; }

    // Opens the dialog for the page of the query button of that name.
    void Open(const QString& button);
    // Empties the target page and starts the query job with the dialog's criteria.
    void Start();
    // Shows a query job's result on its page, unless a later run for that page was started, the
    // run was cancelled, or the data changed under it (a clear or a reload) after it started.
    void Show(const QueryResult& result);
    // Closes the dialog when the pages change, so that its next run cannot fill a page that is
    // no longer shown.
    void Hide();
    // The queries still running read data that a clear or a reload has since replaced: their
    // results are not shown.
    void DropRunning();
    // Gives the dialog the entries of the pages' lists again.
    void RefillLists();

private:
    // The cancel button: the run's result will be dropped, and its page stays empty.
    void Cancel(quint64 run);

    QWidget& parent;
    Window window;
    LedgerPages& pages;
    StatusLine& status;
    bool seesPrices;
    DialogQuery* dialog;
    QueryRequest pending;
    quint64 lastRun = 0;
    // The latest run started for each page (group * 100 + page): only its result is shown.
    QHash<int, quint64> latestRunOfPage;
    // The runs still to hand in a result, with their jobs in the status line.
    QHash<quint64, StatusLine::Job> running;
    QSet<quint64> cancelled;
};
