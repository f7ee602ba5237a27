#include <QCoreApplication>
#include <QTest>

#include <memory>

QObject* NewValuesTest();
QObject* NewLedgerTest();
QObject* NewAccountsTest();
QObject* NewSchemaTest();
QObject* NewConnectionFailureTest();
QObject* NewConfigFileTest();
QObject* NewConnectedTest();
QObject* NewServerConnectionTest();
QObject* NewOdbcStringTest();
QObject* NewConcurrencyTest();
QObject* NewReorderTest();
QObject* NewBulkWritesTest();
QObject* NewHistoryTest();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    for (auto make :
         {NewValuesTest, NewLedgerTest, NewAccountsTest, NewSchemaTest, NewConnectionFailureTest,
          NewConfigFileTest, NewConnectedTest, NewServerConnectionTest, NewOdbcStringTest,
          NewConcurrencyTest, NewReorderTest, NewBulkWritesTest, NewHistoryTest}) {
        std::unique_ptr<QObject> test(make());
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed;
}
