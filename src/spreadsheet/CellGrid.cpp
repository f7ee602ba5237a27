#include "CellGrid.h"

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

// Huge pages would save the faults too, but where the system hands free memory back to a
// hypervisor they come from memory that has to be cleared again first: on such a machine that
// clearing made up most of the time of a large read.
void GridMemory::Populate(void* memory, std::size_t bytes)
{
    constexpr std::size_t Worthwhile = 2 * 1024 * 1024;
    if (bytes < Worthwhile)
        return;
    const std::uintptr_t page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t first = (std::uintptr_t(memory) + page - 1) / page * page;
    const std::uintptr_t end = (std::uintptr_t(memory) + bytes) / page * page;
    // Older systems do not know the advice and answer with an error: the pages then come as the
    // grid fills.
    madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
}
