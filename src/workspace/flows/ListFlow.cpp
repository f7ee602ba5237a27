#include "ListFlow.h"

#include "DialogInfoToDb.h"
#include "DialogUserMge.h"

#include <QHash>

ListFlow::ListFlow(QWidget& window, int userType)
    : QObject(&window), window(window), userType(userType)
{
}

DialogInfoToDb* ListFlow::ShowInfoDialog(bool show)
{
    if (!infoDialog) {
        infoDialog = new DialogInfoToDb(&window);
        infoDialog->ApplyRights(userType);
        connect(infoDialog, &ListDialog::sendRefresh, this, &ListFlow::ListsChanged);
    }
    infoDialog->setVisible(show);
    return infoDialog;
}

DialogUserMge* ListFlow::ShowPersonDialog(bool show)
{
    if (!personDialog) {
        personDialog = new DialogUserMge(&window);
        personDialog->ApplyRights(userType);
        connect(personDialog, &ListDialog::sendRefresh, this, &ListFlow::ListsChanged);
    }
    personDialog->setVisible(show);
    return personDialog;
}

void ListFlow::OpenInfo(bool warehouses)
{
    DialogInfoToDb* dialog = ShowInfoDialog(true);
    if (warehouses)
        dialog->ShowTab(DialogInfoToDb::WarehouseTab);
}

void ListFlow::OpenPersons(const QString& action)
{
    static const QHash<QString, int> tabs = {{"action_users", 0},    {"action_employee", 1},
                                             {"action_client", 2},   {"action_distri", 3},
                                             {"action_supplier", 4}, {"action_ref", 5}};
    DialogUserMge* dialog = ShowPersonDialog(true);
    if (tabs.contains(action))
        dialog->ShowTab(tabs.value(action));
}
