#pragma once

#include <QObject>

class DialogInfoToDb;
class DialogUserMge;
class QWidget;

// The two list dialogs, the master-data lists and the people: each made on first use with the
// window as parent and the user's rights, then only shown and hidden. An edit of their lists is
// passed on as ListsChanged.
class ListFlow : public QObject
{
    Q_OBJECT
public:
    ListFlow(QWidget& window, int userType);

    // The dialogs, shown or hidden as `show` says.
    DialogInfoToDb* ShowInfoDialog(bool show);
    DialogUserMge* ShowPersonDialog(bool show);
    // The master-data dialog, on its warehouse tab when `warehouses`.
    void OpenInfo(bool warehouses);
    // The person dialog, on the tab of the menu action of that name.
    void OpenPersons(const QString& action);

signals:
    // A list was saved: whatever offers list entries is to read the lists again.
    void ListsChanged();

private:
    // Makes the dialog on first use, then shows or hides it.
    template <class Dialog> Dialog* Show(Dialog*& dialog, bool show);

    QWidget& window;
    int userType;
    DialogInfoToDb* infoDialog = nullptr;
    DialogUserMge* personDialog = nullptr;
};
