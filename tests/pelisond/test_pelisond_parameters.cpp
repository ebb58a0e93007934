#include "TuningForkTestSupport.h"

#include "NumberFormat.h"

#include <gtest/gtest.h>

namespace pelisond::testing {
namespace {

TEST(PelisondParameters, TableNamesEveryFieldOnceInFileOrder)
{
    ModelParameters p;
    for (std::size_t k = 0; k < ModelParameters::Count; ++k)
        p.at(k) = static_cast<float>(k + 1);
    EXPECT_EQ(p.Step, 1);
    EXPECT_EQ(p.AxisDistance, 5);
    EXPECT_EQ(p.Mass2, 18);
    EXPECT_EQ(p.StiffnessFi, 20);
    EXPECT_EQ(p.StiffnessY2, 24);
    EXPECT_EQ(p.MassOffsetY2, 30);
    for (std::size_t k = 0; k < ModelParameters::Count; ++k)
        EXPECT_EQ(FindParameter(ParameterRows[k].name), static_cast<int>(k)) << ParameterRows[k].name;
    EXPECT_EQ(FindParameter("Nope"), -1);
}

TEST(PelisondParameters, RoundTripKeepsTheDisplayedDigitsOnly)
{
    ModelParameters p = NominalParams();
    const ModelParameters nominal = p;
    RoundTripThroughDisplay(p);
    for (std::size_t k = 0; k < ModelParameters::Count; ++k)
        EXPECT_EQ(p.at(k), nominal.at(k)) << "nominal value changed by the display: " << ParameterRows[k].name;

    p.Mass2 = 39.4567f;
    p.FrameMass = 1.23456f;
    p.Step = 0.0000034567f;
    p.ExpansionCoef = 0.000004234567f;
    p.StopTime = 0.1234567f;
    p.AxisDistance = 1500.77f;
    p.DampFi = 1154321000;
    RoundTripThroughDisplay(p);
    EXPECT_EQ(p.Mass2, 39.5f);
    EXPECT_EQ(p.FrameMass, 1.23f);
    EXPECT_EQ(p.Step, 0.000003f);
    EXPECT_EQ(p.ExpansionCoef, 0.00000423f);
    EXPECT_EQ(p.StopTime, 0.12346f);
    EXPECT_EQ(p.AxisDistance, 1500.8f);
    EXPECT_EQ(p.DampFi, 1154300000.0f);
}

TEST(PelisondParameters, ReadParametersStopsAtTheFirstBadText)
{
    ModelParameters p = NominalParams();
    std::array<std::string, ModelParameters::Count> texts;
    for (std::size_t k = 0; k < ModelParameters::Count; ++k)
        texts[k] = FormatParameter(p, k, numfmt::CommaSeparators());
    texts[0] = "0,000004";
    texts[20] = "1554\u04158";  // Cyrillic Е, as the nominal captions show it
    texts[21] = "1,0";
    p.StiffnessX1 = 7;
    EXPECT_THROW(ReadParameters(p, texts, ","), numfmt::ConversionError);
    EXPECT_EQ(p.Step, 0.000004f) << "fields before the bad text take their new values";
    EXPECT_EQ(p.StiffnessX1, 7) << "the bad field keeps its value";
    EXPECT_EQ(p.StiffnessX2, 1554e8f) << "fields after the bad text keep their values";

    texts[20] = "1554E8";
    ReadParameters(p, texts, ",");
    EXPECT_EQ(p.StiffnessX1, 1554e8f);
    EXPECT_EQ(p.StiffnessX2, 1.0f);
}

TEST(PelisondParameters, DataFileEdgeCases)
{
    const std::string nominal = NominalDataText();
    struct Row {
        const char* what;
        std::string text;
        std::size_t read;
        float field2, field3, field30;
    };
    const Row rows[] = {
        {"nominal", nominal, 30, 0.00003f, 0.119f, 0},
        {"decimal comma splits a value", "0.000003,0,5,0.119", 4, 0, 5, -1},
        {"29 values", nominal.substr(0, nominal.rfind(',')), 29, 0.00003f, 0.119f, -1},
        {"blanks and line breaks after commas", "0.000003,  0.00003,\n\t0.119,\r\n 500", 4, 0.00003f, 0.119f, -1},
        {"blank before a comma stops", "0.000003 ,0.00003,0.119", 1, -1, -1, -1},
        {"text after the thirtieth value ignored", nominal + ",77,junk", 30, 0.00003f, 0.119f, 0},
    };
    for (const Row& row : rows) {
        TuningForkModel model;
        for (std::size_t k = 0; k < ModelParameters::Count; ++k)
            model.Params.at(k) = -1;
        const datafile::LoadReport report = model.LoadParameters(WriteTempFile("pelisond_edge.dat", row.text));
        ASSERT_TRUE(report) << row.what;
        EXPECT_EQ(report.valuesRead, row.read) << row.what;
        EXPECT_EQ(model.Params.Step, 0.000003f) << row.what;
        EXPECT_EQ(model.Params.PrintStep, row.field2) << row.what;
        EXPECT_EQ(model.Params.StopTime, row.field3) << row.what;
        EXPECT_EQ(model.Params.MassOffsetY2, row.field30) << row.what;
    }
}

TEST(PelisondParameters, MissingDataFileLeavesParametersAlone)
{
    TuningForkModel model;
    model.Params = NominalParams();
    EXPECT_FALSE(model.LoadParameters(::testing::TempDir() + "no/such/pelisond.dat"));
    EXPECT_EQ(model.Params.Mass1, 39.4f);
}

} // namespace
} // namespace pelisond::testing
