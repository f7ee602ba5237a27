#pragma once

#include <QObject>

class QToolBar;

// Keeps every button of a tool bar in sight: the texts stand under the icons while all visible
// buttons fit with them, and only the icons show (the texts as tool tips) when the bar is too
// narrow for that, instead of hiding buttons behind the bar's extension arrow.
class ToolBarFit : public QObject
{
public:
    // Follows the bar's width and the visibility of its actions; owned by the bar.
    explicit ToolBarFit(QToolBar* bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fit();
    // The width the bar needs with every visible button labelled.
    int LabelledWidth() const;

    QToolBar* bar;
    int fittedWidth = -1;
};
