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
    // Why the settings cannot be used (a missing file, a line that cannot be read); empty when
    // they were read.
    QString error;

    // Each value as written on its line (IniFile); missing keys read as empty texts and port 0.
    static DbConfig Read(const QString& iniPath = DefaultPath);

    // The ODBC connection string. A value is brace-quoted only when it has to be (it holds ";",
    // starts with "{" or has blanks at its edges), so that it stays one value and cannot add
    // attributes, while plain values reach every driver unchanged (psqlODBC keeps braces as part
    // of a database or user name). Inside braces "}" is doubled, except for FreeTDS, which ends a
    // braced value at the "}" before the next ";" and keeps doubled ones: a value holding "};"
    // cannot reach FreeTDS, and then the result is empty and `why` names the setting.
    QString OdbcConnectionString(bool freeTds = false, QString* why = nullptr) const;
};

namespace StoreNumber
{

// "yyyyMMddhhmmsszzz" + "LINK": 21 characters.
QString Make(const QDateTime& moment = QDateTime::currentDateTime());

// The store number of this installation: `StoreNo/No` of the file, made and written back when it
// is missing or empty. A number that cannot be kept in the file would be a new one at every start
// (and the store's records would seem gone): then the result is empty and `error` says why.
QString LoadOrCreate(const QString& iniPath = DbConfig::DefaultPath, QString* error = nullptr);

} // namespace StoreNumber
