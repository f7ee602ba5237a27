#include "FlowBench.h"

#include "StatusLine.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

const QString FlowBench::Store = QStringLiteral("20240101000000000LINK");

FlowBench::FlowBench(const QString& userName)
    : statusBar(new QStatusBar(&window)), status(new StatusLine(*statusBar, userName))
{
    ready = folder.Connect();
    auto* layout = new QVBoxLayout(&window);
    pages.Build([&](const PageDefinition& d) {
        auto* page = new QWidget(&window);
        page->setObjectName(d.page);
        layout->addWidget(page);
        return page;
    });
    layout->addWidget(statusBar);
    window.resize(800, 600);
    window.show();
}

QString FlowBench::StatusText() const
{
    QString texts;
    for (const QLabel* label : statusBar->findChildren<QLabel*>())
        texts += label->text();
    return texts;
}

QProgressBar* FlowBench::Bar() const
{
    return statusBar->findChild<QProgressBar*>(QStringLiteral("progress_job"));
}

QPushButton* FlowBench::CancelButton() const
{
    return statusBar->findChild<QPushButton*>(QStringLiteral("btn_jobcancel"));
}

const PageDefinition& FlowBench::Page(const QString& table)
{
    return *PageDefinitions::ByTable(table);
}
