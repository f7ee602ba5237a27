#pragma once

#include <QString>
#include <QStringList>

// Reads a PDF back with poppler's command-line tools, so what was written is checked by a reader
// of its own.
namespace PdfText
{

// Whether pdftotext and pdfinfo are installed.
bool Available();
// The text of every page, in page order.
QStringList Pages(const QString& path);
int PageCount(const QString& path);

} // namespace PdfText
