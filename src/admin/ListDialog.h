#pragma once

#include "ListTabs.h"
#include "Records.h"
#include "UserRoles.h"

#include <QDialog>
#include <QHash>
#include <array>
#include <memory>

class QHBoxLayout;
class QTableWidget;

namespace Ui
{
class ListDialog;
}

// Edits the lists of one list store, one tab per list, each a table with the buttons import,
// export, add, delete, clear and confirm. Every change is stored at once for the current store.
// The buttons and tables share their slots, which find the tab by the sender's object name.
class ListDialog : public QDialog
{
    Q_OBJECT
public:
    // `store` 1 = master-data lists, 2 = person lists.
    ListDialog(int store, const QList<ListTab>& tabs, QWidget* parent);
    ~ListDialog() override;

    // Offers only the changes the role of `userType` may make: the others' buttons are disabled,
    // and without entering the cells do not open for editing.
    void ApplyRights(int userType);

    // The list of a kind as last stored from here; what the other windows read.
    QString CurrentList(int infoType) const;
    void ShowTab(int index, bool visible = true);
    QTableWidget* Table(int index) const;

signals:
    // A list was stored, deleted or cleared.
    void sendRefresh();

public slots:
    void TabCellChanged(int row, int column);
    void BtnAddAction();
    void BtnDelAction();
    void BtnClrAction();
    void BtnHideAction();
    void InportProcess();
    void ExportProcess();
    void ShowResult();

protected:
    // What a tab's list feeds beyond itself; refusals are reported there.
    // Rows were typed or imported and the list stored.
    virtual void ListEdited(int tab);
    // A row was removed, before the list is stored again.
    virtual void RowRemoved(int tab, const QStringList& cells);
    // Every row was removed and the list deleted.
    virtual void ListCleared(int tab);

    // Puts `widget` beside the table of `tab`.
    void AddBesideTable(int tab, QWidget* widget);
    // Tells the user when the store refused `what`; returns `ok`.
    bool Reported(bool ok, const QString& what);
    void Warn(const QString& title, const QString& text);
    // Whether the signed-in user may add rows and edit cells.
    bool MayEnter() const { return mayEnter; }

private:
    void BuildTabs();
    int TabOf(const QObject* object) const;
    bool StoreTable(int tab);
    bool DeleteList(int tab);
    bool ConfirmDelete();
    // A cell text the stored list cannot hold is refused: the cell gets back its stored text.
    bool CellFits(int tab, int row, int column);
    // The first cell of `tab` whose text the stored list cannot hold, empty when there is none.
    QString FirstUnholdable(int tab) const;
    void ShowList(int tab, const QString& packed);
    // What the stored list cannot hold, in the user's words.
    static QString UnholdableRule();

    std::unique_ptr<Ui::ListDialog> ui;
    const int store;
    const QList<ListTab> tabs;
    QList<QTableWidget*> tables;
    QList<QHBoxLayout*> tableRows;
    // Tab index of every button and table, by object name.
    QHash<QString, int> tabByName;
    // As read when the dialog was built, and as stored since.
    std::array<ListRecord, ListTabs::KindCount> loaded;
    std::array<ListRecord, ListTabs::KindCount> current;
    // Set while the program itself writes into a table, so cell changes are not the user's.
    bool filling = false;
    // Set while a cell change is handled: its editor may still be open, so boxes wait.
    bool warnLater = false;
    bool mayEnter = true;
};
