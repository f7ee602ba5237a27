#pragma once

#include <QtGlobal>
#include <algorithm>
#include <cstddef>
#include <vector>

// The pages of a grid are taken as it is filled, a page fault every few kilobytes. For a large
// grid whose size is known beforehand those faults cost more than the reading itself, so its
// pages are all taken in one call instead. Only a hint: without it the grid works the same.
namespace GridMemory
{
void Populate(void* memory, std::size_t bytes);
} // namespace GridMemory

// Values by 1-based (row, column) in one array in row-major order. Sheets are read and written
// row by row, so a value almost always lands at the end; values put out of order are sorted in
// once, when the grid is next read.
template <typename T> class CellGrid
{
public:
    // Replaces a value already at that place.
    void Put(int row, int column, T value)
    {
        const quint64 key = Key(row, column);
        if (!entries.empty() && entries.back().key == key)
            entries.back().value = std::move(value);
        else {
            sorted = sorted && (entries.empty() || entries.back().key < key);
            entries.push_back({key, std::move(value)});
        }
    }

    const T* Find(int row, int column) const
    {
        Sort();
        const quint64 key = Key(row, column);
        const auto it =
            std::lower_bound(entries.begin(), entries.end(), key,
                             [](const Entry& entry, quint64 wanted) { return entry.key < wanted; });
        return it == entries.end() || it->key != key ? nullptr : &it->value;
    }

    template <typename Visit> void ForEach(Visit visit) const
    {
        Sort();
        for (const Entry& entry : entries)
            visit(int(entry.key >> 32), int(entry.key & 0xffffffffu), entry.value);
    }

    // Room for `count` values: growing a large grid step by step costs more than filling it.
    void Reserve(qsizetype count)
    {
        entries.reserve(size_t(count));
        GridMemory::Populate(entries.data() + entries.size(),
                             (entries.capacity() - entries.size()) * sizeof(Entry));
    }
    void Clear()
    {
        entries.clear();
        sorted = true;
    }

private:
    struct Entry {
        quint64 key;
        T value;
    };

    static quint64 Key(int row, int column) { return (quint64(row) << 32) | quint32(column); }

    // Orders the entries; of several values put at one place the last one stays.
    void Sort() const
    {
        if (sorted)
            return;
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.key < b.key; });
        auto last = entries.begin();
        for (auto it = std::next(last); it != entries.end(); ++it) {
            if (last->key != it->key)
                ++last;
            if (last != it)
                *last = std::move(*it);
        }
        entries.erase(last + 1, entries.end());
        sorted = true;
    }

    mutable std::vector<Entry> entries;
    mutable bool sorted = true;
};
