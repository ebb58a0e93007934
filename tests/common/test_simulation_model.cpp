// Both models through the front ends' common interface: made by name, loaded, set by name,
// run, and their series read back in the order the interface names them.
#include "ModelFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

namespace {

// Keeps what a run hands it, from its latest beginning on.
struct KeptSamples final : gyromodel::SampleSink {
    std::vector<double> times;
    std::vector<std::vector<double>> values;
    void Begin() override
    {
        times.clear();
        values.clear();
    }
    void Sample(double time, std::span<const double> v) override
    {
        times.push_back(time);
        values.emplace_back(v.begin(), v.end());
    }
};

struct ModelRow {
    const char* name;
    const char* stopTime;     // a short run
    const char* someSeries;   // a series every model records
    int someSeriesIndex;
    bool extremesHoldZero;    // the model starts its ranges at 0
};

const ModelRow Rows[] = {
    {"veltrami", "0.5", "Bet", 3, false},
    {"pelisond", "0.003", "Drift", 10, true},
};

} // namespace

TEST(SimulationModel, EachModelRunsThroughTheInterfaceWithItsSeriesInNamedOrder)
{
    EXPECT_EQ(gyromodel::MakeModel("gimbal"), nullptr);
    for (const ModelRow& row : Rows) {
        SCOPED_TRACE(row.name);
        const auto model = gyromodel::MakeModel(row.name);
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(model->Name(), row.name);

        const datafile::LoadReport loaded = model->Load(std::string(GYRO_BIN_DIR "/") + std::string(model->DataFileName()));
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded.valuesRead, model->ParameterCount());
        EXPECT_FALSE(model->Load(GYRO_BIN_DIR "/no-such.dat"));
        EXPECT_EQ(model->SetParameter("NoSuchField", 1.0), "неизвестное поле 'NoSuchField'");
        EXPECT_EQ(model->SetParameter("StopTime", std::stod(row.stopTime)), "");
        const int stop = model->FindParameter("StopTime");
        EXPECT_EQ(model->ParameterName(static_cast<std::size_t>(stop)), "StopTime");
        EXPECT_EQ(model->Parameter(static_cast<std::size_t>(stop)), static_cast<float>(std::stod(row.stopTime)));
        model->SetParameter(static_cast<std::size_t>(stop), 1e300);
        EXPECT_NE(model->Check(), "") << "a value beyond the float range is refused, not wrapped";
        model->SetParameter("StopTime", std::stod(row.stopTime));
        model->RoundTripThroughDisplay();
        EXPECT_EQ(model->Check(), "");

        ASSERT_TRUE(model->Run().ok());
        EXPECT_EQ(model->FindSeries(row.someSeries), row.someSeriesIndex);
        const int n = model->Recorded();
        ASSERT_GT(n, 10);
        EXPECT_EQ(model->Times().size(), static_cast<std::size_t>(n));
        EXPECT_LT(model->SampleTime(0), model->SampleTime(n - 1));
        EXPECT_LE(model->SampleCount(), n);
        EXPECT_GT(model->Capacity(), model->SampleCount());
        EXPECT_GE(model->StepsPerSample(), 1);
        // Each series' range is the one the model kept while recording it: a series paired
        // with another's extremes shows here.
        for (int s = 0; s < static_cast<int>(model->SeriesNames().size()); ++s) {
            SCOPED_TRACE(std::string(model->SeriesNames()[static_cast<std::size_t>(s)]));
            const auto values = model->Series(s);
            ASSERT_EQ(values.size(), static_cast<std::size_t>(n));
            double lo = *std::min_element(values.begin(), values.end());
            double hi = *std::max_element(values.begin(), values.end());
            if (row.extremesHoldZero) {
                lo = std::min(lo, 0.0);
                hi = std::max(hi, 0.0);
            }
            EXPECT_EQ(model->SeriesExtremes(s).min, static_cast<float>(lo));
            EXPECT_EQ(model->SeriesExtremes(s).max, static_cast<float>(hi));
            EXPECT_EQ(model->SeriesValue(s, n - 1), values.back());
        }
        // With a sink the same run hands it every sample the series hold, and keeps none; a run
        // begun twice hands over its last beginning's samples only.
        KeptSamples kept;
        model->SetSampleSink(&kept);
        ASSERT_TRUE(model->Calculate().ok());
        ASSERT_TRUE(model->Calculate().ok());
        model->SetSampleSink(nullptr);
        EXPECT_EQ(model->Recorded(), 0);
        ASSERT_EQ(kept.times.size(), static_cast<std::size_t>(n));
        ASSERT_TRUE(model->Run().ok());
        ASSERT_EQ(model->Recorded(), n) << "without the sink the series are kept again";
        for (std::size_t k = 0; k < kept.times.size(); ++k) {
            ASSERT_EQ(kept.times[k], model->SampleTime(static_cast<int>(k))) << k;
            ASSERT_EQ(kept.values[k].size(), model->AllSeriesNames().size());
            for (int s = 0; s < static_cast<int>(model->AllSeriesNames().size()); ++s)
                ASSERT_EQ(kept.values[k][static_cast<std::size_t>(s)], model->SeriesValue(s, static_cast<int>(k))) << k << " " << s;
        }
        model->FreeSeries();
        EXPECT_EQ(model->Recorded(), 0);
    }
}
