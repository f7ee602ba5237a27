#pragma once

#include "AnalysisTables.h"
#include "FigureTableDialog.h"

#include <QDate>
#include <QList>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;

// The window of one shop analysis: above the table of figures (sorting, export, PDF, bar chart)
// its dates, the button that computes it, the choice among its tables and their notes.
class AnalysisWindow : public FigureTableDialog
{
    Q_OBJECT
public:
    // One date field per label (none: the button only refreshes).
    AnalysisWindow(const QStringList& dateLabels, const QString& objectName, QWidget* parent);

    QList<QDate> Dates() const;
    void SetDates(const QList<QDate>& dates);
    // While a computation runs the button waits and the note says so.
    void SetBusy(bool busy);
    // Replaces the tables by these, keeping the one chosen.
    void ShowViews(const QList<AnalysisTables::View>& views);
    // Shows the table of that place among the views.
    void Choose(int view);

    int ViewCount() const { return int(views.size()); }
    QPushButton* RunButton() const { return run; }
    QString Notes() const;

signals:
    // The button was clicked: compute again with the dates shown.
    void Requested();

private:
    QList<QDateEdit*> dates;
    QPushButton* run;
    QLabel* choiceLabel;
    QComboBox* choice;
    QLabel* busyNote;
    QLabel* notes;
    QList<AnalysisTables::View> views;
};
