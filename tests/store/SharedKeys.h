#pragma once

#include <QString>
#include <functional>

// The same new keys saved by several writers at once (threads of this test, or writer
// processes), so that the writers race to insert the same rows.
namespace SharedKeys
{

constexpr int Count = 150;

// Saves every shared key twice in each of the four saved tables, with values naming the writer;
// returns how many saves failed. `meet` runs before each key: two threads that meet there start
// every key together.
int SaveAll(const QString& writer, const std::function<void()>& meet = {});

// How many keys have more than one row in the four tables, -1 when that cannot be told.
int RepeatedKeys();

} // namespace SharedKeys
