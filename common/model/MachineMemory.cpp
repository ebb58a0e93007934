#include "MachineMemory.h"

#include <unistd.h>

namespace machinememory {

std::uint64_t PhysicalBytes()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

std::uint64_t SeriesBudget()
{
    const std::uint64_t physical = PhysicalBytes();
    return physical > 0 ? physical / 2 : std::uint64_t(4) << 30;
}

} // namespace machinememory
