#include "TimeField.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace timegraph;

namespace {

const numfmt::Separators kComma = numfmt::CommaSeparators();

TEST(TimeField, ShowsTheEndTimeWithFiveDigits)
{
    EXPECT_EQ(StopTimeText(12, kComma), "12");
    EXPECT_EQ(StopTimeText(0.119f, kComma), "0,119");
    EXPECT_EQ(StopTimeText(0.119f, numfmt::PointSeparators()), "0.119");
}

TEST(TimeField, EnterAcceptsTimesUpToTheEndTimeOnly)
{
    struct Row {
        const char* text;
        bool repaint;
        std::string message; // empty: none
        const char* textAfter;
    } rows[] = {
        {"12", true, "", "12"},
        {"0", true, "", "0"},
        {"6", true, "", "6"},
        {"  6 ", true, "", "  6 "},
        {"11,5", true, "", "11,5"},
        {"13", false, TimeTooLargeMessage, "12"},
        {"999999", false, TimeTooLargeMessage, "12"},
        {"", false, TimeNotANumberMessage(""), "12"},
        {"abc", false, TimeNotANumberMessage("abc"), "12"},
        {"11.5", false, TimeNotANumberMessage("11.5"), "12"},
    };
    for (const Row& row : rows) {
        std::string text = row.text;
        std::vector<std::string> notices;
        const bool repaint = TimeFieldEnter(text, 12, kComma, [&](const std::string& m) { notices.push_back(m); });
        EXPECT_EQ(repaint, row.repaint) << '"' << row.text << '"';
        EXPECT_EQ(text, row.textAfter) << '"' << row.text << '"';
        if (row.message.empty())
            EXPECT_TRUE(notices.empty()) << '"' << row.text << '"';
        else
            EXPECT_EQ(notices, std::vector<std::string>{row.message}) << '"' << row.text << '"';
    }
}

// In single precision 0.11 and 0.7 lie just below their decimals, which the field shows.
TEST(TimeField, EnterAcceptsTheEndTimeAsTheFieldShowsIt)
{
    for (const float stop : {0.11f, 0.7f, 0.12345f, 0.00012345f}) {
        std::string text = StopTimeText(stop, kComma);
        const std::string shown = text;
        int notices = 0;
        EXPECT_TRUE(TimeFieldEnter(text, stop, kComma, [&](const std::string&) { ++notices; })) << shown;
        EXPECT_EQ(notices, 0) << shown;
        EXPECT_EQ(text, shown);
    }
    std::string above = "0,1101";
    EXPECT_FALSE(TimeFieldEnter(above, 0.11f, kComma, {}));
}

TEST(TimeField, RepaintTakesTheTextAsTypedAndFallsBackOnTheEndTime)
{
    struct Row {
        const char* text;
        double T;
        int notices;
        const char* textAfter;
    } rows[] = {
        {"6", 6, 0, "6"},
        {"24", 24, 0, "24"}, // not confirmed with Enter: drawn as typed, the curves stop at the run's end
        {"x", 12, 1, "12"},
        {"", 12, 1, "12"},
    };
    for (const Row& row : rows) {
        std::string text = row.text;
        int notices = 0;
        const double T = TimeForRepaint(text, 12, kComma, [&](const std::string&) { ++notices; });
        EXPECT_EQ(T, row.T) << '"' << row.text << '"';
        EXPECT_EQ(notices, row.notices) << '"' << row.text << '"';
        EXPECT_EQ(text, row.textAfter) << '"' << row.text << '"';
    }
}

} // namespace
