#include "LedgerExport.h"

#include "ExcelEngine.h"
#include "LedgerSheet.h"

QString LedgerExport::Write(const QString& path, int pageType, const QAbstractItemModel& page)
{
    ExcelEngine sheet(path);
    if (!sheet.Open(1, false))
        return sheet.LastError();
    if (!LedgerSheet::WriteLedgerToSheet(sheet, pageType, &page) || !sheet.Close())
        return sheet.LastError();
    return QString();
}
