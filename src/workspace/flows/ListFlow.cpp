#include "ListFlow.h"

#include "DialogInfoToDb.h"
#include "DialogUserMge.h"

#include <QHash>

ListFlow::ListFlow(QWidget& window, int userType)
    : QObject(&window), window(window), userType(userType)
{
}

template <class Dialog> Dialog* ListFlow::Show(Dialog*& dialog, bool show)
{
    if (!dialog) {
        dialog = new Dialog(&window);
        dialog->ApplyRights(userType);
        connect(dialog, &ListDialog::sendRefresh, this, &ListFlow::ListsChanged);
    }
    dialog->setVisible(show);
    return dialog;
}

DialogInfoToDb* ListFlow::ShowInfoDialog(bool show)
{
    return Show(infoDialog, show);
}

DialogUserMge* ListFlow::ShowPersonDialog(bool show)
{
    return Show(personDialog, show);
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
