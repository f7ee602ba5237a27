#include "AnalysisWindow.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AnalysisWindow::AnalysisWindow(const QStringList& dateLabels, const QString& objectName,
                               QWidget* parent)
    : FigureTableDialog(parent), run(new QPushButton), choiceLabel(new QLabel),
      choice(new QComboBox), busyNote(new QLabel), notes(new QLabel)
{
    setObjectName(objectName);
    auto* controls = new QWidget;
    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    for (const QString& label : dateLabels) {
        top->addWidget(new QLabel(label));
        auto* edit = new QDateEdit(QDate::currentDate());
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        top->addWidget(edit);
        dates << edit;
    }
    run->setObjectName(QStringLiteral("btn_analysisrun"));
    run->setText(dateLabels.isEmpty() ? tr("刷新") : tr("计算"));
    top->addWidget(run);
    top->addSpacing(20);
    choiceLabel->setText(tr("显示："));
    top->addWidget(choiceLabel);
    choice->setObjectName(QStringLiteral("combo_analysisview"));
    choice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    top->addWidget(choice);
    top->addWidget(busyNote, 1);
    notes->setWordWrap(true);
    auto* column = new QVBoxLayout(controls);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(top);
    column->addWidget(notes);
    SetControls(controls);
    connect(run, &QPushButton::clicked, this, &AnalysisWindow::Requested);
    connect(choice, &QComboBox::activated, this, &AnalysisWindow::Choose);
}

QList<QDate> AnalysisWindow::Dates() const
{
    QList<QDate> out;
    for (const QDateEdit* edit : dates)
        out << edit->date();
    return out;
}

void AnalysisWindow::SetDates(const QList<QDate>& values)
{
    for (qsizetype i = 0; i < values.size() && i < dates.size(); ++i)
        dates[i]->setDate(values[i]);
}

void AnalysisWindow::SetBusy(bool busy)
{
    run->setEnabled(!busy);
    busyNote->setText(busy ? tr("正在计算，请稍候...") : QString());
}

void AnalysisWindow::ShowViews(const QList<AnalysisTables::View>& shown)
{
    const int chosen = std::max(0, choice->currentIndex());
    views = shown;
    choice->clear();
    for (const AnalysisTables::View& view : views)
        choice->addItem(view.name);
    // A single table needs no choice.
    choiceLabel->setVisible(views.size() > 1);
    choice->setVisible(views.size() > 1);
    Choose(std::min(chosen, int(views.size()) - 1));
}

void AnalysisWindow::Choose(int view)
{
    if (view < 0 || view >= views.size())
        return;
    choice->setCurrentIndex(view);
    SetTable(views.at(view).table);
    notes->setText(views.at(view).notes.join(QLatin1Char('\n')));
    SetNote(QString());
}

QString AnalysisWindow::Notes() const
{
    return notes->text();
}
