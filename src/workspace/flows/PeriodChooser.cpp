#include "PeriodChooser.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace
{

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

QDateEdit* DateBox(QWidget* parent)
{
    auto* box = new QDateEdit(QDate::currentDate(), parent);
    box->setCalendarPopup(true);
    box->setDisplayFormat(DateFormat);
    return box;
}

} // namespace

PeriodChooser::PeriodChooser(QWidget* parent)
    : QWidget(parent), start(DateBox(this)), date(DateBox(this)),
      startButton(new QPushButton(tr("统计"), this)),
      cancelButton(new QPushButton(tr("取消统计"), this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("统计期间:"), this));
    auto* group = new QButtonGroup(this);
    const QString names[] = {tr("按日"), tr("按月"), tr("按年"), tr("时间段"), tr("全部时间")};
    for (int i = 0; i < 5; ++i) {
        modes[i] = new QRadioButton(names[i], this);
        group->addButton(modes[i], i + 1);
        layout->addWidget(modes[i]);
    }
    layout->addWidget(start);
    layout->addWidget(date);
    layout->addWidget(startButton);
    layout->addWidget(cancelButton);
    layout->addStretch();
    start->setToolTip(tr("时间段的开始日期"));
    date->setToolTip(
        tr("查询日期：按日为当天，按月、按年为该日所在的月份、年份，时间段为结束日期"));
    connect(group, &QButtonGroup::idClicked, this, &PeriodChooser::ModeChanged);
    connect(startButton, &QPushButton::clicked, this, &PeriodChooser::StartClicked);
    connect(cancelButton, &QPushButton::clicked, this, &PeriodChooser::CancelClicked);
    SetTimeMode(2);
    SetRunning(false);
}

int PeriodChooser::TimeMode() const
{
    for (int i = 0; i < 5; ++i) {
        if (modes[i]->isChecked())
            return i + 1;
    }
    return 2;
}

void PeriodChooser::SetTimeMode(int mode)
{
    modes[qBound(1, mode, 5) - 1]->setChecked(true);
    ModeChanged();
}

void PeriodChooser::ModeChanged()
{
    const int mode = TimeMode();
    start->setVisible(mode == 4);
    date->setEnabled(mode != 5);
}

QString PeriodChooser::StartDate() const
{
    return std::min(start->date(), date->date()).toString(DateFormat);
}

QString PeriodChooser::QueryDate() const
{
    return TimeMode() == 4 ? std::max(start->date(), date->date()).toString(DateFormat)
                           : date->date().toString(DateFormat);
}

void PeriodChooser::SetDates(const QDate& first, const QDate& day)
{
    start->setDate(first);
    date->setDate(day);
}

void PeriodChooser::SetRunning(bool running)
{
    for (QRadioButton* mode : modes)
        mode->setEnabled(!running);
    start->setEnabled(!running);
    date->setEnabled(!running && TimeMode() != 5);
    startButton->setEnabled(!running);
    cancelButton->setEnabled(running);
}
