#include "ChainConfig.h"

#include "IniFile.h"

#include <QHash>

ChainConfig ChainConfig::Read(const QString& iniPath)
{
    IniFile ini;
    ini.Load(iniPath);
    ChainConfig chain;
    if (!ini.Error().isEmpty()) {
        chain.error = ini.Error();
        return chain;
    }
    QHash<QString, qsizetype> numberLines;
    QHash<QString, qsizetype> nameLines;
    for (const IniFile::Entry& entry : ini.SectionEntries(QStringLiteral("Chain"))) {
        const QString name = entry.value.isEmpty() ? entry.key : entry.value;
        const QString line = QString::number(entry.line);
        // One arg() call, so that a "%" in a name is never taken for a place holder.
        if (const qsizetype numberAt = numberLines.value(entry.key); numberAt > 0)
            chain.error = QStringLiteral("配置文件 %1 第 %2 行：门店编号 %3 已在第 %4 行列出")
                              .arg(iniPath, line, entry.key, QString::number(numberAt));
        else if (const qsizetype nameAt = nameLines.value(name); nameAt > 0)
            chain.error = QStringLiteral("配置文件 %1 第 %2 行：门店名称“%3”已在第 %4 行使用")
                              .arg(iniPath, line, name, QString::number(nameAt));
        if (!chain.error.isEmpty()) {
            chain.shops.clear();
            return chain;
        }
        numberLines.insert(entry.key, entry.line);
        nameLines.insert(name, entry.line);
        chain.shops << Shop{entry.key, name};
    }
    return chain;
}
