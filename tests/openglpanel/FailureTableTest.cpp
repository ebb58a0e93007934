// Every notice of the panel's failure table, through the scripted platform: the text,
// the error code after a closing colon, and whether the panel went on or stopped.
#include "PanelFixture.h"

#include <QMessageBox>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

namespace {

struct FailureRow {
    const char* name;
    std::function<void(ScriptedPanelPlatform&)> beforeShow;  // script set before the window exists
    std::function<void(PanelFixture&, ScriptedPanelPlatform&)> act;  // what happens once it is shown
    QStringList expected;
    std::function<void(const FailureRow&, TOpenGLPanel&, ScriptedPanelPlatform&)> check;
};

struct Outcome {
    int inits = 0;
    int paints = 0;
    int resizes = 0;
};

class FailureTable : public PanelFixture, public ::testing::WithParamInterface<FailureRow> {
protected:
    Outcome outcome;
};

void PrintTo(const FailureRow& row, std::ostream* os) { *os << row.name; }

void Nothing(PanelFixture&, ScriptedPanelPlatform&) {}
void NoScript(ScriptedPanelPlatform&) {}

// Creation failures: no context, no OnInit, the device context given back.
void CreationStopped(const FailureRow& row, TOpenGLPanel& panel, ScriptedPanelPlatform& platform)
{
    EXPECT_EQ(panel.RC(), 0u) << row.name;
    EXPECT_EQ(panel.DC(), 0u) << row.name;
    EXPECT_EQ(panel.Palette(), 0u) << row.name;
    EXPECT_EQ(platform.Count("ReleaseDC"), 1) << row.name << ": the device context is given back";
}

const FailureRow kRows[] = {
    {"ChoosePixelFormat", [](auto& p) { p.Fail("ChoosePixelFormat", 2000); }, Nothing,
     {"ChoosePixelFormat:2000", "Open GL Context Create Failed"}, CreationStopped},
    {"SetPixelFormat", [](auto& p) { p.Fail("SetPixelFormat", 87); }, Nothing,
     {"SetPixelFormat:87", "Open GL Context Create Failed"}, CreationStopped},
    {"CreateContext", [](auto& p) { p.Fail("CreateContext", 1282); }, Nothing,
     {"wglRenderingContext:1282", "Open GL Context Create Failed"}, CreationStopped},
    {"CreateContextWithPaletteThatWillNotGo",
     [](auto& p) {
         p.PalettedDisplay = true;
         p.Fail("CreateContext", 6);
         p.Fail("DeleteObject", 6);
     },
     Nothing, {"wglRenderingContext:6", "DeleteObject: Failed", "Open GL Context Create Failed"},
     [](const FailureRow& row, TOpenGLPanel& panel, ScriptedPanelPlatform& platform) {
         CreationStopped(row, panel, platform);
         EXPECT_EQ(platform.Count("SelectPalette"), 1) << "the stock palette goes back in first";
     }},
    {"PaletteMemory",
     [](auto& p) {
         p.PalettedDisplay = true;
         p.Fail("Allocate", 8);
     },
     Nothing, {"ConstructPalette: Malloc failure", "Open GL Context Create Failed"}, CreationStopped},
    {"CreatePalette",
     [](auto& p) {
         p.PalettedDisplay = true;
         p.Fail("CreatePalette", 8);
     },
     Nothing, {"CreatePalette:8", "Open GL Context Create Failed"},
     [](const FailureRow& row, TOpenGLPanel& panel, ScriptedPanelPlatform& platform) {
         CreationStopped(row, panel, platform);
         EXPECT_EQ(platform.Count("CreateContext"), 0) << row.name;
     }},
    {"MakeCurrentBeforeOnInit", [](auto& p) { p.Fail("MakeCurrent", 2000); }, Nothing, {"wglMakeCurrent:2000"},
     [](const FailureRow& row, TOpenGLPanel& panel, ScriptedPanelPlatform&) {
         EXPECT_NE(panel.RC(), 0u) << row.name << ": the panel goes on";
     }},
    {"MakeCurrentBeforeOnPaint", NoScript,
     [](PanelFixture& f, ScriptedPanelPlatform& p) {
         p.ClearLog();
         p.Fail("MakeCurrent", 170);
         f.panel->Repaint();
     },
     {"wglMakeCurrent:170"},
     [](const FailureRow& row, TOpenGLPanel&, ScriptedPanelPlatform& platform) {
         EXPECT_EQ(platform.Count("SwapBuffers"), 0) << row.name << ": stops before the handler";
     }},
    {"MakeCurrentBeforeOnResize", NoScript,
     [](PanelFixture& f, ScriptedPanelPlatform& p) {
         p.Fail("MakeCurrent", 5);
         f.panel->resize(90, 70);
     },
     {"wglMakeCurrent:5"}, nullptr},
    {"MakeOpenGLPanelCurrent", NoScript,
     [](PanelFixture& f, ScriptedPanelPlatform& p) {
         p.Fail("MakeCurrent", 6);
         f.panel->MakeOpenGLPanelCurrent();
     },
     {"wglMakeCurrent:6"}, nullptr},
    {"RealizePaletteWhilePainting", [](auto& p) { p.PalettedDisplay = true; },
     [](PanelFixture& f, ScriptedPanelPlatform& p) {
         p.ClearLog();
         p.Fail("RealizePalette", 1400);
         f.panel->Repaint();
     },
     {"RealizePalette:1400"},
     [](const FailureRow& row, TOpenGLPanel&, ScriptedPanelPlatform& platform) {
         EXPECT_EQ(platform.Count("MakeCurrent"), 0) << row.name << ": stops before the context";
     }},
    {"RealizePaletteOnPaletteFocus", [](auto& p) { p.PalettedDisplay = true; },
     [](PanelFixture& f, ScriptedPanelPlatform& p) {
         p.Fail("RealizePalette", 1401);
         EXPECT_EQ(f.panel->WMQueryNewPalette(), 0);
     },
     {"RealizePalette:1401"}, nullptr},
    {"DeleteContextAtDestruction", NoScript,
     [](PanelFixture& f, ScriptedPanelPlatform& p) {
         p.Fail("DeleteContext", 170);
         f.panel->SurfaceWindow()->destroy();
     },
     {"wglDeleteContext:170"},
     [](const FailureRow& row, TOpenGLPanel&, ScriptedPanelPlatform& platform) {
         EXPECT_EQ(platform.Count("ReleaseDC"), 1) << row.name << ": goes on to release the device context";
     }},
    {"DeletePaletteAtDestruction", [](auto& p) { p.PalettedDisplay = true; },
     [](PanelFixture& f, ScriptedPanelPlatform& p) {
         p.Fail("DeleteObject", 6);
         f.panel->SurfaceWindow()->destroy();
     },
     {"DeleteObject: Failed"},
     [](const FailureRow& row, TOpenGLPanel&, ScriptedPanelPlatform& platform) {
         EXPECT_EQ(platform.Count("ReleaseDC"), 1) << row.name;
     }},
    {"ReleaseDCAtDestruction", NoScript,
     [](PanelFixture& f, ScriptedPanelPlatform& p) {
         p.Fail("ReleaseDC", 0);
         f.panel->SurfaceWindow()->destroy();
     },
     {"ReleaseDC: Failed"}, nullptr},
    {"PrintMemory", NoScript,
     [](PanelFixture& f, ScriptedPanelPlatform& p) {
         QTemporaryDir dir;
         QPrinter printer(QPrinter::HighResolution);
         printer.setOutputFormat(QPrinter::PdfFormat);
         printer.setOutputFileName(dir.filePath("page.pdf"));
         p.Fail("Allocate", 8, 1, 1);  // the header buffer is had, the pixel buffer is not
         EXPECT_TRUE(f.panel->PrintOpenGLPanel(printer).isEmpty());
         EXPECT_FALSE(QFile::exists(dir.filePath("page.pdf"))) << "nothing is printed";
     },
     {"Print: Malloc Error"}, nullptr},
};

TEST_P(FailureTable, ShowsTheNoticeAndGoesOnOrStops)
{
    const FailureRow& row = GetParam();
    panel->OnInit = [this](TOpenGLPanel*) { ++outcome.inits; };
    panel->OnPaint = [this](TOpenGLPanel* sender) {
        ++outcome.paints;
        DrawKnownScene(sender);
    };
    panel->OnResize = [this](TOpenGLPanel*) { ++outcome.resizes; };
    row.beforeShow(*platform);
    ASSERT_TRUE(ShowPanel()) << row.name;
    const bool created = panel->RC() != 0;
    const Outcome before = outcome;
    row.act(*this, *platform);
    EXPECT_EQ(messages, row.expected) << row.name;
    if (!created) {
        EXPECT_EQ(outcome.inits, 0) << row.name << ": OnInit never runs without a context";
    }
    if (QString(row.name) == "MakeCurrentBeforeOnInit") {
        EXPECT_EQ(outcome.inits, 1) << "OnInit runs all the same";
    }
    if (QString(row.name).startsWith("MakeCurrentBefore") || QString(row.name).startsWith("RealizePaletteWhile")) {
        EXPECT_EQ(outcome.paints, before.paints) << row.name;
        EXPECT_EQ(outcome.resizes, before.resizes) << row.name;
    }
    if (row.check) row.check(row, *panel, *platform);
}

INSTANTIATE_TEST_SUITE_P(EveryNotice, FailureTable, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.name); });

// The notice itself: a modal box with an empty title, the text and one OK button.
TEST(FailureNotice, IsAMessageBoxWithOneOkButtonAndNoTitle)
{
    auto platform = std::make_shared<ScriptedPanelPlatform>();
    QWidget host;
    host.resize(120, 90);
    auto* panel = new TOpenGLPanel(&host, platform);
    panel->setGeometry(0, 0, 120, 90);
    QStringList seen;
    bool oneOkButton = true;
    std::function<void()> answer = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            QTimer::singleShot(20, answer);
            return;
        }
        seen << box->text();
        oneOkButton = oneOkButton && box->buttons().size() == 1 && box->standardButtons() == QMessageBox::Ok &&
                      box->windowTitle().isEmpty();
        box->button(QMessageBox::Ok)->click();
        if (seen.size() < 2) QTimer::singleShot(20, answer);
    };
    QTimer::singleShot(20, answer);
    platform->Fail("SetPixelFormat", 2000);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    EXPECT_EQ(seen, (QStringList{"SetPixelFormat:2000", "Open GL Context Create Failed"}));
    EXPECT_TRUE(oneOkButton);
}

} // namespace
