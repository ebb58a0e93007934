#pragma once

#include "QtPanelPlatform.h"

#include <map>
#include <string>
#include <vector>

// The real platform with a script on top: any operation can be told to fail (with a
// given error code) on its next calls, and every call is logged by name.
class ScriptedPanelPlatform : public glpanel::QtPanelPlatform {
public:
    // The next `times` calls of operation fail and report code; earlier `skip` calls succeed.
    void Fail(const std::string& operation, unsigned long code, int times = 1, int skip = 0);
    int Count(const std::string& operation) const;
    void ClearLog() { Calls.clear(); }

    // Describe the surface as an 8-bit 3-3-2 format that needs a palette.
    bool PalettedDisplay = false;
    // Extension list to report instead of the context's, when set.
    const char* Extensions = nullptr;

    std::vector<std::string> Calls;
    std::vector<glpanel::PaletteEntry> CreatedPalette;
    int LastOutlineFormat = -1;

    int ChoosePixelFormat(glpanel::DeviceContext dc, const glpanel::PixelFormatDescriptor& request) override;
    int SetPixelFormat(glpanel::DeviceContext dc, int format, const glpanel::PixelFormatDescriptor& request) override;
    int DescribePixelFormat(glpanel::DeviceContext dc, int format, glpanel::PixelFormatDescriptor& out) override;
    int ReleaseDC(QWindow* window, glpanel::DeviceContext dc) override;
    glpanel::RenderingContext CreateContext(glpanel::DeviceContext dc) override;
    bool MakeCurrent(glpanel::DeviceContext dc, glpanel::RenderingContext rc) override;
    bool DeleteContext(glpanel::RenderingContext rc) override;
    bool ShareLists(glpanel::RenderingContext first, glpanel::RenderingContext second) override;
    bool SwapBuffers(glpanel::DeviceContext dc) override;
    glpanel::PaletteHandle CreatePalette(const std::vector<glpanel::PaletteEntry>& entries) override;
    glpanel::PaletteHandle SelectPalette(glpanel::DeviceContext dc, glpanel::PaletteHandle palette, bool background) override;
    int RealizePalette(glpanel::DeviceContext dc) override;
    bool DeleteObject(glpanel::PaletteHandle palette) override;
    bool Allocate(std::vector<std::uint8_t>& buffer, std::size_t bytes) override;
    glpanel::ListName GenLists(int count) override;
    bool UseFontBitmaps(glpanel::DeviceContext dc, const TPanelFont& font, int first, int count, glpanel::ListName base) override;
    bool UseFontOutlines(glpanel::DeviceContext dc, const TPanelFont& font, int first, int count, glpanel::ListName base,
                         float deviation, float extrusion, int format, glpanel::GlyphMetricsFloat* metrics) override;
    const char* ExtensionString() override;

private:
    struct Script {
        unsigned long code = 0;
        int times = 0;
        int skip = 0;
    };
    // Logs the call; true when it is to fail, with the error code set.
    bool Fails(const std::string& operation);

    std::map<std::string, Script> m_scripts;
};
