#pragma once

#include "Records.h"

#include <QString>
#include <QTemporaryDir>

// A temporary working folder made current for one test, with an InitParam/dBConfig.ini that
// selects a SQLite file there (or, with Unreachable, a database server nobody listens on).
class TestFolder
{
public:
    enum Database { Sqlite, Unreachable };

    explicit TestFolder(Database database = Sqlite, const QString& storeNo = QString());
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    QString Path() const { return dir.path(); }
    QString ConfigPath() const;
    // Connects the data store to this folder's database with its store number.
    bool Connect();

    // Direct writes for arranging a test, on the current store unless another is named.
    static bool AddUser(const UserRecord& user, const QString& storeNo = QString());
    static bool AddProduct(const ProductRecord& record, const QString& storeNo = QString());
    static bool AddFinance(const FinanceRecord& record, const QString& storeNo = QString());
    static int Count(const QString& statement);

private:
    QTemporaryDir dir;
    QString previous;
};
