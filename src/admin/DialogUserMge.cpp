#include "DialogUserMge.h"

#include "DatabaseEngine.h"
#include "ListRows.h"
#include "ListTable.h"
#include "LocalAddress.h"
#include "StoreTables.h"
#include "TextLengthDelegate.h"
#include "UserRoles.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace
{

const int PersonStore = 2;
// Name, phone and password are stored in columns of this width.
const int AccountTextLength = 50;

} // namespace

DialogUserMge::DialogUserMge(QWidget* parent)
    : ListDialog(PersonStore, ListTabs::People(), parent), address(LocalAddress::FirstIPv4())
{
    setWindowTitle(tr("人员信息管理"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/icons/6_blue.png")));
    auto* roles = new QLabel(UserRoles::Descriptions().join(QLatin1Char('\n')), this);
    AddBesideTable(UserTab, roles);
    QTableWidget* users = Table(UserTab);
    auto* limited = new TextLengthDelegate(AccountTextLength, users);
    for (int column = 1; column <= 3; ++column)
        users->setItemDelegateForColumn(column, limited);
    connect(users, &QTableWidget::cellClicked, this, &DialogUserMge::ChoseProcess);
}

void DialogUserMge::ChoseProcess(int row, int column)
{
    if (column != RoleColumn || !MayEnter())
        return;
    QTableWidget* users = Table(UserTab);
    QDialog chooser(this);
    chooser.setWindowTitle(tr("设置用户权限"));
    auto* layout = new QHBoxLayout(&chooser);
    auto* box = new QComboBox(&chooser);
    box->addItems(UserRoles::Labels());
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // The box names the cell it writes into.
    box->setObjectName(QStringLiteral("%1-%2").arg(row).arg(RoleColumn));
    if (const QTableWidgetItem* item = users->item(row, RoleColumn))
        box->setCurrentIndex(qMax(0, box->findText(item->text())));
    auto* take = new QPushButton(tr("确定"), &chooser);
    auto* leave = new QPushButton(tr("退出"), &chooser);
    layout->addWidget(box);
    layout->addWidget(take);
    layout->addWidget(leave);
    connect(box, &QComboBox::textActivated, this, &DialogUserMge::SetUserInfo);
    connect(take, &QPushButton::clicked, &chooser, [this, box, &chooser] {
        WriteRole(box->objectName(), box->currentText());
        chooser.accept();
    });
    connect(leave, &QPushButton::clicked, &chooser, &QDialog::reject);
    // Beside the cell, so the row being set stays in sight.
    const QRect cell = users->visualRect(users->model()->index(row, RoleColumn));
    chooser.adjustSize();
    chooser.move(users->viewport()->mapToGlobal(cell.topRight() + QPoint(8, 0)));
    chooser.exec();
}

void DialogUserMge::SetUserInfo(const QString& text)
{
    WriteRole(sender() ? sender()->objectName() : QString(), text);
}

void DialogUserMge::WriteRole(const QString& cellName, const QString& text)
{
    const QStringList cell = cellName.split(QLatin1Char('-'));
    if (cell.size() != 2)
        return;
    // Setting the item changes the cell, which stores the list and the accounts.
    Table(UserTab)->setItem(cell[0].toInt(), cell[1].toInt(), new QTableWidgetItem(text));
}

void DialogUserMge::ListEdited(int tab)
{
    if (tab == UserTab)
        RebuildAccounts();
}

void DialogUserMge::RowRemoved(int tab, const QStringList& cells)
{
    if (tab != UserTab)
        return;
    UserRecord user;
    user.user_name = cells.value(0);
    user.user_phoneno = cells.value(1);
    Reported(DatabaseEngine::Instance()->DeleteUserInfo(user), tr("用户账户未能删除"));
}

void DialogUserMge::ListCleared(int tab)
{
    if (tab == UserTab)
        Reported(DatabaseEngine::Instance()->DeleteStoreRows(StoreTables::User),
                 tr("用户账户未能删除"));
}

void DialogUserMge::RebuildAccounts()
{
    QList<UserRecord> accounts;
    for (const QStringList& row : ListTable::Rows(Table(UserTab)))
        accounts << ListRows::Account(row, address);
    Reported(DatabaseEngine::Instance()->ReplaceUserAccounts(accounts), tr("用户账户未能保存"));
}
