#pragma once

#include "TestDatabase.h"

#include <QObject>
#include <memory>

// Runs every test of a derived class once per available back end, each on a fresh connected
// database. Qt Test finds these slots through the derived class's meta-object.
class DatabaseFixture : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<TestDatabase> db;

private slots:
    void initTestCase_data();
    void init();
    void cleanup();
};
