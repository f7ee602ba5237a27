#include "CellGrid.h"

#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace
{

constexpr std::size_t HugePage = 2 * 1024 * 1024;

std::size_t HugePages(std::size_t bytes)
{
    return (bytes + HugePage - 1) / HugePage * HugePage;
}

} // namespace

void* GridMemory::Allocate(std::size_t bytes)
{
    if (bytes < HugePage)
        return ::operator new(bytes);
    void* memory = std::aligned_alloc(HugePage, HugePages(bytes));
    if (!memory)
        throw std::bad_alloc();
    // Only a hint: without huge pages the memory is used as it is.
    madvise(memory, HugePages(bytes), MADV_HUGEPAGE);
    return memory;
}

void GridMemory::Release(void* memory, std::size_t bytes)
{
    if (bytes < HugePage)
        ::operator delete(memory);
    else
        std::free(memory);
}
