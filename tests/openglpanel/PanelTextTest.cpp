// Bitmap and outline text drawn in a real context and read back from the screen.
#include "Charsets.h"
#include "FontMapping.h"
#include "PanelFixture.h"

#include <QImage>

namespace {

int CountNonBlack(const QImage& picture)
{
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if ((picture.pixel(x, y) & 0xFFFFFF) != 0) ++n;
    return n;
}

void PixelProjection(TOpenGLPanel* sender)
{
    glViewport(0, 0, sender->width(), sender->height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, sender->width(), 0, sender->height(), -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 1);
}

class PanelText : public PanelFixture {
protected:
    // Draws text with the panel's bitmap font at (10, 40) and returns the picture.
    QImage DrawBitmap(const std::string& text)
    {
        panel->OnPaint = [text](TOpenGLPanel* sender) {
            PixelProjection(sender);
            glRasterPos3i(10, 40, 0);
            sender->Draw2DText(text);
        };
        return panel->GrabOpenGLPanel();
    }

    void ShowWithFonts(const TPanelFont& font2D)
    {
        panel->SetFont(font2D);
        panel->SetFont2D_Enabled(true);
        panel->SetFont3D_Enabled(true);
        panel->OnInit = [](TOpenGLPanel*) {};
        ASSERT_TRUE(ShowPanel());
        ASSERT_NE(panel->Font2D(), nullptr);
        ASSERT_NE(panel->Font3D(), nullptr);
    }
};

TEST_F(PanelText, BitmapTextDrawsAtTheRasterPositionAndAdvancesIt)
{
    ShowWithFonts(TPanelFont("Arial", -16, ANSI_CHARSET));
    EXPECT_GT(CountNonBlack(DrawBitmap("AB")), 20);
    EXPECT_EQ(CountNonBlack(DrawBitmap("")), 0);

    GLfloat start[4] = {}, after[4] = {};
    panel->MakeOpenGLPanelCurrent();
    PixelProjection(panel);
    glRasterPos3i(10, 40, 0);
    glGetFloatv(GL_CURRENT_RASTER_POSITION, start);
    panel->Draw2DText("AB");
    glGetFloatv(GL_CURRENT_RASTER_POSITION, after);
    GLint listBase = -1;
    glGetIntegerv(GL_LIST_BASE, &listBase);
    panel->MakeOpenGLPanelNotCurrent();
    EXPECT_GT(after[0] - start[0], 12.0f) << "two glyphs' advance";
    EXPECT_EQ(after[1], start[1]);
    EXPECT_EQ(listBase, 0) << "the caller's list base is kept";
}

TEST_F(PanelText, ACharacterOutsideTheFontDrawsNothingAtAll)
{
    ShowWithFonts(TPanelFont("Arial", -16, ANSI_CHARSET));
    EXPECT_EQ(CountNonBlack(DrawBitmap("A\x80" "B")), 0);
    EXPECT_EQ(CountNonBlack(DrawBitmap("A\x1F")), 0);
}

TEST_F(PanelText, CyrillicCodesDrawWithAFontCoveringThem)
{
    panel->SetFont2D_FirstGylph(192);
    panel->SetFont2D_NumGylph(64);
    ShowWithFonts(TPanelFont("Arial", -16, RUSSIAN_CHARSET));
    EXPECT_GT(CountNonBlack(DrawBitmap(glpanel::ToWindowsCodePage(QStringLiteral("Ось")))), 20);
}

TEST_F(PanelText, SymbolCharacterSetDrawsOmegaForW)
{
    // "Symbol" as the windows name it, and a face that holds its Greek at Latin codes
    // (ghostscript's, where installed; elsewhere the name falls to a Unicode face).
    ShowWithFonts(TPanelFont());
    for (const char* face : {"Symbol", "Standard Symbols PS"}) {
        SCOPED_TRACE(face);
        panel->MakeOpenGLPanelCurrent();
        const TPanelFont symbol(face, -24, SYMBOL_CHARSET);
        const TPanelFont latin(face, -24, ANSI_CHARSET);
        auto symbolFont = panel->Create2DFont(&symbol, 32, 96);
        auto plain = panel->Create2DFont(&latin, 32, 96);
        panel->MakeOpenGLPanelNotCurrent();
        ASSERT_NE(symbolFont, nullptr);
        ASSERT_NE(plain, nullptr);
        auto draw = [this](const OpenGLFont2D* font) {
            panel->OnPaint = [font](TOpenGLPanel* sender) {
                PixelProjection(sender);
                glRasterPos3i(10, 40, 0);
                sender->Draw2DText(font, "W");
            };
            return panel->GrabOpenGLPanel();
        };
        const QImage symbolW = draw(symbolFont.get());
        const QImage latinW = draw(plain.get());
        EXPECT_GT(CountNonBlack(symbolW), 20) << "Ω is drawn";
        EXPECT_NE(symbolW, latinW) << "the symbol set does not draw the face's own W";
        panel->MakeOpenGLPanelCurrent();
        symbolFont.reset();  // their lists go with the context that is current
        plain.reset();
        panel->MakeOpenGLPanelNotCurrent();
    }
}

// Every face the windows and the panel name, on the fonts the program ships with and on a
// machine that also has ghostscript's (this suite runs under both): the same face draws
// the characters each face is asked for.
TEST(FontMapping, WindowsFacesResolveToTheShippedFacesThatHaveTheirCharacters)
{
    struct Row {
        const char* face;
        const char* family;
        const char16_t* text;
    } const rows[] = {
        {"MS Sans Serif", "Liberation Sans", u"Wя1,"},
        {"Arial", "Liberation Sans", u"XYZ"},
        {"Times New Roman", "Liberation Serif", u"Уголt"},
        {"Symbol", "DejaVu Serif", u"ΩΦαω∀"},
        {"Symbol", "DejaVu Sans", u"≅∴"},  // signs the serif face lacks
    };
    for (const Row& row : rows) {
        const fontmap::CoveringFonts faces(fontmap::MappedFont(QString::fromLatin1(row.face), 12));
        for (const QChar ch : QString::fromUtf16(row.text))
            EXPECT_EQ(faces.FamilyFor(ch), QString::fromLatin1(row.family))
                << row.face << " U+" << std::hex << int(ch.unicode());
    }
    // A face the machine lacks still draws every character from a shipped face.
    const fontmap::CoveringFonts unknown(fontmap::MappedFont(QStringLiteral("No Such Face"), 12));
    EXPECT_TRUE(unknown.Covers(QChar(0x0416)));
}

TEST_F(PanelText, FontCreationGivesNothingWithoutAFontOrFreeLists)
{
    ShowWithFonts(TPanelFont());
    panel->MakeOpenGLPanelCurrent();
    EXPECT_EQ(panel->Create2DFont(nullptr, 32, 96), nullptr);
    EXPECT_EQ(panel->Create3DFont(nullptr, 32, 96, 0, 0.1f, 1), nullptr);
    platform->Fail("GenLists", 8, 2);
    EXPECT_EQ(panel->Create2DFont(panel->Font2D_Type(), 32, 96), nullptr);
    panel->Create3DFont();
    panel->MakeOpenGLPanelNotCurrent();
    EXPECT_EQ(panel->Font3D(), nullptr);
}

TEST_F(PanelText, OutlineTextMeasuresInEmUnitsFromTheGlyphMetrics)
{
    ShowWithFonts(TPanelFont());
    const OpenGLFont3D* font = panel->Font3D();
    const auto& a = font->GlyphMetrics()['a' - 32];
    const auto& b = font->GlyphMetrics()['b' - 32];
    const auto& m = font->GlyphMetrics()['M' - 32];
    EXPECT_GT(m.gmfCellIncX, 0.5f);
    EXPECT_LT(m.gmfCellIncX, 1.2f);
    EXPECT_GT(a.gmfBlackBoxY, 0.3f);
    EXPECT_LT(a.gmfBlackBoxY, 0.8f);
    EXPECT_GT(b.gmfBlackBoxY, a.gmfBlackBoxY) << "b has an ascender";

    double x = 0, y = 0, z = 0;
    panel->Get3DTextSize("a", x, y, z);
    EXPECT_DOUBLE_EQ(x, a.gmfBlackBoxX);
    EXPECT_DOUBLE_EQ(y, a.gmfBlackBoxY);
    EXPECT_DOUBLE_EQ(z, 0.1f);
    panel->Get3DTextSize("ab", x, y, z);
    EXPECT_DOUBLE_EQ(x, double(a.gmfCellIncX) + double(b.gmfBlackBoxX));
    EXPECT_DOUBLE_EQ(y, double(a.gmfCellIncY) + double(b.gmfBlackBoxY));
}

TEST_F(PanelText, OutlineTextDrawsGeometryAndKeepsTheCallersState)
{
    ShowWithFonts(TPanelFont());
    GLint frontFace = 0, listBase = -1;
    panel->OnPaint = [&](TOpenGLPanel* sender) {
        PixelProjection(sender);
        glTranslatef(10, 30, 0);
        glScalef(40, 40, 40);
        glFrontFace(GL_CW);
        sender->Draw3DText("Gyro");
        glGetIntegerv(GL_FRONT_FACE, &frontFace);
        glGetIntegerv(GL_LIST_BASE, &listBase);
    };
    const QImage picture = panel->GrabOpenGLPanel();
    EXPECT_GT(CountNonBlack(picture), 200);
    EXPECT_EQ(frontFace, GL_CW);
    EXPECT_EQ(listBase, 0);

    panel->OnPaint = [](TOpenGLPanel* sender) {
        PixelProjection(sender);
        glScalef(40, 40, 40);
        sender->Draw3DText("G\xFF");
    };
    EXPECT_EQ(CountNonBlack(panel->GrabOpenGLPanel()), 0);
}

} // namespace
