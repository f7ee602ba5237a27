#include "BoxTitleFit.h"
#include "ChineseUi.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

class TestChineseUi : public QObject
{
    Q_OBJECT
private slots:
    void toolkitTextsAreChinese();
    void boxesShowTheirWholeTitle();
};

void TestChineseUi::toolkitTextsAreChinese()
{
    QVERIFY(ChineseUi::Install(*QCoreApplication::instance()));
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Close);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QString("确定"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("取消"));
    QCOMPARE(box.button(QMessageBox::Close)->text(), QString("关闭"));

    // The calendar and the date editors name months and days from the default locale.
    QCOMPARE(QLocale().monthName(1), QString("一月"));
    QCOMPARE(QLocale().dayName(1, QLocale::ShortFormat), QString("周一"));

    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    auto* name = files.findChild<QLabel*>("fileNameLabel");
    QVERIFY(name);
    QVERIFY2(name->text().contains("文件名"), qPrintable(name->text()));
}

void TestChineseUi::boxesShowTheirWholeTitle()
{
    BoxTitleFit fit;
    qApp->installEventFilter(&fit);
    const QString title = "设置用户权限(本店全部收银台的用户角色)";

    QMessageBox box;
    box.setWindowTitle(title);
    box.setText("好");
    box.show();
    const int needed = BoxTitleFit::NeededWidth(box);
    QVERIFY2(box.width() >= needed, qPrintable(QString("%1 < %2").arg(box.width()).arg(needed)));
    // Shown again, it keeps its width instead of growing each time.
    const int first = box.width();
    box.hide();
    box.show();
    QCOMPARE(box.width(), first);

    QDialog chooser;
    chooser.setWindowTitle(title);
    auto* layout = new QHBoxLayout(&chooser);
    layout->addWidget(new QPushButton("退出", &chooser));
    chooser.show();
    QVERIFY(chooser.width() >= BoxTitleFit::NeededWidth(chooser));

    // Windows that are no dialogs keep their size.
    QWidget plain;
    plain.setWindowTitle(title);
    plain.resize(120, 80);
    plain.show();
    QCOMPARE(plain.width(), 120);
}

QTEST_MAIN(TestChineseUi)
#include "tst_chineseui.moc"
