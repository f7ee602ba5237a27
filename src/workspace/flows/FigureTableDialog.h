#pragma once

#include "FigureTable.h"

#include <QDialog>
#include <QString>

class DialogShowGraph;
class FigureTableModel;
class QComboBox;
class QLabel;
class QTableView;
class QVBoxLayout;

// A table of figures with what a reader does with it: sort by any column (the total row stays
// last), a bar chart of one chosen number column across the rows, export to a spreadsheet
// (.xls/.xlsx) and the full report as a PDF. The caller may put its own controls above the
// table (such as the choice of a period) and replaces the figures with SetTable.
class FigureTableDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FigureTableDialog(QWidget* parent = nullptr);
    ~FigureTableDialog() override;

    // For a table whose numbers are no figures to compare (sequence numbers): no chart offered.
    void HideChart();
    // Widgets of the caller, shown above the table; the dialog takes them over.
    void SetControls(QWidget* controls);
    // Shows `table`, sorted as the reader last sorted; the window title names it and its period.
    void SetTable(const FigureTable& table);
    const FigureTable& Table() const;
    QTableView* View() const;
    // A line under the table, such as what the figures rest on or what was just written.
    void SetNote(const QString& text);
    QString Note() const;

    // The buttons' work. Each asks for its file through the prompt and tells a failure in a box.
    void ExportSheet();
    void WritePdf();
    // The bar chart of number column `column` across the rows as sorted, without the total row.
    void ShowChart(int column);
    // The chart dialog, once a chart was asked for.
    DialogShowGraph* Chart() const { return chart; }

private:
    void FitColumns();
    QString AskFile(const QString& caption, const QString& filter) const;
    void Fail(const QString& title, const QString& text);

    FigureTableModel* model;
    QVBoxLayout* layout;
    QTableView* view;
    QWidget* chartControls;
    QComboBox* chartColumn;
    QLabel* note;
    DialogShowGraph* chart = nullptr;
};
