#pragma once

#include "PageDefinitions.h"
#include "Prompt.h"

#include <QObject>

class ItemPicker;
class LedgerPages;
class QComboBox;
class QModelIndex;
class QWidget;
class StatusLine;

// Editing the ledger pages: every change of a row is stored at once (RowSaver); the add, delete
// and clear buttons add, delete and clear rows; the totals follow every change; the item picker
// serves the list cells. A save, delete or clear that the database refuses is told in the
// status line and in a box.
class EditingFlow : public QObject
{
    Q_OBJECT
public:
    // `window` is what the boxes and the item picker are shown over.
    EditingFlow(QWidget& window, LedgerPages& pages, StatusLine& status);

    ItemPicker* Picker() const { return picker; }

    // The add, delete and clear buttons of the ledger pages, by the button's object name.
    void Add(const QString& button);
    void Delete(const QString& button);
    void Clear(const QString& button);
    // A total button: reads the page's rows afresh, stores the rows now given quantity x price
    // as their total, and writes the totals. The page, or null when the name is no total button.
    const PageDefinition* Total(const QString& button);

signals:
    // A clear is about to replace records that queries still running have read.
    void Clearing();

private:
    void StoreEditedRow(const PageDefinition& page, int row);
    // Reports a refused save, delete or clear in the status line and in a box.
    void ReportRefused(const QString& title, const QString& what);
    // The status line at once, and the box to show.
    PromptBox Refusal(const QString& title, const QString& what);
    // Shows `box` once the cell edit under way has run to its end.
    void AskAfterEdit(const PromptBox& box);
    // The open editor of a list cell, null when it has none.
    QComboBox* ListEditor(const QModelIndex& cell) const;

    QWidget& window;
    LedgerPages& pages;
    StatusLine& status;
    ItemPicker* picker;
    // The row whose last save was refused: typing on in it reports in the status line only.
    QString refusedSerial;
};
