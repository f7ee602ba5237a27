#include "SheetDocument.h"

#include "XlsDocument.h"
#include "XlsxDocument.h"

#include <QFile>
#include <QFileInfo>

namespace
{

const QByteArray CompoundSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
const QByteArray ZipSignature("PK\x03\x04", 4);

} // namespace

std::unique_ptr<SheetDocument> SheetDocument::Open(const QString& path, int sheetNumber,
                                                   bool& isNew, QString& error)
{
    isNew = false;
    if (sheetNumber < 1) {
        error = QStringLiteral("工作表序号必须从 1 开始");
        return nullptr;
    }
    if (!QFileInfo::exists(path)) {
        isNew = true;
        return XlsDocument::Create(sheetNumber);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("无法打开文件 %1").arg(path);
        return nullptr;
    }
    const QByteArray head = file.read(8);
    file.close();
    if (head == CompoundSignature)
        return XlsDocument::Load(path, sheetNumber, error);
    if (head.startsWith(ZipSignature))
        return XlsxDocument::Load(path, sheetNumber, error);
    error = QStringLiteral("文件 %1 不是 Excel 工作簿").arg(path);
    return nullptr;
}
