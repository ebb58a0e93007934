#pragma once

#include "PanelTypes.h"

#include <cstdint>

namespace glpanel {

// Flag bits of a pixel format request, with the values the Windows descriptor uses.
enum : std::uint32_t {
    PFD_DOUBLEBUFFER = 0x1,
    PFD_STEREO = 0x2,
    PFD_DRAW_TO_WINDOW = 0x4,
    PFD_DRAW_TO_BITMAP = 0x8,
    PFD_SUPPORT_GDI = 0x10,
    PFD_SUPPORT_OPENGL = 0x20,
    PFD_GENERIC_FORMAT = 0x40,
    PFD_NEED_PALETTE = 0x80,
    PFD_NEED_SYSTEM_PALETTE = 0x100,
    PFD_SWAP_LAYER_BUFFERS = 0x800,
    PFD_GENERIC_ACCELERATED = 0x1000,
};
enum : std::uint8_t { PFD_TYPE_RGBA = 0, PFD_TYPE_COLORINDEX = 1, PFD_MAIN_PLANE = 0 };

// The pixel format descriptor, field for field, so that the colour layout a platform
// reports can drive the palette exactly as on Windows.
struct PixelFormatDescriptor {
    std::uint16_t nSize = 40;
    std::uint16_t nVersion = 1;
    std::uint32_t dwFlags = 0;
    std::uint8_t iPixelType = 0;
    std::uint8_t cColorBits = 0;
    std::uint8_t cRedBits = 0;
    std::uint8_t cRedShift = 0;
    std::uint8_t cGreenBits = 0;
    std::uint8_t cGreenShift = 0;
    std::uint8_t cBlueBits = 0;
    std::uint8_t cBlueShift = 0;
    std::uint8_t cAlphaBits = 0;
    std::uint8_t cAlphaShift = 0;
    std::uint8_t cAccumBits = 0;
    std::uint8_t cAccumRedBits = 0;
    std::uint8_t cAccumGreenBits = 0;
    std::uint8_t cAccumBlueBits = 0;
    std::uint8_t cAccumAlphaBits = 0;
    std::uint8_t cDepthBits = 0;
    std::uint8_t cStencilBits = 0;
    std::uint8_t cAuxBuffers = 0;
    std::uint8_t iLayerType = PFD_MAIN_PLANE;
    std::uint8_t bReserved = 0;
    std::uint32_t dwLayerMask = 0;
    std::uint32_t dwVisibleMask = 0;
    std::uint32_t dwDamageMask = 0;

    bool operator==(const PixelFormatDescriptor&) const = default;
};

// Descriptor flags for a set of panel flags. Double buffering is asked for exactly when
// GDI support is not, so the double-buffer member itself is never read.
std::uint32_t DescriptorFlags(TPFDFlags flags);

// The request the panel makes: everything zero but pixel type, depths and flags.
PixelFormatDescriptor RequestedDescriptor(TPFDPixelTypes pixelType, TPFDFlags flags, std::uint8_t colorBits,
                                          std::uint8_t depthBits);

// Keeps GDI support and double buffering as a pair of which exactly one is on: when both
// are given the one just switched on wins, when neither the other one comes back on.
TPFDFlags PairGdiAndDoubleBuffer(TPFDFlags current, TPFDFlags requested);

} // namespace glpanel
