#include "ListSources.h"

#include "DatabaseEngine.h"
#include "ListCodec.h"

namespace
{

const int MasterTable = 1;
const int PersonTable = 2;

QString LoadList(DatabaseEngine& engine, int table, int kind)
{
    ListRecord record;
    record.info_type = kind;
    engine.LoadListInfo(table, record);
    return record.info_list;
}

} // namespace

void ListSources::Load(DatabaseEngine& engine)
{
    for (int kind : {Categories, GoodsNames, Models, Colours, Sizes})
        master[kind] = LoadList(engine, MasterTable, kind);
    for (int kind : {Employees, Clients, Distributors, Suppliers})
        person[kind] = LoadList(engine, PersonTable, kind);
}

void ListSources::SetMasterList(int kind, const QString& packed)
{
    master[kind] = packed;
}

void ListSources::SetPersonList(int kind, const QString& packed)
{
    person[kind] = packed;
}

QStringList ListSources::MasterEntries(int kind) const
{
    return ListCodec::GetListColumn(master.value(kind), 0);
}

QStringList ListSources::PersonEntries(int kind) const
{
    return ListCodec::GetListColumn(person.value(kind), 0);
}

QStringList ListSources::Entries(ListSource source) const
{
    switch (source) {
    case ListSource::Categories:
        return MasterEntries(Categories);
    case ListSource::GoodsNames:
        return MasterEntries(GoodsNames);
    case ListSource::Models:
        return MasterEntries(Models);
    case ListSource::Colours:
        return MasterEntries(Colours);
    case ListSource::Sizes:
        return MasterEntries(Sizes);
    case ListSource::Suppliers:
        return PersonEntries(Suppliers);
    case ListSource::Clients:
        return PersonEntries(Clients);
    case ListSource::Employees:
        return PersonEntries(Employees);
    case ListSource::EmployeesThenDistributors:
        return PersonEntries(Employees) + PersonEntries(Distributors);
    case ListSource::PaymentItems:
        return PageDefinitions::PaymentItems();
    case ListSource::None:
        break;
    }
    return {};
}
