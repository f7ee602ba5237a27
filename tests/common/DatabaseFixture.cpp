#include "DatabaseFixture.h"

#include <QTest>

void DatabaseFixture::initTestCase_data()
{
    TestDatabase::AddBackendRows();
}

void DatabaseFixture::init()
{
    db = std::make_unique<TestDatabase>(TestDatabase::Current());
    QVERIFY(db->Connect());
}

void DatabaseFixture::cleanup()
{
    db.reset();
}
