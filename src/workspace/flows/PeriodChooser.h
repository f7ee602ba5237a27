#pragma once

#include <QDate>
#include <QString>
#include <QWidget>

class QDateEdit;
class QPushButton;
class QRadioButton;

// The period of a summary, chosen as the query dialog chooses it (one day, the month or the
// year of a date, the span between two dates, all time), with the buttons that start a run and
// cancel it.
class PeriodChooser : public QWidget
{
    Q_OBJECT
public:
    explicit PeriodChooser(QWidget* parent = nullptr);

    // Time modes of the query dialog: 1 day, 2 month, 3 year, 4 span, 5 all time.
    int TimeMode() const;
    void SetTimeMode(int mode);
    // "yyyy-MM-dd"; the start counts only for a span, which is put in order when it runs
    // backwards.
    QString StartDate() const;
    QString QueryDate() const;
    void SetDates(const QDate& start, const QDate& date);
    // While a run goes on only its cancel button takes a click.
    void SetRunning(bool running);

signals:
    void StartClicked();
    void CancelClicked();

private:
    void ModeChanged();

    QRadioButton* modes[5];
    QDateEdit* start;
    QDateEdit* date;
    QPushButton* startButton;
    QPushButton* cancelButton;
};
