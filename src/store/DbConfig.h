#pragma once

#include <QDateTime>
#include <QString>

// The connection settings of "InitParam/dBConfig.ini" (a path relative to the working folder).
struct DbConfig {
    static const QString DefaultPath;

    QString host;
    int port = 0;
    QString database;
    QString user;
    QString password;
    QString driverType = QStringLiteral("QODBC");      // QODBC, QPSQL or QSQLITE
    QString odbcDriver = QStringLiteral("SQL SERVER"); // QODBC only

    // Missing keys read as empty texts and port 0; a missing file reads as all keys missing.
    static DbConfig Read(const QString& iniPath = DefaultPath);

    // The ODBC connection string. The driver name and every value holding ";", "{", "}", "=" or
    // edge blanks are brace-quoted with "}" doubled, so such a value stays one value and cannot
    // add attributes.
    QString OdbcConnectionString() const;
};

namespace StoreNumber
{

// "yyyyMMddhhmmsszzz" + "LINK": 21 characters.
QString Make(const QDateTime& moment = QDateTime::currentDateTime());

// The store number of this installation: `StoreNo/No` of the file, made and written back when it
// is missing or empty.
QString LoadOrCreate(const QString& iniPath = DbConfig::DefaultPath);

} // namespace StoreNumber
