#pragma once

#include <QObject>
#include <cstdint>
#include <initializer_list>

// The component's enumerations live in the meta-object system so that the panel's
// properties can be set by name from form files; they are also visible unqualified.
namespace Openglpanel {
Q_NAMESPACE

enum TPFDPixelTypes : std::uint8_t { f_PFD_TYPE_RGBA = 0, f_PFD_TYPE_COLORINDEX = 1 };
Q_ENUM_NS(TPFDPixelTypes)

enum TPFDFlag : std::uint8_t {
    f_PFD_DRAW_TO_WINDOW,
    f_PFD_DRAW_TO_BITMAP,
    f_PFD_SUPPORT_GDI,
    f_PFD_SUPPORT_OPENGL,
    f_PFD_GENERIC_ACCELERATED,
    f_PFD_GENERIC_FORMAT,
    f_PFD_NEED_PALETTE,
    f_PFD_NEED_SYSTEM_PALETTE,
    f_PFD_DOUBLEBUFFER,
    f_PFD_STEREO,
    f_PFD_SWAP_LAYER_BUFFERS,
};
Q_ENUM_NS(TPFDFlag)

enum TOpenGLSwapBuffers : std::uint8_t { Auto, Manual };
Q_ENUM_NS(TOpenGLSwapBuffers)

enum TOpenGLPrintScale : std::uint8_t { pglNone, pglPrintToFit, pglProportional };
Q_ENUM_NS(TOpenGLPrintScale)

enum TFont3DFormat : std::uint8_t { f_WGL_FONT_LINES = 0, f_WGL_FONT_POLYGONS = 1 };
Q_ENUM_NS(TFont3DFormat)

// Set of the eleven pixel-format flags, one bit per member in member order.
class TPFDFlags {
public:
    static constexpr int MemberCount = 11;

    constexpr TPFDFlags() = default;
    constexpr TPFDFlags(std::initializer_list<TPFDFlag> members) {
        for (TPFDFlag m : members) Include(m);
    }
    static constexpr TPFDFlags FromBits(std::uint16_t bits) {
        TPFDFlags s;
        s.m_bits = bits & AllBits;
        return s;
    }

    constexpr bool Contains(TPFDFlag m) const { return (m_bits >> m) & 1u; }
    constexpr TPFDFlags& Include(TPFDFlag m) { m_bits = std::uint16_t(m_bits | (1u << m)); return *this; }
    constexpr TPFDFlags& Exclude(TPFDFlag m) { m_bits = std::uint16_t(m_bits & ~(1u << m)); return *this; }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr std::uint16_t Bits() const { return m_bits; }

    constexpr TPFDFlags operator+(TPFDFlags o) const { return FromBits(std::uint16_t(m_bits | o.m_bits)); }
    constexpr TPFDFlags operator-(TPFDFlags o) const { return FromBits(std::uint16_t(m_bits & ~o.m_bits)); }
    constexpr TPFDFlags operator*(TPFDFlags o) const { return FromBits(std::uint16_t(m_bits & o.m_bits)); }
    constexpr bool operator==(const TPFDFlags&) const = default;

private:
    static constexpr std::uint16_t AllBits = (1u << MemberCount) - 1;
    std::uint16_t m_bits = 0;
};
static_assert(sizeof(TPFDFlags) == 2, "the flag set is stored in two bytes");

} // namespace Openglpanel

using Openglpanel::TFont3DFormat;
using Openglpanel::TOpenGLPrintScale;
using Openglpanel::TOpenGLSwapBuffers;
using Openglpanel::TPFDFlag;
using Openglpanel::TPFDFlags;
using Openglpanel::TPFDPixelTypes;
using enum Openglpanel::TPFDPixelTypes;
using enum Openglpanel::TPFDFlag;
using enum Openglpanel::TOpenGLSwapBuffers;
using enum Openglpanel::TOpenGLPrintScale;
using enum Openglpanel::TFont3DFormat;
