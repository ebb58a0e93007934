#include "TuningForkTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace pelisond::testing {

std::string WriteTempFile(const std::string& name, const std::string& text)
{
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

} // namespace pelisond::testing
