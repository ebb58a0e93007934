#pragma once

#include "OpenGLPanel.h"
#include "ScriptedPanelPlatform.h"

#include <QOpenGLContext>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>
#include <GL/gl.h>
#include <memory>

// Readable failure output for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

// A top-level window holding one panel on a scripted platform, with the panel's notices
// collected instead of shown.
class PanelFixture : public ::testing::Test {
public:
    void SetUp() override { MakePanel(); }

    void MakePanel()
    {
        platform = std::make_shared<ScriptedPanelPlatform>();
        host = std::make_unique<QWidget>();
        host->resize(160, 120);
        panel = new TOpenGLPanel(host.get(), platform);
        panel->setGeometry(0, 0, 160, 120);
        panel->SetMessageSink([this](const QString& text) { messages << text; });
    }

    // Shows the window and waits until the panel's surface is on screen.
    bool ShowPanel()
    {
        host->show();
        if (!QTest::qWaitForWindowExposed(host.get())) return false;
        return panel->SurfaceWindow() == nullptr || panel->RC() == 0 || QTest::qWaitForWindowExposed(panel->SurfaceWindow());
    }

    // A scene with known colours: red background, a green quad over the left half.
    static void DrawKnownScene(TOpenGLPanel* sender)
    {
        glViewport(0, 0, sender->width(), sender->height());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 1, 0, 1, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(0, 1, 0);
        glBegin(GL_QUADS);
        glVertex2f(0, 0);
        glVertex2f(0.5f, 0);
        glVertex2f(0.5f, 1);
        glVertex2f(0, 1);
        glEnd();
    }

    std::shared_ptr<ScriptedPanelPlatform> platform;
    QStringList messages;  // outlives the window, whose destruction may still report
    std::unique_ptr<QWidget> host;
    TOpenGLPanel* panel = nullptr;
};
