#pragma once

#include "Runner.h"
#include "Study.h"

#include <filesystem>
#include <string>
#include <vector>

// Studies in-process from JSON text or an example file, and the files a study folder holds.
namespace studytest {

study::Study Parse(const std::string& json);
study::Study ParseExample(const std::string& name);
// lanes: four runs at a time through the model's lanes, whatever the study varies.
std::vector<study::RunOutcome> RunAll(const study::Study& s, int workers = 2, bool lanes = false);

std::string ReadAll(const std::filesystem::path& path);
// A fresh, empty folder under the temporary directory.
std::filesystem::path FreshFolder(const std::string& name);

} // namespace studytest
