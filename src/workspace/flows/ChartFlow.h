#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

class DialogShowGraph;
class LedgerPages;
class QWidget;
struct PageDefinition;

// The chart dialog with the figures of the page whose total button was pressed last, or with
// the sales statistics page's rows per day, per salesperson or per distributor.
class ChartFlow : public QObject
{
    Q_OBJECT
public:
    ChartFlow(QWidget& window, const LedgerPages& pages);

    // The sales menu's chart entries: object name, text.
    static const QList<QPair<QString, QString>>& SalesActions();

    // The chart dialog, made on first use; shown or hidden as `show` says.
    DialogShowGraph* ShowDialog(bool show);
    // The page whose figures ShowTotals charts.
    void NoteTotalled(const PageDefinition& page);
    // Charts the amounts per item of the page totalled last, or says to total one first.
    void ShowTotals();
    // The sales statistics page's chart of the sales menu entry of that name.
    void ShowSales(const QString& action);

private:
    void Tell(const QString& text);

    QWidget& window;
    const LedgerPages& pages;
    DialogShowGraph* dialog = nullptr;
    // The table of the page whose total button was pressed last.
    QString lastTotalled;
};
