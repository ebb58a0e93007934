// The panel's rules that need no window: flags, palette, extension names, print
// placement, character codes, textures, text measuring, floating-point masking.
#include "BMPTexture.h"
#include "Charsets.h"
#include "Extensions.h"
#include "OpenGLPanel.h"
#include "Palette.h"
#include "PanelFonts.h"
#include "PanelPrinting.h"
#include "PixelFormat.h"

#include <QImage>
#include <QMetaProperty>
#include <QTemporaryDir>
#include <cfenv>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace glpanel;

TEST(PanelDefaults, PropertiesAndEnumerationsAsFormFilesStoreThem)
{
    TOpenGLPanel panel;
    EXPECT_EQ(panel.PixelType(), f_PFD_TYPE_RGBA);
    EXPECT_EQ(panel.PFDFlags(), (TPFDFlags{f_PFD_DRAW_TO_WINDOW, f_PFD_SUPPORT_OPENGL, f_PFD_DOUBLEBUFFER}));
    EXPECT_EQ(panel.cColorBits(), 32);
    EXPECT_EQ(panel.cDepthBits(), 32);
    EXPECT_EQ(panel.GLSwapBuffers(), Auto);
    EXPECT_EQ(panel.PixelsPerInch(), 96);
    EXPECT_EQ(panel.PrintScale(), pglProportional);
    EXPECT_EQ(*panel.Font3D_Type(), TPanelFont("Arial", -9, ANSI_CHARSET));
    EXPECT_FLOAT_EQ(panel.Font3D_Extrustion(), 0.1f);
    EXPECT_EQ(panel.Font3D_Format(), f_WGL_FONT_POLYGONS);
    EXPECT_EQ(panel.Font2D_FirstGylph(), 32);
    EXPECT_EQ(panel.Font2D_NumGylph(), 96);
    EXPECT_EQ(panel.RC(), 0u);
    EXPECT_EQ(panel.Font2D(), nullptr);

    // Form files set properties by these names.
    EXPECT_TRUE(panel.setProperty("Font3D_Extrustion", 0.25f));
    EXPECT_FLOAT_EQ(panel.Font3D_Extrustion(), 0.25f);
    EXPECT_TRUE(panel.setProperty("Font2D_NumGylph", 64));
    EXPECT_EQ(panel.Font2D_NumGylph(), 64);
    EXPECT_TRUE(panel.setProperty("PrintScale", QVariant::fromValue(pglNone)));
    EXPECT_EQ(panel.PrintScale(), pglNone);

    EXPECT_EQ(int(f_PFD_TYPE_COLORINDEX), 1);
    EXPECT_EQ(int(f_PFD_SWAP_LAYER_BUFFERS), TPFDFlags::MemberCount - 1);
    EXPECT_EQ(int(pglProportional), 2);
    EXPECT_EQ(int(f_WGL_FONT_POLYGONS), 1);
    EXPECT_EQ(sizeof(TPFDFlags), 2u);
}

TEST(PanelDefaults, FontSettersCopyIntoTheOwnedObject)
{
    TOpenGLPanel panel;
    TPanelFont* owned = panel.Font2D_Type();
    TPanelFont symbol("Symbol", 20, SYMBOL_CHARSET);
    panel.SetFont(symbol);
    EXPECT_EQ(panel.Font2D_Type(), owned);
    EXPECT_EQ(*owned, symbol);
    symbol.SetHeight(5);
    EXPECT_EQ(owned->Height(), 20);
}

struct PairingRow {
    const char* name;
    TPFDFlags current;
    TPFDFlags assigned;
    bool gdi;
    bool doubleBuffer;
};

