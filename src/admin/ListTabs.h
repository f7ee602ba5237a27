#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One tab of a list dialog: the list kind it edits, its title, its table's object name and the
// headers of the stored columns (the sequence column "序号" comes before them).
struct ListTab {
    int infoType = 0;
    QString title;
    QString table;
    QStringList columns;
};

namespace ListTabs
{

// List kinds 0 to 18 are kept per store, with or without a tab.
inline constexpr int KindCount = 19;

enum class Button { Import, Export, Add, Delete, Clear, Confirm };

// Categories, goods names, models, colours, sizes and warehouses.
QList<ListTab> MasterData();
// Users, employees, clients, distributors, suppliers and other business contacts.
QList<ListTab> People();

// Object name of a button of tab `tab` (0-based): "btn_import_1", "btn_add", "btn_add_2" ...
QString ButtonName(Button button, int tab);
QString ButtonText(Button button);

} // namespace ListTabs
