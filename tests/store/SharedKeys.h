#pragma once

#include <QString>

// The same keys deleted and saved by several writers at once (threads of this test, or writer
// processes), so that the writers keep racing to insert the same rows.
namespace SharedKeys
{

constexpr int Count = 20;

// Deletes and saves every shared key in each of the four saved tables, round after round, with
// values naming the writer; returns how many statements failed plus how many times a key was
// found in more than one row.
int SaveAll(const QString& writer);

// How many shared keys have more than one row in the tables, -1 when that cannot be told.
int RepeatedKeys();

} // namespace SharedKeys
