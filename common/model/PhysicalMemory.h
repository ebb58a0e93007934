#pragma once

#include <cstdint>

#include <unistd.h>

// The memory the machine has, for limits that must hold on a small laptop and a large
// workstation alike. 0 when the system does not tell.
inline std::uint64_t PhysicalMemoryBytes()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}
