#include "MinMaxPyramid.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace timegraph {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

MinMaxPyramid::MinMaxPyramid(std::span<const double> samples) : samples_(samples)
{
    // First level from the samples.
    std::size_t count = samples.size() / BaseBlock;
    if (count == 0)
        return;
    Level first{BaseBlock, std::vector<double>(count), std::vector<double>(count)};
    for (std::size_t b = 0; b < count; ++b) {
        const double* s = samples.data() + b * BaseBlock;
        double lo = s[0], hi = s[0];
        bool finite = true;
        for (std::size_t k = 0; k < BaseBlock; ++k) {
            finite = finite && std::isfinite(s[k]);
            lo = std::min(lo, s[k]);
            hi = std::max(hi, s[k]);
        }
        first.smallest[b] = finite ? lo : NaN;
        first.largest[b] = finite ? hi : NaN;
    }
    levels_.push_back(std::move(first));
    // Each further level from the one below, while it has whole blocks.
    while ((count = levels_.back().smallest.size() / Fan) > 0) {
        const Level& below = levels_.back();
        Level next{below.block * Fan, std::vector<double>(count), std::vector<double>(count)};
        for (std::size_t b = 0; b < count; ++b) {
            double lo = below.smallest[b * Fan], hi = below.largest[b * Fan];
            bool finite = true;
            for (std::size_t k = 0; k < Fan; ++k) {
                const double l = below.smallest[b * Fan + k], h = below.largest[b * Fan + k];
                finite = finite && !std::isnan(l);
                lo = std::min(lo, l);
                hi = std::max(hi, h);
            }
            next.smallest[b] = finite ? lo : NaN;
            next.largest[b] = finite ? hi : NaN;
        }
        levels_.push_back(std::move(next));
    }
}

std::size_t MinMaxPyramid::Bytes() const
{
    std::size_t bytes = 0;
    for (const Level& level : levels_)
        bytes += (level.smallest.size() + level.largest.size()) * sizeof(double);
    return bytes;
}

void MinMaxPyramid::Take(std::size_t first, std::size_t last, Extremes& e) const
{
    for (std::size_t i = first; i < last; ++i) {
        const double v = samples_[i];
        e.finite = e.finite && std::isfinite(v);
        e.smallest = std::min(e.smallest, v);
        e.largest = std::max(e.largest, v);
    }
}

MinMaxPyramid::Extremes MinMaxPyramid::Of(std::size_t first, std::size_t last) const
{
    Extremes e{samples_[first], samples_[first], true};
    // From the highest level down: the whole blocks inside [first, last) from the coarsest
    // level that has them, the ragged ends from finer levels and finally the samples.
    std::size_t lo = first, hi = last;
    const auto takeBlocks = [&](const Level& level, std::size_t a, std::size_t b) {
        for (std::size_t k = a; k < b; ++k) {
            const double l = level.smallest[k], h = level.largest[k];
            e.finite = e.finite && !std::isnan(l);
            e.smallest = std::min(e.smallest, l);
            e.largest = std::max(e.largest, h);
        }
    };
    // Levels are walked from coarse to fine on the stretch still left at each end.
    std::size_t leftEnd = lo, rightStart = hi; // [lo, leftEnd) and [rightStart, hi) still to take
    bool any = false;
    for (std::size_t n = levels_.size(); n-- > 0;) {
        const Level& level = levels_[n];
        const std::size_t bs = level.block;
        if (!any) {
            const std::size_t a = (lo + bs - 1) / bs, b = std::min(hi / bs, level.smallest.size());
            if (a >= b)
                continue;
            takeBlocks(level, a, b);
            leftEnd = a * bs;
            rightStart = b * bs;
            any = true;
            continue;
        }
        // Ragged ends: whole blocks of this level next to what is taken.
        const std::size_t la = (lo + bs - 1) / bs, lb = leftEnd / bs;
        if (la < lb) {
            takeBlocks(level, la, lb);
            leftEnd = la * bs;
        }
        const std::size_t ra = rightStart / bs, rb = std::min(hi / bs, level.smallest.size());
        if (ra < rb) {
            takeBlocks(level, ra, rb);
            rightStart = rb * bs;
        }
    }
    if (!any) {
        Take(lo, hi, e);
        return e;
    }
    Take(lo, leftEnd, e);
    Take(rightStart, hi, e);
    return e;
}

std::uint64_t Fingerprint(std::span<const double> samples)
{
    std::uint64_t h = samples.size();
    if (samples.empty())
        return h;
    for (std::size_t k = 0; k < 64; ++k) {
        const std::size_t i = (samples.size() - 1) * k / 63;
        h = (h ^ std::bit_cast<std::uint64_t>(samples[i])) * 0x100000001b3ull;
    }
    return h;
}

const MinMaxPyramid& PyramidCache::For(std::span<const double> samples)
{
    const std::uint64_t print = Fingerprint(samples);
    for (Entry& e : entries_)
        if (e.data == samples.data() && e.size == samples.size()) {
            if (e.fingerprint != print) {
                e.pyramid = std::make_unique<MinMaxPyramid>(samples);
                e.fingerprint = print;
            }
            return *e.pyramid;
        }
    entries_.push_back({samples.data(), samples.size(), print, std::make_unique<MinMaxPyramid>(samples)});
    return *entries_.back().pyramid;
}

} // namespace timegraph
