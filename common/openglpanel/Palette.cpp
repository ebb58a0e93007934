#include "Palette.h"

namespace glpanel {
namespace {

std::uint8_t Level(unsigned index, unsigned shift, unsigned bits)
{
    const unsigned mask = (1u << bits) - 1;
    if (mask == 0) return 0;  // a channel without bits stays black rather than dividing by zero
    return std::uint8_t(((index >> shift) & mask) * 255u / mask);
}

} // namespace

std::uint16_t PaletteEntryCount(const PixelFormatDescriptor& pfd)
{
    return std::uint16_t(pfd.cColorBits >= 32 ? 0 : (1ull << pfd.cColorBits));
}

PaletteEntry PaletteEntryFor(const PixelFormatDescriptor& pfd, unsigned index)
{
    PaletteEntry e;
    e.peRed = Level(index, pfd.cRedShift, pfd.cRedBits);
    e.peGreen = Level(index, pfd.cGreenShift, pfd.cGreenBits);
    e.peBlue = Level(index, pfd.cBlueShift, pfd.cBlueBits);
    return e;
}

} // namespace glpanel
