#pragma once

#include <QString>
#include <QStringList>

// The program's own tables: the only table names that ever reach a statement.
namespace StoreTables
{

inline const QString Product = QStringLiteral("tb_sm_product_info");
inline const QString Prestore = QStringLiteral("tb_sm_prestore_info");
inline const QString Person = QStringLiteral("tb_sm_person_info");
inline const QString Finance = QStringLiteral("tb_sm_finance_info");
inline const QString User = QStringLiteral("tb_sm_user");

// In creation order.
inline const QStringList All = {Product, Prestore, Person, Finance, User};

inline bool IsKnown(const QString& name)
{
    return All.contains(name);
}

// The list store selector: 1 master-data lists, 2 person lists, anything else none (empty).
inline QString ListTable(int selector)
{
    return selector == 1 ? Prestore : selector == 2 ? Person : QString();
}

} // namespace StoreTables
