#pragma once

#include "PageDefinitions.h"

#include <QStringList>

class LedgerPages;
class QWidget;
class StatusLine;

// The print buttons of the pages: the picture of the page's table to a PDF file or a printer, or
// the page's full report with its row count and totals below (PagePrint asks which).
class PrintFlow
{
public:
    PrintFlow(QWidget& window, const LedgerPages& pages, StatusLine& status);

    // Prints the page of the print button of that name; says in the status line what was printed.
    void Print(const QString& button);

private:
    // The lines below a printed report: the row count and the page's totals.
    QStringList TotalsLines(const PageDefinition& page) const;

    QWidget& window;
    const LedgerPages& pages;
    StatusLine& status;
};
