#include <QCoreApplication>
#include <QTest>

#include <memory>

QObject* NewValuesTest();
QObject* NewLedgerTest();
QObject* NewAccountsTest();
QObject* NewSchemaTest();
QObject* NewConnectionFailureTest();
QObject* NewConcurrencyTest();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    for (auto make : {NewValuesTest, NewLedgerTest, NewAccountsTest, NewSchemaTest,
                      NewConnectionFailureTest, NewConcurrencyTest}) {
        std::unique_ptr<QObject> test(make());
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed;
}
