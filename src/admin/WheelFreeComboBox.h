#pragma once

#include <QComboBox>

// The list box of the ledger cells: a wheel turn over it neither changes its entry nor is passed
// on, so scrolling a table never edits a cell by accident.
class ComboxBoxSpec : public QComboBox
{
    Q_OBJECT
public:
    explicit ComboxBoxSpec(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};
