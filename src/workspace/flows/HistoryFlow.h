#pragma once

#include "ChangeEntry.h"
#include "HistoryTable.h"

#include <QList>
#include <QObject>

class FigureTableDialog;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QPushButton;
class QWidget;

// "操作记录": the current store's change history for the super user, filtered by period, user,
// action and page, before and after side by side, the chain check's marks, export and print
// (FigureTableDialog), and "恢复", which puts back the records of a delete or a clear.
class HistoryFlow : public QObject
{
    Q_OBJECT
public:
    explicit HistoryFlow(QWidget& window);

    // Only the super user reads the history.
    static bool Offered(int userType);

    // Shows the dialog, made on first use, with the history read anew.
    FigureTableDialog* Open();
    FigureTableDialog* Dialog() const { return dialog; }
    // Reads the history again and shows the entries the filter lets through.
    void Reload();
    void SetFilter(const HistoryFilter& filter);
    HistoryFilter Filter() const;
    // The entries shown, in the table's first order.
    QList<ChangeEntry> Shown() const;
    // Puts back what the entry of the selected row deleted, after the confirmation.
    void RecoverSelected();

signals:
    // Records were put back: the pages should read them again.
    void Recovered();

private:
    QWidget* BuildControls();
    void FillChoices();
    void ShowFiltered();
    void Tell(const QString& title, const QString& text);

    QWidget& window;
    FigureTableDialog* dialog = nullptr;
    QCheckBox* allTime = nullptr;
    QDateEdit* from = nullptr;
    QDateEdit* to = nullptr;
    QComboBox* user = nullptr;
    QComboBox* action = nullptr;
    QComboBox* page = nullptr;
    QList<ChangeEntry> entries;
    QList<ChangeChain::Mark> marks;
    QList<int> shown;
};
