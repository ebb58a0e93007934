// The study's pictures without Qt: SVG drawn on the Qt-free canvas, no PNG.
#include "PlotFiles.h"

#include "StudyPlot.h"
#include "SvgCanvas.h"

#include <filesystem>
#include <fstream>

namespace studyplot {

bool WritesPng() { return false; }

bool WritePlots(const std::string& folder, const std::vector<NamedPlot>& plots, std::string& error)
{
    for (const NamedPlot& plot : plots) {
        canvas::SvgCanvas c(Width, Height, plot.title);
        plot.draw(c);
        const std::string path = (std::filesystem::path(folder) / (plot.stem + ".svg")).string();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << c.Document();
        out.close();
        if (!out) {
            error = path;
            return false;
        }
    }
    return true;
}

} // namespace studyplot
