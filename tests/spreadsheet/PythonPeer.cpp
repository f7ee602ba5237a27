#include "PythonPeer.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>

namespace
{

const QString Interpreter = QStringLiteral("/usr/bin/python3");

} // namespace

QString PythonPeer::Missing()
{
    if (!QFileInfo::exists(Interpreter))
        return QStringLiteral("no /usr/bin/python3");
    QProcess python;
    python.start(Interpreter,
                 {QStringLiteral("-c"), QStringLiteral("import xlrd, openpyxl, xlwt")});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return QStringLiteral("python3-xlrd, python3-openpyxl or python3-xlwt missing");
    return QString();
}

bool PythonPeer::Run(const QString& script, const QStringList& arguments, QByteArray& output)
{
    QProcess python;
    python.start(Interpreter,
                 QStringList{QDir(QStringLiteral(PEER_SCRIPTS)).filePath(script)} + arguments);
    const bool finished = python.waitForFinished(120000);
    output = python.readAllStandardOutput();
    if (!finished || python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0) {
        output = python.readAllStandardError();
        return false;
    }
    return true;
}

QJsonArray PythonPeer::Dump(const QString& path)
{
    QByteArray output;
    if (!Run(QStringLiteral("dump_workbook.py"), {path}, output))
        qWarning("independent reader failed: %s", output.constData());
    return QJsonDocument::fromJson(output).array();
}
