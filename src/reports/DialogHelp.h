#pragma once

#include <QDialog>
#include <memory>

namespace Ui
{
class DialogHelp;
}

// The thank-you note with the lines to turn to for support.
class DialogHelp : public QDialog
{
    Q_OBJECT
public:
    explicit DialogHelp(QWidget* parent = nullptr);
    ~DialogHelp() override;

private:
    std::unique_ptr<Ui::DialogHelp> ui;
};
