#pragma once

#include <QList>
#include <QString>
#include <array>

// Why a row of a script was not restored, although the file reads well.
enum class SkipReason {
    OtherStore, // a row of another store, or of none
    Repeated,   // a row whose key comes again later in the file: the later one is kept
};

// The skipped rows of one restore: how many per reason and the first few line numbers.
class SkipReport
{
public:
    void Add(int line, SkipReason reason);
    qint64 Count() const;
    // One line per reason that occurred, e.g. "不是本门店的数据：2 行（第 3、9 行）".
    QString Text() const;

private:
    static constexpr int ShownLines = 5;
    struct Entry {
        qint64 count = 0;
        QList<int> lines; // the smallest line numbers, in order
    };
    std::array<Entry, 2> entries;
};
