#include "DialogShowText.h"

#include <QTextEdit>
#include <QVBoxLayout>

DialogShowText::DialogShowText(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DialogShowText"));
    resize(400, 300);
    auto* layout = new QVBoxLayout(this);
    layout->setObjectName(QStringLiteral("verticalLayout"));
    textEdit = new QTextEdit(this);
    textEdit->setObjectName(QStringLiteral("textEdit"));
    textEdit->setReadOnly(true);
    layout->addWidget(textEdit);
    setWindowTitle(tr("选中内容"));
}

void DialogShowText::SetText(const QString& text)
{
    // Plain, so a cell holding markup shows its characters rather than formatted text.
    textEdit->setPlainText(text);
}
