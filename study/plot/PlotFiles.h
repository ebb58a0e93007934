#pragma once

#include "StudyPlots.h"

#include <string>

// The study's pictures as SVG and PNG files in its output folder.
namespace studyplot {

// Writes STEM.svg and STEM.png of every plot into the folder; false when a file cannot be written.
bool WritePlots(const std::string& folder, const std::vector<NamedPlot>& plots, std::string& error);

} // namespace studyplot