TEST(PixelFormatFlags, GdiSupportAndDoubleBufferingStayAPair)
{
    const TPFDFlags gdi{f_PFD_DRAW_TO_WINDOW, f_PFD_SUPPORT_GDI};
    const TPFDFlags dbl{f_PFD_DRAW_TO_WINDOW, f_PFD_DOUBLEBUFFER};
    const TPFDFlags both{f_PFD_DRAW_TO_WINDOW, f_PFD_SUPPORT_GDI, f_PFD_DOUBLEBUFFER};
    const TPFDFlags neither{f_PFD_DRAW_TO_WINDOW};
    const PairingRow rows[] = {
        {"both while GDI: double buffering was switched on", gdi, both, false, true},
        {"both while double: GDI was switched on", dbl, both, true, false},
        {"neither while double: GDI comes on", dbl, neither, true, false},
        {"neither while GDI: double buffering comes on", gdi, neither, false, true},
        {"only GDI: unchanged", dbl, gdi, true, false},
        {"only double: unchanged", gdi, dbl, false, true},
    };
    for (const PairingRow& row : rows) {
        TOpenGLPanel panel;
        panel.SetPFDFlags(row.current);
        ASSERT_EQ(panel.PFDFlags(), row.current) << row.name;
        panel.SetPFDFlags(row.assigned);
        EXPECT_EQ(panel.PFDFlags().Contains(f_PFD_SUPPORT_GDI), row.gdi) << row.name;
        EXPECT_EQ(panel.PFDFlags().Contains(f_PFD_DOUBLEBUFFER), row.doubleBuffer) << row.name;
        EXPECT_TRUE(panel.PFDFlags().Contains(f_PFD_DRAW_TO_WINDOW)) << row.name;
    }
}

TEST(PixelFormatFlags, RequestAsksForDoubleBufferingExactlyWithoutGdi)
{
    const PixelFormatDescriptor request = RequestedDescriptor(
        f_PFD_TYPE_RGBA, {f_PFD_DRAW_TO_WINDOW, f_PFD_SUPPORT_OPENGL, f_PFD_DOUBLEBUFFER}, 32, 32);
    EXPECT_EQ(request.nSize, 40);
    EXPECT_EQ(request.nVersion, 1);
    EXPECT_EQ(request.dwFlags, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER);
    EXPECT_EQ(request.cColorBits, 32);
    EXPECT_EQ(request.cRedBits + request.cAlphaBits + request.cAccumBits + request.cStencilBits, 0);
    // The double-buffer member itself is never read.
    EXPECT_EQ(DescriptorFlags(TPFDFlags{f_PFD_SUPPORT_GDI, f_PFD_DOUBLEBUFFER}), std::uint32_t(PFD_SUPPORT_GDI));
    EXPECT_EQ(DescriptorFlags(TPFDFlags{f_PFD_STEREO, f_PFD_SWAP_LAYER_BUFFERS, f_PFD_GENERIC_ACCELERATED}),
              std::uint32_t(PFD_DOUBLEBUFFER | PFD_STEREO | PFD_SWAP_LAYER_BUFFERS | PFD_GENERIC_ACCELERATED));
}

