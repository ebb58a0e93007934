#pragma once

#include <cstdint>

// How much memory this machine has, for sizing what a run may hold.
namespace machinememory {

// Physical memory in bytes; 0 when the system does not tell.
std::uint64_t PhysicalBytes();

// Bytes the series of one run may take: about half the physical memory, so that a typed
// step cannot take the whole machine (4 GiB when the physical memory is unknown).
std::uint64_t SeriesBudget();

} // namespace machinememory
