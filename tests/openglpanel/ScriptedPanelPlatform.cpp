#include "ScriptedPanelPlatform.h"

#include <algorithm>

using namespace glpanel;

void ScriptedPanelPlatform::Fail(const std::string& operation, unsigned long code, int times, int skip)
{
    m_scripts[operation] = Script{code, times, skip};
}

int ScriptedPanelPlatform::Count(const std::string& operation) const
{
    return int(std::count(Calls.begin(), Calls.end(), operation));
}

bool ScriptedPanelPlatform::Fails(const std::string& operation)
{
    Calls.push_back(operation);
    const auto it = m_scripts.find(operation);
    if (it == m_scripts.end() || it->second.times == 0) return false;
    if (it->second.skip > 0) {
        --it->second.skip;
        return false;
    }
    --it->second.times;
    SetLastError(it->second.code);
    return true;
}

int ScriptedPanelPlatform::ChoosePixelFormat(DeviceContext dc, const PixelFormatDescriptor& request)
{
    return Fails("ChoosePixelFormat") ? 0 : QtPanelPlatform::ChoosePixelFormat(dc, request);
}

int ScriptedPanelPlatform::SetPixelFormat(DeviceContext dc, int format, const PixelFormatDescriptor& request)
{
    return Fails("SetPixelFormat") ? 0 : QtPanelPlatform::SetPixelFormat(dc, format, request);
}

int ScriptedPanelPlatform::DescribePixelFormat(DeviceContext dc, int format, PixelFormatDescriptor& out)
{
    if (Fails("DescribePixelFormat")) return 0;
    const int result = QtPanelPlatform::DescribePixelFormat(dc, format, out);
    if (PalettedDisplay) {
        out.dwFlags |= PFD_NEED_PALETTE;
        out.cColorBits = 8;
        out.cRedBits = 3;
        out.cRedShift = 0;
        out.cGreenBits = 3;
        out.cGreenShift = 3;
        out.cBlueBits = 2;
        out.cBlueShift = 6;
    }
    return result;
}

int ScriptedPanelPlatform::ReleaseDC(QWindow* window, DeviceContext dc)
{
    const int result = QtPanelPlatform::ReleaseDC(window, dc);
    return Fails("ReleaseDC") ? 0 : result;
}

RenderingContext ScriptedPanelPlatform::CreateContext(DeviceContext dc)
{
    return Fails("CreateContext") ? 0 : QtPanelPlatform::CreateContext(dc);
}

bool ScriptedPanelPlatform::MakeCurrent(DeviceContext dc, RenderingContext rc)
{
    if (rc == 0) {
        Calls.push_back("MakeNotCurrent");
        return QtPanelPlatform::MakeCurrent(dc, rc);
    }
    return !Fails("MakeCurrent") && QtPanelPlatform::MakeCurrent(dc, rc);
}

bool ScriptedPanelPlatform::DeleteContext(RenderingContext rc)
{
    const bool deleted = QtPanelPlatform::DeleteContext(rc);  // the real one goes regardless
    return !Fails("DeleteContext") && deleted;
}

bool ScriptedPanelPlatform::ShareLists(RenderingContext first, RenderingContext second)
{
    return !Fails("ShareLists") && QtPanelPlatform::ShareLists(first, second);
}

bool ScriptedPanelPlatform::SwapBuffers(DeviceContext dc)
{
    return !Fails("SwapBuffers") && QtPanelPlatform::SwapBuffers(dc);
}

PaletteHandle ScriptedPanelPlatform::CreatePalette(const std::vector<PaletteEntry>& entries)
{
    if (Fails("CreatePalette")) return 0;
    CreatedPalette = entries;
    return QtPanelPlatform::CreatePalette(entries);
}

PaletteHandle ScriptedPanelPlatform::SelectPalette(DeviceContext dc, PaletteHandle palette, bool background)
{
    return Fails(background ? "SelectPaletteBackground" : "SelectPalette") ? 0
                                                                          : QtPanelPlatform::SelectPalette(dc, palette, background);
}

int ScriptedPanelPlatform::RealizePalette(DeviceContext dc)
{
    return Fails("RealizePalette") ? GDI_ERROR : QtPanelPlatform::RealizePalette(dc);
}

bool ScriptedPanelPlatform::DeleteObject(PaletteHandle palette)
{
    const bool deleted = QtPanelPlatform::DeleteObject(palette);
    return !Fails("DeleteObject") && deleted;
}

bool ScriptedPanelPlatform::Allocate(std::vector<std::uint8_t>& buffer, std::size_t bytes)
{
    return !Fails("Allocate") && QtPanelPlatform::Allocate(buffer, bytes);
}

ListName ScriptedPanelPlatform::GenLists(int count)
{
    return Fails("GenLists") ? 0 : QtPanelPlatform::GenLists(count);
}

bool ScriptedPanelPlatform::UseFontBitmaps(DeviceContext dc, const TPanelFont& font, int first, int count, ListName base)
{
    Calls.push_back("UseFontBitmaps");
    return QtPanelPlatform::UseFontBitmaps(dc, font, first, count, base);
}

bool ScriptedPanelPlatform::UseFontOutlines(DeviceContext dc, const TPanelFont& font, int first, int count, ListName base,
                                            float deviation, float extrusion, int format, GlyphMetricsFloat* metrics)
{
    Calls.push_back("UseFontOutlines");
    LastOutlineFormat = format;
    return QtPanelPlatform::UseFontOutlines(dc, font, first, count, base, deviation, extrusion, format, metrics);
}

const char* ScriptedPanelPlatform::ExtensionString()
{
    return Extensions ? Extensions : QtPanelPlatform::ExtensionString();
}