TEST(Palette, ThreeThreeTwoLayoutSpreadsEachChannelOverTheFullRange)
{
    PixelFormatDescriptor pfd;
    pfd.cColorBits = 8;
    pfd.cRedBits = 3;
    pfd.cGreenBits = 3;
    pfd.cGreenShift = 3;
    pfd.cBlueBits = 2;
    pfd.cBlueShift = 6;
    ASSERT_EQ(PaletteEntryCount(pfd), 256);
    const int redGreen[] = {0, 36, 72, 109, 145, 182, 218, 255};
    const int blue[] = {0, 85, 170, 255};
    for (unsigned i = 0; i < 8; ++i) {
        EXPECT_EQ(PaletteEntryFor(pfd, i).peRed, redGreen[i]) << i;
        EXPECT_EQ(PaletteEntryFor(pfd, i << 3).peGreen, redGreen[i]) << i;
    }
    for (unsigned i = 0; i < 4; ++i) EXPECT_EQ(PaletteEntryFor(pfd, i << 6).peBlue, blue[i]) << i;
    EXPECT_EQ(PaletteEntryFor(pfd, 0), (PaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(PaletteEntryFor(pfd, 255), (PaletteEntry{255, 255, 255, 0}));
}

TEST(Extensions, OnlyWholeNamesMatch)
{
    const char* list = "GL_ARB_multitexture GL_EXT_texture GL_EXT_texture3D";
    EXPECT_TRUE(ExtensionListHas(list, "GL_ARB_multitexture"));
    EXPECT_TRUE(ExtensionListHas(list, "GL_EXT_texture3D"));
    EXPECT_TRUE(ExtensionListHas(list, "GL_EXT_texture"));
    EXPECT_FALSE(ExtensionListHas(list, "GL_ARB_multi")) << "a prefix of a name";
    EXPECT_FALSE(ExtensionListHas(list, "GL_EXT_texture3")) << "a prefix of the last name";
    EXPECT_FALSE(ExtensionListHas(list, "texture"));
    EXPECT_FALSE(ExtensionListHas(list, ""));
    EXPECT_FALSE(ExtensionListHas(nullptr, "GL_EXT_texture"));
}

TEST(PrintPlacement, ScalesByModeInsideTheMargins)
{
    const PrinterMetrics printer{600, 600, QSize(4800, 6600)};
    int ppi = 96;
    EXPECT_EQ(PrintPlacement(pglNone, QSize(320, 200), printer, ppi), QRect(108, 108, 320, 200));
    EXPECT_EQ(PrintPlacement(pglProportional, QSize(320, 200), printer, ppi), QRect(108, 108, 2000, 1250));

    int unset = 0;
    EXPECT_EQ(PrintPlacement(pglProportional, QSize(320, 200), printer, unset), QRect(108, 108, 2000, 1250));
    EXPECT_EQ(unset, 96) << "a resolution below 1 is replaced by 96 and stays so";

    const QRect fit = PrintPlacement(pglPrintToFit, QSize(320, 200), printer, ppi);
    EXPECT_EQ(fit.width(), 4800 - 216);
    EXPECT_NEAR(double(fit.width()) / fit.height(), 1.6, 0.001);
}

TEST(PrintPlacement, FitKeepsProportionsAndPrintsPicturesLargerThanThePage)
{
    const PrinterMetrics landscape{100, 100, QSize(1000, 700)};
    int ppi = 96;
    const QRect wide = PrintPlacement(pglPrintToFit, QSize(3000, 500), landscape, ppi);
    EXPECT_LE(wide.right(), 1000 - 18) << "stays on the page";
    EXPECT_NEAR(double(wide.width()) / wide.height(), 6.0, 0.05);
    const QRect large = PrintPlacement(pglPrintToFit, QSize(2000, 2000), landscape, ppi);
    EXPECT_GT(large.width(), 0);
    EXPECT_EQ(large.width(), large.height());
}

TEST(Charsets, CodesAreCyrillicOrSymbolByCharacterSet)
{
    EXPECT_EQ(CharForCode('W', SYMBOL_CHARSET), QChar(0x03A9));
    EXPECT_EQ(CharForCode('a', SYMBOL_CHARSET), QChar(0x03B1));
    EXPECT_EQ(CharForCode('W', ANSI_CHARSET), QChar('W'));
    EXPECT_EQ(CharForCode(0xC0, ANSI_CHARSET), QChar(0x0410));
    EXPECT_EQ(CharForCode(0xA8, RUSSIAN_CHARSET), QChar(0x0401));
    EXPECT_EQ(CharForCode(0xB0, SYMBOL_CHARSET), QChar(0x00B0));
    EXPECT_TRUE(CharForCode(0x1F, ANSI_CHARSET).isNull());
    EXPECT_EQ(ToWindowsCodePage(QStringLiteral("Ось Ё")), std::string("\xCE\xF1\xFC \xA8"));
    EXPECT_EQ(ToWindowsCodePage(QStringLiteral("Ω")), "?");
}

QString SaveTwoByTwo(const QTemporaryDir& dir)
{
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 255, 0));
    picture.setPixel(0, 1, qRgb(0, 0, 255));
    picture.setPixel(1, 1, qRgb(10, 20, 30));
    const QString path = dir.filePath("two.bmp");
    picture.save(path, "BMP");
    return path;
}

