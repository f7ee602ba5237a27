#pragma once

#include <QString>
#include <QTextStream>

// A chain of shops on the throwaway PostgreSQL, in the database the data store is connected to:
// five shops generated (two goods records for one money record over four years to 2024-06-30)
// and written by the generator's bulk path, the other store numbers copies of them made by the
// server (insert ... select), which is much faster and gives the same rows. Shop n holds the rows
// of generated shop n mod 5.
namespace ChainDatabase
{

constexpr int GeneratedShops = 5;

QString StoreNo(int shop);
// The seed shop `shop`'s rows are generated from, for a database that holds one shop alone.
int Seed(int shop);
// Writes one generated shop's records under `storeNo`.
bool WriteShop(int shop, const QString& storeNo, int records, QTextStream& out);
// Writes `shops` shops of `records` records each; says what it did on `out`.
bool Build(int shops, int records, QTextStream& out);
// Runs a statement on the data store's connection; a failure is said on `out`.
bool Exec(const QString& statement, QTextStream& out);

} // namespace ChainDatabase
