#include "PixelFormat.h"

#include <array>
#include <utility>

namespace glpanel {

std::uint32_t DescriptorFlags(TPFDFlags flags)
{
    static constexpr std::array<std::pair<TPFDFlag, std::uint32_t>, 9> direct = {{
        {f_PFD_DRAW_TO_WINDOW, PFD_DRAW_TO_WINDOW},
        {f_PFD_DRAW_TO_BITMAP, PFD_DRAW_TO_BITMAP},
        {f_PFD_SUPPORT_OPENGL, PFD_SUPPORT_OPENGL},
        {f_PFD_GENERIC_ACCELERATED, PFD_GENERIC_ACCELERATED},
        {f_PFD_GENERIC_FORMAT, PFD_GENERIC_FORMAT},
        {f_PFD_NEED_PALETTE, PFD_NEED_PALETTE},
        {f_PFD_NEED_SYSTEM_PALETTE, PFD_NEED_SYSTEM_PALETTE},
        {f_PFD_STEREO, PFD_STEREO},
        {f_PFD_SWAP_LAYER_BUFFERS, PFD_SWAP_LAYER_BUFFERS},
    }};
    std::uint32_t result = flags.Contains(f_PFD_SUPPORT_GDI) ? PFD_SUPPORT_GDI : PFD_DOUBLEBUFFER;
    for (const auto& [member, bit] : direct)
        if (flags.Contains(member)) result |= bit;
    return result;
}

PixelFormatDescriptor RequestedDescriptor(TPFDPixelTypes pixelType, TPFDFlags flags, std::uint8_t colorBits,
                                          std::uint8_t depthBits)
{
    PixelFormatDescriptor pfd;
    pfd.iPixelType = pixelType;
    pfd.cColorBits = colorBits;
    pfd.cDepthBits = depthBits;
    pfd.dwFlags = DescriptorFlags(flags);
    return pfd;
}

TPFDFlags PairGdiAndDoubleBuffer(TPFDFlags current, TPFDFlags requested)
{
    const bool gdi = requested.Contains(f_PFD_SUPPORT_GDI);
    const bool doubleBuffer = requested.Contains(f_PFD_DOUBLEBUFFER);
    const bool currentGdi = current.Contains(f_PFD_SUPPORT_GDI);
    if (gdi && doubleBuffer)
        requested.Exclude(currentGdi ? f_PFD_SUPPORT_GDI : f_PFD_DOUBLEBUFFER);
    else if (!gdi && !doubleBuffer)
        requested.Include(currentGdi ? f_PFD_DOUBLEBUFFER : f_PFD_SUPPORT_GDI);
    return requested;
}

} // namespace glpanel
