#include "ToolBarFit.h"

#include <QMainWindow>
#include <QPixmap>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

// The tool bar of a shop window: labels while they fit, never a button out of sight.
class TestToolBar : public QObject
{
    Q_OBJECT
private slots:
    void labelsGiveWayBeforeButtonsHide();
};

namespace
{

bool ExtensionShown(QToolBar* bar)
{
    auto* extension = bar->findChild<QToolButton*>("qt_toolbar_ext_button");
    return extension && extension->isVisible();
}

} // namespace

void TestToolBar::labelsGiveWayBeforeButtonsHide()
{
    QMainWindow window;
    QToolBar* bar = window.addToolBar(QStringLiteral("工具栏"));
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QPixmap icon(32, 32);
    icon.fill(Qt::darkGreen);
    QList<QAction*> actions;
    for (int i = 0; i < 12; ++i)
        actions << bar->addAction(QIcon(icon), QStringLiteral("库存信息页%1").arg(i));
    new ToolBarFit(bar);

    window.resize(3000, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QVERIFY(!ExtensionShown(bar));
    const int labelled = bar->sizeHint().width();

    // Too narrow for the labels, wide enough for the icons.
    window.resize(labelled * 2 / 3, 300);
    QTRY_COMPARE(bar->toolButtonStyle(), Qt::ToolButtonIconOnly);
    QVERIFY(bar->sizeHint().width() <= bar->width());
    QTRY_VERIFY(!ExtensionShown(bar));
    for (QAction* action : std::as_const(actions))
        QVERIFY(bar->widgetForAction(action)->isVisible());

    // Fewer buttons (a role that sees less) take their labels back at the same width.
    for (int i = 0; i < 8; ++i)
        actions.at(i)->setVisible(false);
    QTRY_COMPARE(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QTRY_VERIFY(!ExtensionShown(bar));
}

QTEST_MAIN(TestToolBar)
#include "tst_toolbar.moc"
