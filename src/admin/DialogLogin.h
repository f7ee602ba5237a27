#pragma once

#include "Records.h"

#include <QDialog>
#include <memory>

namespace Ui
{
class DialogLogin;
}

// Asks for a user name (or phone number) and password and checks them against the accounts of
// the current store. The built-in account admin/407152 lets the first user in while the store
// verifiably has no account yet. When the accounts cannot be read, nobody gets in and the dialog
// says why.
class DialogLogin : public QDialog
{
    Q_OBJECT
public:
    static const QString BuiltInName;
    static const QString BuiltInPassword;

    explicit DialogLogin(QWidget* parent = nullptr);
    ~DialogLogin() override;

    // The signed-in account; meaningful once the dialog was accepted.
    UserRecord user;

private slots:
    void on_onok_clicked();

private:
    void SignInAccount(const QString& login, const QString& password);
    void SignInBuiltIn();
    void Record(const QString& login, int role, bool accepted);
    void WarnWrong();
    void WarnUnavailable(const QString& reason);
    void Warn(const QString& title, const QString& text);

    std::unique_ptr<Ui::DialogLogin> ui;
};
