#include "PanelFixture.h"

#include <QImage>
#include <vector>

namespace {

using PanelCycle = PanelFixture;

TEST_F(PanelCycle, HandlersRunInOrderWithTheContextCurrentOnlyDuringEachCall)
{
    std::vector<std::string> calls;
    std::vector<bool> currentDuring;
    panel->OnPreInit = [&](TOpenGLPanel* sender) {
        calls.push_back("PreInit");
        currentDuring.push_back(QOpenGLContext::currentContext() != nullptr);
        EXPECT_EQ(sender->RC(), 0u);
    };
    panel->OnInit = [&](TOpenGLPanel*) {
        calls.push_back("Init");
        currentDuring.push_back(QOpenGLContext::currentContext() != nullptr);
    };
    panel->OnResize = [&](TOpenGLPanel*) {
        calls.push_back("Resize");
        currentDuring.push_back(QOpenGLContext::currentContext() != nullptr);
    };
    panel->OnPaint = [&](TOpenGLPanel* sender) {
        calls.push_back("Paint");
        currentDuring.push_back(QOpenGLContext::currentContext() != nullptr);
        DrawKnownScene(sender);
    };
    ASSERT_TRUE(ShowPanel());
    panel->Repaint();
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);

    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[0], "PreInit");
    EXPECT_EQ(calls[1], "Init");
    EXPECT_EQ(calls[2], "Resize");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Init"), 1);
    EXPECT_EQ(currentDuring[0], false);
    for (std::size_t i = 1; i < currentDuring.size(); ++i) EXPECT_TRUE(currentDuring[i]) << calls[i];

    const QImage picture = panel->GrabOpenGLPanel();
    ASSERT_EQ(picture.size(), QSize(160, 120));
    EXPECT_EQ(picture.pixel(20, 60), qRgb(0, 255, 0));
    EXPECT_EQ(picture.pixel(140, 60), qRgb(255, 0, 0));
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

TEST_F(PanelCycle, ResizingCallsOnResizeWithTheNewSize)
{
    QSize seen;
    panel->OnResize = [&](TOpenGLPanel* sender) { seen = sender->size(); };
    ASSERT_TRUE(ShowPanel());
    panel->resize(100, 80);
    EXPECT_EQ(seen, QSize(100, 80));
}

