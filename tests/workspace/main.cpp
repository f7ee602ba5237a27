#include "tst_workspace.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failed = 0;
    {
        TestPages pages;
        failed += QTest::qExec(&pages, argc, argv);
    }
    {
        TestWindow window;
        failed += QTest::qExec(&window, argc, argv);
    }
    {
        TestDialogs dialogs;
        failed += QTest::qExec(&dialogs, argc, argv);
    }
    return failed;
}
