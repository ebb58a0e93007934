// The study's pictures through Qt: SVG and PNG as the windows save them.
#include "PlotFiles.h"

#include "PlotOutput.h"
#include "StudyPlot.h"

#include <QDir>
#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <memory>

namespace studyplot {

namespace {

bool WriteFiles(const std::string& folder, const std::vector<NamedPlot>& plots, std::string& error)
{
    const QDir dir(QString::fromStdString(folder));
    const QSize size(Width, Height);
    const canvas::Backdrop backdrop{Qt::white, Qt::white};
    for (const NamedPlot& plot : plots) {
        const QString stem = dir.filePath(QString::fromStdString(plot.stem));
        const QString title = QString::fromStdString(plot.title);
        if (!canvas::WriteFile(stem + ".svg", canvas::RenderSvg(size, plot.draw, backdrop, title))) {
            error = (stem + ".svg").toStdString();
            return false;
        }
        if (!canvas::WriteFile(stem + ".png", canvas::RenderPng(size, plot.draw, backdrop))) {
            error = (stem + ".png").toStdString();
            return false;
        }
    }
    return true;
}

} // namespace

bool WritesPng() { return true; }

// Plots need a GUI application for their fonts; none needs a screen.
bool WritePlots(const std::string& folder, const std::vector<NamedPlot>& plots, std::string& error)
{
    if (plots.empty())
        return true;
    // The platform's notes on its set-up (no runtime directory, say) mean nothing to the user here.
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            fprintf(stderr, "%s\n", qPrintable(text));
    });
    std::unique_ptr<QGuiApplication> app;
    if (!QGuiApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "gyro-study";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    const bool written = WriteFiles(folder, plots, error);
    qInstallMessageHandler(previous);
    return written;
}

} // namespace studyplot