TEST_F(PanelCycle, MouseInputOnTheSurfaceReachesThePanelsHandlers)
{
    QPoint down, up;
    int clicks = 0;
    panel->OnMouseDown = [&](TOpenGLPanel*, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        if (button == Qt::LeftButton) down = QPoint(x, y);
    };
    panel->OnMouseUp = [&](TOpenGLPanel*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { up = QPoint(x, y); };
    panel->OnClick = [&](TOpenGLPanel*) { ++clicks; };
    ASSERT_TRUE(ShowPanel());
    QTest::mousePress(panel->SurfaceWindow(), Qt::LeftButton, {}, QPoint(30, 40));
    QTest::mouseRelease(panel->SurfaceWindow(), Qt::LeftButton, {}, QPoint(35, 45));
    EXPECT_EQ(down, QPoint(30, 40));
    EXPECT_EQ(up, QPoint(35, 45));
    EXPECT_EQ(clicks, 1);
}

TEST_F(PanelCycle, EnabledFontsAreBuiltBeforeOnInit)
{
    panel->SetFont2D_Enabled(true);
    panel->SetFont3D_Enabled(true);
    bool fontsReady = false;
    panel->OnInit = [&](TOpenGLPanel* sender) { fontsReady = sender->Font2D() != nullptr && sender->Font3D() != nullptr; };
    ASSERT_TRUE(ShowPanel());
    EXPECT_TRUE(fontsReady);
    EXPECT_EQ(panel->Font2D()->GlyphCount(), 96);
    EXPECT_EQ(panel->Font3D()->FirstGlyph(), 32);
}

TEST_F(PanelCycle, WithoutOnInitNoFontIsBuilt)
{
    panel->SetFont2D_Enabled(true);
    panel->SetFont3D_Enabled(true);
    ASSERT_TRUE(ShowPanel());
    EXPECT_NE(panel->RC(), 0u);
    EXPECT_EQ(panel->Font2D(), nullptr);
    EXPECT_EQ(panel->Font3D(), nullptr);
    EXPECT_EQ(platform->Count("UseFontBitmaps") + platform->Count("UseFontOutlines") + platform->Count("GenLists"), 0);
}

TEST_F(PanelCycle, WithoutOnPaintNothingIsDrawnOrSwapped)
{
    ASSERT_TRUE(ShowPanel());
    platform->ClearLog();
    panel->Repaint();
    panel->SwapBuffers();  // the owner may still swap by hand
    EXPECT_EQ(platform->Count("MakeCurrent"), 0);
    EXPECT_EQ(platform->Count("SwapBuffers"), 1);
}

TEST_F(PanelCycle, AutoSwapsAfterEachPaintAndManualOnlyOnRequest)
{
    int paints = 0;
    panel->OnPaint = [&](TOpenGLPanel* sender) {
        ++paints;
        DrawKnownScene(sender);
    };
    ASSERT_TRUE(ShowPanel());
    ASSERT_TRUE(panel->IsDoubleBuffered());

    platform->ClearLog();
    panel->Repaint();
    EXPECT_EQ(platform->Count("SwapBuffers"), 1);

    panel->SetGLSwapBuffers(Manual);
    platform->ClearLog();
    panel->Repaint();
    panel->Repaint();
    EXPECT_EQ(platform->Count("SwapBuffers"), 0);
    panel->SwapBuffers();
    EXPECT_EQ(platform->Count("SwapBuffers"), 1);
    EXPECT_GE(paints, 3);
}

TEST_F(PanelCycle, SingleBufferedFormatDrawsButNeverSwaps)
{
    panel->SetPFDFlags(panel->PFDFlags() + TPFDFlags{f_PFD_SUPPORT_GDI});
    ASSERT_FALSE(panel->PFDFlags().Contains(f_PFD_DOUBLEBUFFER));
    panel->OnPaint = [](TOpenGLPanel* sender) {
        DrawKnownScene(sender);
        glFlush();
    };
    ASSERT_TRUE(ShowPanel());
    EXPECT_FALSE(panel->IsDoubleBuffered());
    platform->ClearLog();
    const QImage picture = panel->GrabOpenGLPanel();
    panel->SwapBuffers();
    EXPECT_EQ(platform->Count("SwapBuffers"), 0);
    EXPECT_EQ(picture.pixel(20, 60), qRgb(0, 255, 0));
}

TEST_F(PanelCycle, PixelFormatChangesWaitForTheNextContext)
{
    ASSERT_TRUE(ShowPanel());
    panel->SetPFDFlags(panel->PFDFlags() + TPFDFlags{f_PFD_SUPPORT_GDI});
    EXPECT_TRUE(panel->IsDoubleBuffered());
}

TEST_F(PanelCycle, TrueColourSurfaceHasNoPaletteAndPaintingSelectsNone)
{
    panel->OnPaint = DrawKnownScene;
    ASSERT_TRUE(ShowPanel());
    EXPECT_EQ(panel->Palette(), 0u);
    platform->ClearLog();
    panel->Repaint();
    EXPECT_EQ(platform->Count("SelectPalette") + platform->Count("RealizePalette"), 0);
}

TEST_F(PanelCycle, PalettedSurfaceGetsA332PaletteSelectedAroundPainting)
{
    platform->PalettedDisplay = true;
    panel->OnPaint = DrawKnownScene;
    ASSERT_TRUE(ShowPanel());
    ASSERT_NE(panel->Palette(), 0u);
    ASSERT_EQ(platform->CreatedPalette.size(), 256u);
    EXPECT_EQ(platform->CreatedPalette[0], (glpanel::PaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(platform->CreatedPalette[255], (glpanel::PaletteEntry{255, 255, 255, 0}));

    platform->ClearLog();
    panel->Repaint();
    EXPECT_EQ(platform->Calls.front(), "SelectPalette");
    EXPECT_EQ(platform->Count("RealizePalette"), 1);
    EXPECT_EQ(platform->Count("SelectPaletteBackground"), 1);

    platform->ClearLog();
    panel->WMPaletteChanged(panel->SurfaceWindow());
    EXPECT_TRUE(platform->Calls.empty());
    panel->WMPaletteChanged(nullptr);
    EXPECT_EQ(platform->Count("RealizePalette"), 1);
}

TEST_F(PanelCycle, OwnerCanHoldTheContextBetweenCurrentAndNotCurrent)
{
    ASSERT_TRUE(ShowPanel());
    panel->MakeOpenGLPanelCurrent();
    EXPECT_NE(QOpenGLContext::currentContext(), nullptr);
    EXPECT_NE(glGetString(GL_VERSION), nullptr);
    panel->MakeOpenGLPanelNotCurrent();
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
}

TEST_F(PanelCycle, SharedListsOfOnePanelAreUsableInTheOther)
{
    auto* second = new TOpenGLPanel(host.get(), platform);
    second->setGeometry(80, 0, 80, 120);
    panel->resize(80, 120);
    ASSERT_TRUE(ShowPanel());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(second->SurfaceWindow()));
    ASSERT_NE(panel->RC(), second->RC());

    ASSERT_TRUE(panel->PanelShareLists(second));
    panel->MakeOpenGLPanelCurrent();
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glEndList();
    panel->MakeOpenGLPanelNotCurrent();

    second->MakeOpenGLPanelCurrent();
    EXPECT_TRUE(glIsList(list));
    second->MakeOpenGLPanelNotCurrent();
    EXPECT_FALSE(panel->PanelShareLists(nullptr));
}

TEST_F(PanelCycle, AContextThatHasBeenUsedIsNotMadeToShareAfterwards)
{
    auto* second = new TOpenGLPanel(host.get(), platform);
    second->setGeometry(80, 0, 80, 120);
    second->OnInit = [](TOpenGLPanel*) { glGenLists(1); };
    panel->resize(80, 120);
    ASSERT_TRUE(ShowPanel());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(second->SurfaceWindow()));
    EXPECT_FALSE(panel->PanelShareLists(second));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(PanelCycle, OutlineFormatPropertyChoosesPolygonsOrLines)
{
    panel->SetFont3D_Enabled(true);
    panel->SetFont3DFormat(f_WGL_FONT_LINES);
    panel->OnInit = [](TOpenGLPanel*) {};
    ASSERT_TRUE(ShowPanel());
    EXPECT_EQ(platform->LastOutlineFormat, 0);
    panel->SetFont3DFormat(f_WGL_FONT_POLYGONS);
    panel->MakeOpenGLPanelCurrent();
    panel->Create3DFont();
    panel->MakeOpenGLPanelNotCurrent();
    EXPECT_EQ(platform->LastOutlineFormat, 1);
}

TEST_F(PanelCycle, ExtensionQueryMatchesWholeNamesOfTheCurrentContext)
{
    ASSERT_TRUE(ShowPanel());
    EXPECT_FALSE(panel->QueryOpenGLExtention("GL_ARB_multitexture"));  // no context current
    panel->MakeOpenGLPanelCurrent();
    const std::string list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const std::string first = list.substr(0, list.find(' '));
    ASSERT_GT(first.size(), 3u);
    EXPECT_TRUE(panel->QueryOpenGLExtention(first));
    EXPECT_FALSE(panel->QueryOpenGLExtention(first.substr(0, first.size() - 1)));
    panel->MakeOpenGLPanelNotCurrent();
}

TEST_F(PanelCycle, DisplayDepthIsTheScreensAndCannotBeChanged)
{
    const int bitsPerPixel = panel->GetDisplayBPP();
    if (QGuiApplication::primaryScreen()->depth() == 24) {
        EXPECT_EQ(bitsPerPixel, 32) << "24-bit colour is stored in 32-bit pixels";
    }
    EXPECT_TRUE(panel->SetDisplayBPP(bitsPerPixel)) << "the depth the display has";
    EXPECT_FALSE(panel->SetDisplayBPP(bitsPerPixel == 16 ? 32 : 16));
    EXPECT_EQ(panel->GetDisplayBPP(), bitsPerPixel);
}

} // namespace
