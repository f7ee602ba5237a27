#pragma once

#include <QJsonArray>
#include <QString>
#include <QStringList>

// Debian's own Python with the independent spreadsheet readers and writers (xlrd, openpyxl,
// xlwt). The python3 on PATH may be a private interpreter that cannot see them.
class PythonPeer
{
public:
    // Empty when the interpreter or one of the modules is missing: the reason to skip.
    static QString Missing();
    // Runs one of the scripts beside the engine's tests, or the script at an absolute path; false
    // with its error output on failure.
    static bool Run(const QString& script, const QStringList& arguments, QByteArray& output);
    // Every sheet of the file as the independent reader sees it (see dump_workbook.py).
    static QJsonArray Dump(const QString& path);
};
