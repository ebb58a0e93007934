#include "MachineMemory.h"

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

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

namespace {

std::mutex poolMutex;
std::condition_variable poolReleased;
std::uint64_t poolHeld = 0;

} // namespace

SeriesShare::SeriesShare(std::uint64_t bytes, const std::function<bool()>& stop) : bytes_(bytes)
{
    const std::uint64_t budget = SeriesBudget();
    std::unique_lock lock(poolMutex);
    auto fits = [&] { return poolHeld == 0 || (bytes_ <= budget && poolHeld <= budget - bytes_); };
    // Woken by every release; the stop question is asked at least this often meanwhile, and
    // never under the lock (whoever answers may look at the pool).
    constexpr auto StopQuestion = std::chrono::milliseconds(20);
    while (!fits()) {
        lock.unlock();
        const bool stopping = stop && stop();
        lock.lock();
        if (stopping)
            return;
        if (!fits())
            poolReleased.wait_for(lock, StopQuestion);
    }
    poolHeld += bytes_;
    held_ = true;
}

SeriesShare::~SeriesShare()
{
    if (!held_)
        return;
    {
        std::lock_guard lock(poolMutex);
        poolHeld -= bytes_;
    }
    poolReleased.notify_all();
}

std::uint64_t SeriesShare::InFlight()
{
    std::lock_guard lock(poolMutex);
    return poolHeld;
}

} // namespace machinememory
