#pragma once

#include <cstdint>
#include <functional>

// How much memory this machine has, for sizing what a run may hold.
namespace machinememory {

// Physical memory in bytes; 0 when the system does not tell.
std::uint64_t PhysicalBytes();

// Bytes the series of one run may take: about half the physical memory, so that a typed
// step cannot take the whole machine (4 GiB when the physical memory is unknown).
std::uint64_t SeriesBudget();

// A share of SeriesBudget held by runs in flight in this process (a study's workers and lanes):
// taken before the runs start and given back when they are over, so that all the runs in flight
// together stay within the budget a single run has. Taking waits while the others hold too much;
// a share beyond the budget is granted only while nothing else is held.
class SeriesShare {
public:
    // Waits until bytes can be had, asking stop now and then; holds nothing if stop said yes.
    SeriesShare(std::uint64_t bytes, const std::function<bool()>& stop);
    ~SeriesShare();
    SeriesShare(const SeriesShare&) = delete;
    SeriesShare& operator=(const SeriesShare&) = delete;

    bool Held() const { return held_; }

    // Bytes held by all shares now (for tests and diagnostics).
    static std::uint64_t InFlight();

private:
    std::uint64_t bytes_ = 0;
    bool held_ = false;
};

} // namespace machinememory
