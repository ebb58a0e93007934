#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// Level of detail of a long series: the smallest and largest value of every block of
// samples, block upon block, so that the extremes of any stretch come from a few blocks
// instead of every sample. Built once per run; an eighth of the series' memory at most.
namespace timegraph {

class MinMaxPyramid {
public:
    // Samples in a block of the first level, and blocks of one level in a block of the next.
    static constexpr std::size_t BaseBlock = 32;
    static constexpr std::size_t Fan = 8;

    MinMaxPyramid() = default;
    explicit MinMaxPyramid(std::span<const double> samples);

    struct Extremes {
        double smallest, largest;
        // False where a sample of the stretch is not finite: the stretch has a gap.
        bool finite;
    };
    // The extremes of samples [first, last), first < last <= size.
    Extremes Of(std::size_t first, std::size_t last) const;

    std::span<const double> Samples() const { return samples_; }
    std::size_t Bytes() const;

private:
    struct Level {
        std::size_t block; // samples per entry
        std::vector<double> smallest, largest; // NaN in both where a sample is not finite
    };
    void Take(std::size_t first, std::size_t last, Extremes& e) const;

    std::span<const double> samples_;
    std::vector<Level> levels_;
};

// The pyramids of the series a window draws, each built the first time it is asked for
// and kept while its series stays the same (same place, length and values at a few spots).
class PyramidCache {
public:
    const MinMaxPyramid& For(std::span<const double> samples);
    void Clear() { entries_.clear(); }

private:
    struct Entry {
        const double* data;
        std::size_t size;
        std::uint64_t fingerprint;
        std::unique_ptr<MinMaxPyramid> pyramid;
    };
    std::vector<Entry> entries_;
};

// A cheap check that a series is still the one it was: its values at 64 spots.
std::uint64_t Fingerprint(std::span<const double> samples);

} // namespace timegraph
