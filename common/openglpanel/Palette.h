#pragma once

#include "PixelFormat.h"

#include <cstdint>
#include <vector>

namespace glpanel {

struct PaletteEntry {
    std::uint8_t peRed = 0;
    std::uint8_t peGreen = 0;
    std::uint8_t peBlue = 0;
    std::uint8_t peFlags = 0;
    bool operator==(const PaletteEntry&) const = default;
};

// Number of palette entries for a descriptor: 2^cColorBits kept to 16 bits, as Windows stores it.
std::uint16_t PaletteEntryCount(const PixelFormatDescriptor& pfd);

// Palette entry i spreads each channel field of i evenly over 0..255 using the
// descriptor's channel sizes and shifts (3-3-2: 0, 36, 72, 109, ... 255).
PaletteEntry PaletteEntryFor(const PixelFormatDescriptor& pfd, unsigned index);

} // namespace glpanel
