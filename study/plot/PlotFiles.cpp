#include "PlotFiles.h"

#include "PlotOutput.h"
#include "StudyPlot.h"

#include <QDir>
#include <QString>

namespace studyplot {

bool WritePlots(const std::string& folder, const std::vector<NamedPlot>& plots, std::string& error)
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

} // namespace studyplot
