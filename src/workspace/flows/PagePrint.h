#pragma once

#include "ReportTable.h"

#include <QString>
#include <functional>

class QWidget;

// Prints one page: asks "请选择打印方式", then puts the picture of its table on one page of a PDF
// file or a printer, or writes the page's full report (every row) to a PDF file.
class PagePrint
{
public:
    // The answers of the choice box, in the order of its buttons.
    enum Choice { PictureToPdf = 0, PictureToPrinter = 1, ReportToPdf = 2 };

    explicit PagePrint(QWidget* parent) : parent(parent) {}

    // Prints `table`; `report` is asked for only when the full report is chosen. Returns the
    // status text of what was printed, empty when nothing was (cancelled, or reported failed).
    QString Run(QWidget& table, const std::function<ReportTable()>& report);

    // The name a PDF is written under: ".pdf" is appended to a name without a suffix.
    static QString PdfName(const QString& chosen);

private:
    QString AskPdfFile() const;
    QString PictureToFile(QWidget& table);
    QString PictureToPaper(QWidget& table);
    QString ReportToFile(const ReportTable& report);
    void Fail(const QString& text) const;

    QWidget* parent;
};
