// A window with two panels side by side, each with its own context, drawing lit,
// textured and labelled geometry; the pictures are saved, reloaded and printed.
#include "Charsets.h"
#include "PanelFixture.h"

#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <GL/glu.h>

namespace {

struct DemoScene {
    std::unique_ptr<BMPTexture> texture;
    GLuint textureName = 0;
    GLUquadric* quadric = nullptr;
    float hue = 0;  // tells the two panels' pictures apart
    std::string label;
};

void Init(TOpenGLPanel* sender, DemoScene& scene)
{
    glGenTextures(1, &scene.textureName);
    glBindTexture(GL_TEXTURE_2D, scene.textureName);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(scene.texture->Format()), scene.texture->Width(), scene.texture->Height(), 0,
                 scene.texture->Format(), scene.texture->DataType(), scene.texture->Pixels());
    scene.quadric = gluNewQuadric();
    gluQuadricTexture(scene.quadric, GL_TRUE);
    gluQuadricNormals(scene.quadric, GLU_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    const GLfloat light[4] = {-1, 1, 2, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glShadeModel(GL_SMOOTH);
    (void)sender;
}

void Resize(TOpenGLPanel* sender)
{
    glViewport(0, 0, sender->width(), sender->height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = double(sender->width()) / sender->height();
    glOrtho(-1.5 * aspect, 1.5 * aspect, -1.5, 1.5, -5, 5);
    glMatrixMode(GL_MODELVIEW);
}

void Paint(TOpenGLPanel* sender, DemoScene& scene)
{
    glClearColor(0.1f, 0.1f, 0.2f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    glPushMatrix();
    glRotated(-70, 1, 0, 0);
    glTranslated(0, 0, -0.9);
    gluCylinder(scene.quadric, 0.9, 0.9, 1.2, 32, 4);  // textured rotor
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glColor3f(scene.hue, 0.6f, 1 - scene.hue);
    glPushMatrix();
    glTranslated(0, 0, 1);
    gluDisk(scene.quadric, 0, 0.4, 32, 1);  // lit cap towards the viewer
    glPopMatrix();
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 0);
    glRasterPos3i(-1, -1, 2);
    sender->Draw2DText(scene.label);
    glPushMatrix();
    glTranslated(-1.4, 1.1, 2);
    glScaled(0.3, 0.3, 0.3);
    sender->Draw3DText("Gyro");
    glPopMatrix();
}

QString MakeTexture(const QTemporaryDir& dir)
{
    QImage checker(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) checker.setPixel(x, y, ((x / 4 + y / 4) % 2) ? qRgb(255, 40, 40) : qRgb(255, 255, 255));
    const QString path = dir.filePath("textur1.bmp");
    checker.save(path, "BMP");
    return path;
}

TEST(DemoWindow, TwoPanelsDrawSaveAndPrintTheirOwnPictures)
{
    QTemporaryDir dir;
    const QString texturePath = MakeTexture(dir);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Две панели OpenGL"));
    auto* layout = new QHBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    DemoScene scenes[2];
    TOpenGLPanel* panels[2];
    QStringList messages;
    for (int i = 0; i < 2; ++i) {
        panels[i] = new TOpenGLPanel(&window);
        panels[i]->setMinimumSize(240, 200);
        panels[i]->SetMessageSink([&messages](const QString& text) { messages << text; });
        panels[i]->SetFont2D_Enabled(true);
        panels[i]->SetFont3D_Enabled(true);
        panels[i]->SetFont(TPanelFont("Arial", -14, RUSSIAN_CHARSET));
        panels[i]->SetFont2D_FirstGylph(32);
        panels[i]->SetFont2D_NumGylph(224);
        scenes[i].texture = panels[i]->LoadBMPTexture(texturePath, true);
        scenes[i].hue = float(i);
        scenes[i].label = glpanel::ToWindowsCodePage(i == 0 ? QStringLiteral("Ротор") : QStringLiteral("Рамка"));
        DemoScene& scene = scenes[i];
        panels[i]->OnInit = [&scene](TOpenGLPanel* sender) { Init(sender, scene); };
        panels[i]->OnResize = Resize;
        panels[i]->OnPaint = [&scene](TOpenGLPanel* sender) { Paint(sender, scene); };
        layout->addWidget(panels[i]);
    }
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (TOpenGLPanel* panel : panels) ASSERT_TRUE(QTest::qWaitForWindowExposed(panel->SurfaceWindow()));
    ASSERT_NE(panels[0]->RC(), 0u);
    ASSERT_NE(panels[1]->RC(), 0u);
    EXPECT_NE(panels[0]->RC(), panels[1]->RC());

    QImage pictures[2];
    for (int i = 0; i < 2; ++i) {
        const QString path = dir.filePath(QStringLiteral("panel%1.bmp").arg(i));
        panels[i]->SaveOpenGLPanelToFile(path);
        pictures[i] = QImage(path).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(pictures[i].size(), panels[i]->size());
        EXPECT_EQ(pictures[i], panels[i]->GrabOpenGLPanel()) << "panel " << i << " reloads with the pixels shown";
        if (qEnvironmentVariableIsSet("GYRO_KEEP_PICTURES"))
            pictures[i].save(QStringLiteral("%1/demo-panel%2.png").arg(qEnvironmentVariable("GYRO_KEEP_PICTURES")).arg(i));

        const QPoint centre(pictures[i].width() / 2, pictures[i].height() / 2);
        const QColor cap = pictures[i].pixelColor(centre);
        EXPECT_GT(cap.green(), 60) << "the lit cap";
        int texelsRed = 0, yellow = 0;
        for (int y = 0; y < pictures[i].height(); ++y)
            for (int x = 0; x < pictures[i].width(); ++x) {
                const QColor c = pictures[i].pixelColor(x, y);
                if (c.red() > 150 && c.green() < 90 && c.blue() < 90) ++texelsRed;
                if (c.red() > 200 && c.green() > 200 && c.blue() < 60) ++yellow;
            }
        EXPECT_GT(texelsRed, 100) << "the checkered texture shows on panel " << i;
        EXPECT_GT(yellow, 30) << "the labels show on panel " << i;
    }
    EXPECT_NE(pictures[0], pictures[1]);
    EXPECT_NE(pictures[0].pixelColor(120, 100).blue(), pictures[1].pixelColor(120, 100).blue()) << "each its own scene";

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("panel.pdf"));
    EXPECT_FALSE(panels[0]->PrintOpenGLPanel(printer).isEmpty());
    EXPECT_GT(QFile(dir.filePath("panel.pdf")).size(), 1000);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();

    for (int i = 0; i < 2; ++i) {
        panels[i]->MakeOpenGLPanelCurrent();
        gluDeleteQuadric(scenes[i].quadric);
        glDeleteTextures(1, &scenes[i].textureName);
        panels[i]->MakeOpenGLPanelNotCurrent();
    }
}

} // namespace
