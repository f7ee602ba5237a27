#pragma once

#include "ListDialog.h"

// "人员信息管理": the person lists. The user tab is also the source of the current store's
// accounts: every change of it rebuilds them, and its role column is chosen from the role names.
class DialogUserMge : public ListDialog
{
    Q_OBJECT
public:
    static constexpr int UserTab = 0;
    static constexpr int RoleColumn = 4;

    explicit DialogUserMge(QWidget* parent = nullptr);

public slots:
    void ChoseProcess(int row, int column);
    void SetUserInfo(const QString& text);

protected:
    void ListEdited(int tab) override;
    void RowRemoved(int tab, const QStringList& cells) override;
    void ListCleared(int tab) override;

private:
    void RebuildAccounts();
    // `cellName` is "row-column" of the user table.
    void WriteRole(const QString& cellName, const QString& text);

    // Taken once: accounts saved later carry it even if the machine's address changed.
    const QString address;
};
