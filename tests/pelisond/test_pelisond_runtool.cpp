// pelisond-run end to end: the built tool on temporary data files.
#include "TuningForkTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace pelisond::testing {
namespace {

struct ToolResult {
    int exitCode = -1;
    std::string out, err;
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ToolResult RunTool(const std::string& arguments)
{
    const std::string out = ::testing::TempDir() + "pelisond_run.out";
    const std::string err = ::testing::TempDir() + "pelisond_run.err";
    const std::string command = std::string("'") + PELISOND_RUN + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    ToolResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadAll(out);
    r.err = ReadAll(err);
    return r;
}

// The nominal file with field k (0-based) replaced by text.
std::string DataFileWith(std::size_t k, const std::string& text)
{
    std::vector<std::string> fields;
    std::stringstream nominal(NominalDataText());
    for (std::string f; std::getline(nominal, f, ',');)
        fields.push_back(f);
    fields.at(k) = text;
    std::string joined;
    for (const std::string& f : fields)
        joined += (joined.empty() ? "" : ",") + f;
    return WriteTempFile("pelisond_tool.dat", joined);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(PelisondRunTool, WritesEveryRecordedSampleAsCsv)
{
    const ToolResult r = RunTool("'" + WriteTempFile("pelisond_nominal.dat", NominalDataText()) + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u + 3967u);
    EXPECT_EQ(lines[0], "sample,t,Fi,FiDot,X1,X2,Y1,Y2,X1Dot,X2Dot,Y1Dot,Y2Dot,Drift");
    EXPECT_EQ(lines[1], "0,0,0,0,0,0,0,0,0,0,0,0,0");
    for (const std::string& line : lines)
        ASSERT_EQ(std::count(line.begin(), line.end(), ','), 12) << line;
    EXPECT_EQ(lines.back().rfind("3966,", 0), 0u);
}

TEST(PelisondRunTool, SummaryHoldsCountsExtremesAndParametersUsed)
{
    // Mass2 goes through the display (3 digits); the Y2 stiffness is replaced by the run.
    const ToolResult r = RunTool("--summary '" + DataFileWith(17, "39.4444") + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* expected : {"\"SampleCount\": 3966", "\"Capacity\": 4066", "\"Recorded\": 3967",
                                 "\"StepsPerSample\": 10", "\"Extremes\"", "\"Drift\": {", "\"Max\"", "\"Min\"",
                                 "\"Params\"", "\"Mass2\": 39.400001525878906", "\"MassOffsetY2\": 0"})
        EXPECT_NE(r.out.find(expected), std::string::npos) << expected << "\n" << r.out;
    EXPECT_EQ(r.out.find("\"StiffnessY2\": 644800000000"), std::string::npos) << "stiffness not recomputed";
    for (std::string_view name : SeriesNames)
        EXPECT_NE(r.out.find("\"" + std::string(name) + "\": {"), std::string::npos) << name;
}

TEST(PelisondRunTool, DefaultDataFileBesideTheTool)
{
    const ToolResult r = RunTool("--summary");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"Recorded\": 3967"), std::string::npos);
}

TEST(PelisondRunTool, ExitStatusesOfFailures)
{
    const std::string missing = ::testing::TempDir() + "no_such_pelisond.dat";
    ToolResult r = RunTool("'" + missing + "'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Can't find data!"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(missing), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());

    r = RunTool("'" + DataFileWith(0, "0") + "'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Шаг расчета должен быть положительным"), std::string::npos) << r.err;

    r = RunTool("'" + DataFileWith(8, "-1E7") + "'");
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_FALSE(r.err.empty());
    const auto lines = Lines(r.out);
    ASSERT_GE(lines.size(), 3u) << "the samples before the divergence are written";
    EXPECT_EQ(lines[0].rfind("sample,t,", 0), 0u);
    EXPECT_EQ(r.out.find("nan"), std::string::npos);
    EXPECT_EQ(r.out.find("inf"), std::string::npos);

    EXPECT_EQ(RunTool("--no-such-option").exitCode, 2);
    EXPECT_EQ(RunTool("a.dat b.dat").exitCode, 2);
}

TEST(PelisondRunTool, SetOverridesReachTheRunAndBadOnesAreRefused)
{
    const std::string file = "'" + DataFileWith(2, "0.003") + "'";
    ToolResult r = RunTool("--summary --set BaseRate=2.5 --set Mass2=41.23456 " + file);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"BaseRate\": 2.5,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Mass2\": 41.23455810546875,"), std::string::npos)
        << "overrides are used as given, to 32 bits, not rounded to the field's 3 digits\n" << r.out;

    r = RunTool("--set Nonsense=1 " + file);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("Nonsense"), std::string::npos) << r.err;
    r = RunTool("--set BaseRate=1,5 " + file);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("is not a valid floating point value"), std::string::npos) << r.err;
    // A value no 32-bit parameter can hold is refused naming the parameter, from either source.
    r = RunTool("--set DampX1=-1e39 " + file);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("«Коэффициент вязкого трения по X1 мкг/c»"), std::string::npos) << r.err;
    r = RunTool("'" + DataFileWith(8, "1e39") + "'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("«Коэффициент вязкого трения по X1 мкг/c»"), std::string::npos) << r.err;
    // Steps between samples beyond counting: refused as the gimbal refuses them, not a run
    // that records nothing.
    r = RunTool("--set PrintStep=1e10 --set Step=1e-9 '" + DataFileWith(2, "0.003") + "'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("более чем в 9·10^18 раз"), std::string::npos) << r.err;
}

} // namespace
} // namespace pelisond::testing