TEST(Textures, RowsStartAtTheBottomOfThePicture)
{
    QTemporaryDir dir;
    const QString path = SaveTwoByTwo(dir);
    for (bool withAlpha : {false, true}) {
        const auto texture = LoadTexture(path, withAlpha);
        const int n = withAlpha ? 4 : 3;
        ASSERT_EQ(texture->Components(), n);
        EXPECT_EQ(texture->Width(), 2);
        EXPECT_EQ(texture->Height(), 2);
        EXPECT_EQ(texture->Format(), withAlpha ? 0x1908u : 0x1907u);
        EXPECT_EQ(texture->DataType(), 0x1401u);
        ASSERT_EQ(texture->PixelBytes(), std::size_t(4 * n));
        const std::uint8_t* red = texture->Pixels() + n * 2;  // first texel of the second row
        EXPECT_EQ(red[0], 255);
        EXPECT_EQ(red[1], 0);
        EXPECT_EQ(red[2], 0);
        const std::uint8_t* first = texture->Pixels();  // bottom-left of the picture
        EXPECT_EQ(first[2], 255) << "blue";
        if (withAlpha) {
            EXPECT_EQ(first[3], 255);
        }
    }
}

TEST(Textures, SetAlphaWritesEveryAlphaByteOnlyWithAlpha)
{
    QTemporaryDir dir;
    const QString path = SaveTwoByTwo(dir);
    auto rgba = LoadTexture(path, true);
    rgba->SetAlpha(128);
    for (std::size_t i = 0; i < rgba->PixelBytes(); ++i)
        if (i % 4 == 3) {
            EXPECT_EQ(rgba->Pixels()[i], 128) << i;
        }
    EXPECT_EQ(rgba->Pixels()[8], 255) << "colour bytes untouched";

    auto rgb = LoadTexture(path, false);
    const std::vector<std::uint8_t> before(rgb->Pixels(), rgb->Pixels() + rgb->PixelBytes());
    rgb->SetAlpha(128);
    EXPECT_EQ(std::vector<std::uint8_t>(rgb->Pixels(), rgb->Pixels() + rgb->PixelBytes()), before);
}

TEST(Textures, UnreadableFileRaisesAnErrorNamingIt)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("textur1.bmp");
    try {
        LoadTexture(missing, false);
        FAIL() << "no error";
    } catch (const EOpenGLPanelFileError& error) {
        EXPECT_NE(std::string(error.what()).find("textur1.bmp"), std::string::npos);
    }
}

TEST(OutlineTextSize, OneCharacterIsItsBlackBoxTwoAddTheFirstCellIncrement)
{
    OpenGLFont3D font(nullptr, 'a', 3, 1, 0.25f);
    font.GlyphMetrics()[0] = GlyphMetricsFloat{0.5f, 0.6f, {0.05f, 0.6f}, 0.55f, 0.01f};   // a
    font.GlyphMetrics()[1] = GlyphMetricsFloat{0.45f, 0.8f, {0.05f, 0.8f}, 0.6f, 0.0f};    // b
    double x = -1, y = -1, z = -1;
    MeasureOutlineText(&font, "a", x, y, z);
    EXPECT_DOUBLE_EQ(x, 0.5f);
    EXPECT_DOUBLE_EQ(y, 0.6f);
    EXPECT_DOUBLE_EQ(z, 0.25f);
    MeasureOutlineText(&font, "ab", x, y, z);
    EXPECT_DOUBLE_EQ(x, double(0.55f) + double(0.45f));
    EXPECT_DOUBLE_EQ(y, double(0.01f) + double(0.8f));
    MeasureOutlineText(&font, "ax", x, y, z);
    EXPECT_EQ(x + y + z, 0.0) << "a character outside the font measures nothing";
    x = 7;
    MeasureOutlineText(&font, "", x, y, z);
    EXPECT_EQ(x, 7) << "an empty text leaves the result alone";
}

TEST(FloatingPoint, ConstructingAPanelMasksEveryException)
{
    feenableexcept(FE_DIVBYZERO | FE_INVALID);
    TOpenGLPanel panel;
    EXPECT_EQ(fegetexcept(), 0);
    volatile double zero = 0.0;
    EXPECT_TRUE(std::isinf(1.0 / zero));
    EXPECT_TRUE(std::isnan(zero / zero));
}

} // namespace
