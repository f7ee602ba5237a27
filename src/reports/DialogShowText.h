#pragma once

#include <QDialog>

class QTextEdit;

// Shows the whole text of one table cell, read-only.
class DialogShowText : public QDialog
{
    Q_OBJECT
public:
    explicit DialogShowText(QWidget* parent = nullptr);

    void SetText(const QString& text);

private:
    QTextEdit* textEdit = nullptr;
};
