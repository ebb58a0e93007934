#pragma once

#include "StudyPlots.h"

#include <string>

// The study's pictures as files in its output folder: SVG and PNG drawn through Qt where the
// tool is built with it, SVG only (drawn without Qt) where it is not.
namespace studyplot {

// Whether PNG files are written beside the SVG ones.
bool WritesPng();

// Writes STEM.svg (and STEM.png) of every plot into the folder; false, with the file that
// could not be written in error, when one cannot.
bool WritePlots(const std::string& folder, const std::vector<NamedPlot>& plots, std::string& error);

} // namespace studyplot
