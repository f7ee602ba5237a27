#include "FreshMemory.h"

#include <sys/mman.h>
#include <unistd.h>

namespace FreshMemory
{

QChar* Extend(QString& text, qsizetype more)
{
    const qsizetype at = text.size();
    text.resize(at + more);
    QChar* const start = text.data() + at;
#ifdef MADV_POPULATE_WRITE
    static const quintptr page = quintptr(sysconf(_SC_PAGESIZE));
    // Whole pages only: the pages at either end may hold other data, and are touched anyway.
    const quintptr from = (quintptr(start) + page - 1) & ~(page - 1);
    const quintptr to = quintptr(start + more) & ~(page - 1);
    // Without the advice (an older kernel) the pages are made ready as they are written.
    if (to > from)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
#endif
    return start;
}

} // namespace FreshMemory
