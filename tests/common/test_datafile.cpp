#include "DataFileReader.h"
#include "DataFileWriter.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <bit>
#include <cstdint>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include <csignal>
#include <sys/resource.h>

using datafile::ReadCommaSeparated;

namespace {

constexpr float kKept = 7.0f; // what a slot holds before reading
constexpr float kInf = std::numeric_limits<float>::infinity();

struct ReadRow {
    const char* name;
    std::string text;
    std::size_t count;
    std::array<float, 3> values;
};

TEST(ReadCommaSeparated, Rows)
{
    const ReadRow rows[] = {
        {"complete", "1,2,3", 3, {1, 2, 3}},
        {"short", "1,2", 2, {1, 2, kKept}},
        {"empty", "", 0, {kKept, kKept, kKept}},
        {"comma decimal splits", "0,5,2", 3, {0, 5, 2}},
        {"blanks and line breaks before numbers", " 1,\n\t2,\r\n\v\f 3", 3, {1, 2, 3}},
        {"blank before comma stops", "1 ,2,3", 1, {1, kKept, kKept}},
        {"text after last ignored", "1,2,3,garbage", 3, {1, 2, 3}},
        {"trailing text glued to last", "1,2,3abc", 3, {1, 2, 3}},
        {"word in the middle", "1,x,3", 1, {1, kKept, kKept}},
        {"exponents", "1e-05,2E+3,-.5", 3, {1e-5f, 2000, -0.5f}},
        {"bare point forms", "5.,+.25,-0", 3, {5, 0.25f, -0.0f}},
        {"exponent without digits fails the number", "1,2e,3", 1, {1, kKept, kKept}},
        {"exponent sign without digits", "1e+,2,3", 0, {kKept, kKept, kKept}},
        {"semicolons", "1;2;3", 1, {1, kKept, kKept}},
        {"double comma", "1,,3", 1, {1, kKept, kKept}},
        {"no inf", "inf,1,2", 0, {kKept, kKept, kKept}},
        {"no hex", "0x10,1", 1, {0, kKept, kKept}},
        {"sign apart from digits", "- 1", 0, {kKept, kKept, kKept}},
        {"lone point", ".,1", 0, {kKept, kKept, kKept}},
        {"second point ends number", "1.5.2,3", 1, {1.5f, kKept, kKept}},
        {"out of float range", "1e39,-1e39,1e-50", 3, {kInf, -kInf, 0}},
        {"rounded to float", "0.1,0.3,3.4028234e38", 3, {0.1f, 0.3f, 3.4028234e38f}},
        // Halfway between 1 and the next float: ties to even gives 1; a hair above
        // must round up, which a detour through double would lose.
        {"float ties", "1.000000059604644775390625,1.00000005960464477539062500001,0", 3,
         {1.0f, 1.00000011920928955078125f, 0}},
    };
    for (const ReadRow& row : rows) {
        std::array<float, 3> values{kKept, kKept, kKept};
        EXPECT_EQ(ReadCommaSeparated(row.text, values), row.count) << row.name;
        for (std::size_t i = 0; i < values.size(); ++i) {
            EXPECT_EQ(values[i], row.values[i]) << row.name << ", value " << i;
            EXPECT_EQ(std::signbit(values[i]), std::signbit(row.values[i])) << row.name << ", sign of value " << i;
        }
    }
}

TEST(ReadCommaSeparated, ThirtySlots)
{
    std::string text;
    for (int i = 1; i <= 29; ++i)
        text += (i > 1 ? "," : "") + std::to_string(i);
    std::vector<float> values(30, 0.0f);
    EXPECT_EQ(ReadCommaSeparated(text, values), 29u);
    EXPECT_EQ(values[28], 29.0f);
    EXPECT_EQ(values[29], 0.0f) << "the slot not in the file keeps its value";

    EXPECT_EQ(ReadCommaSeparated(text + ",30,31,32", values), 30u) << "numbers past the last slot are not read";
    EXPECT_EQ(values[29], 30.0f);
}

TEST(ReadCommaSeparated, IgnoresProcessLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    // A decimal-comma locale is what breaks a locale-aware reader; fall back if none is installed.
    if (!std::setlocale(LC_ALL, "ru_RU.UTF-8") && !std::setlocale(LC_ALL, "de_DE.UTF-8"))
        std::setlocale(LC_ALL, "C.UTF-8");
    std::array<float, 2> values{};
    EXPECT_EQ(ReadCommaSeparated("0.5,1.25e1", values), 2u) << "locale " << std::setlocale(LC_ALL, nullptr);
    EXPECT_EQ(values[0], 0.5f);
    EXPECT_EQ(values[1], 12.5f);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(ReadFileText, ReadsBytesAndReportsFailure)
{
    const auto dir = std::filesystem::temp_directory_path();
    const std::string path = (dir / ("datafile_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".dat")).string();
    const std::string content("0.1,\r\n2\0,3\x1a tail", 16);
    {
        std::ofstream out(path, std::ios::binary);
        out << content;
    }
    using Outcome = datafile::LoadReport::Outcome;
    std::string text = "old";
    EXPECT_EQ(datafile::ReadFileText(path, text), Outcome::Read);
    EXPECT_EQ(text, content);
    std::filesystem::remove(path);

    text = "old";
    EXPECT_EQ(datafile::ReadFileText(path, text), Outcome::CannotOpen) << "missing file";
    EXPECT_EQ(datafile::ReadFileText(dir.string(), text), Outcome::NotRegularFile) << "directory";
    EXPECT_EQ(text, "old");
}

// What is no parameter file is refused unread, and a parameter file is read only as far as
// its numbers can reach: a device, a FIFO without a writer and gigabytes of blanks neither
// block nor fill the memory.
TEST(ReadFileText, RefusesWhatIsNoFileAndReadsOnlyTheStart)
{
    using Outcome = datafile::LoadReport::Outcome;
    const auto dir = std::filesystem::temp_directory_path();
    const std::string fifo = (dir / ("datafile_fifo_" + std::to_string(::getpid()))).string();
    std::filesystem::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Row { const char* name; std::string path; };
    const Row refused[] = {{"endless device", "/dev/zero"}, {"FIFO", fifo}, {"directory", dir.string()}};
    for (const Row& row : refused) {
        std::string text = "old";
        EXPECT_EQ(datafile::ReadFileText(row.path, text), Outcome::NotRegularFile) << row.name;
        EXPECT_EQ(text, "old") << row.name;
    }
    std::filesystem::remove(fifo);

    // A number that the limit would split is left out whole, and nothing past the limit is read.
    const std::size_t limit = datafile::MaxFileBytes;
    const std::string path = (dir / ("datafile_long_" + std::to_string(::getpid()) + ".dat")).string();
    {
        std::ofstream out(path, std::ios::binary);
        out << "1," << std::string(limit - 4, ' ') << "12345,6" << std::string(1 << 20, ' ');
    }
    std::string text;
    ASSERT_EQ(datafile::ReadFileText(path, text), Outcome::Read);
    EXPECT_EQ(text.size(), limit - 2);
    std::array<float, 2> values{kKept, kKept};
    EXPECT_EQ(ReadCommaSeparated(text, values), 1u);
    EXPECT_EQ(values[1], kKept) << "no shortened number is read";
    std::filesystem::remove(path);
}

// Writes under a decimal-comma locale, where a printf-based writer would put commas
// inside the numbers.
TEST(FormatCommaSeparated, ReadsBackToTheSameBits)
{
    const std::vector<float> values = {0.1f, 1.0f / 3, 1e-45f, std::numeric_limits<float>::min(),
                                       std::numeric_limits<float>::max(), -0.0f, 1.00000012f, 62e9f,
                                       1e-5f, 123456789.0f, -0.000003f, 12.0f};
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "ru_RU.UTF-8"))
        std::setlocale(LC_ALL, "de_DE.UTF-8");
    const std::string text = datafile::FormatCommaSeparated(values);
    std::setlocale(LC_ALL, saved.c_str());

    std::vector<float> back(values.size(), kKept);
    ASSERT_EQ(ReadCommaSeparated(text, back), values.size()) << text;
    for (std::size_t k = 0; k < values.size(); ++k)
        EXPECT_EQ(std::bit_cast<std::uint32_t>(back[k]), std::bit_cast<std::uint32_t>(values[k]))
            << "value " << k << " in " << text;
    EXPECT_THROW(datafile::FormatCommaSeparated(std::vector<float>{1, kInf}), std::invalid_argument);
}

TEST(WriteFileAtomically, ReplacesWholeOrNotAtAll)
{
    const auto dir = std::filesystem::temp_directory_path()
        / ("datafile_write_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directory(dir);
    const std::string path = (dir / "set.dat").string();
    const auto content = [&path] {
        std::string text;
        EXPECT_EQ(datafile::ReadFileText(path, text), datafile::LoadReport::Outcome::Read);
        return text;
    };

    ASSERT_EQ(datafile::WriteFileAtomically(path, "1,2,3\n"), "");
    std::filesystem::permissions(path, std::filesystem::perms(0640));
    ASSERT_EQ(datafile::WriteFileAtomically(path, "4,5,6\n"), "");
    EXPECT_EQ(content(), "4,5,6\n");
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640)) << "the replaced file's mode";

    // A disk that fills up in the middle of the write: the file size limit fails it even for root.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = datafile::WriteFileAtomically(path, std::string(1000, '7'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_NE(error, "") << "the failure is reported";
    EXPECT_EQ(content(), "4,5,6\n") << "the earlier file is intact";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1)
        << "no temporary file is left behind";

    EXPECT_NE(datafile::WriteFileAtomically((dir / "missing" / "set.dat").string(), "1\n"), "");

    // Through a symbolic link, relative and into another folder: the file it leads to is
    // replaced and the link stays a link.
    std::filesystem::create_directory(dir / "sets");
    const std::string target = (dir / "sets" / "target.dat").string();
    ASSERT_EQ(datafile::WriteFileAtomically(target, "1\n"), "");
    const auto link = dir / "link.dat";
    std::filesystem::create_symlink("sets/target.dat", link);
    ASSERT_EQ(datafile::WriteFileAtomically(link.string(), "8,9\n"), "");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    std::string text;
    EXPECT_EQ(datafile::ReadFileText(target, text), datafile::LoadReport::Outcome::Read);
    EXPECT_EQ(text, "8,9\n");
    // A link in a loop is refused, and the link left alone.
    std::filesystem::create_symlink("loop.dat", dir / "loop.dat");
    EXPECT_NE(datafile::WriteFileAtomically((dir / "loop.dat").string(), "1\n"), "");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "loop.dat"));

    // The longest names a folder takes save too, Cyrillic ones as well: 250 and 255 bytes.
    for (const std::string& name : {std::string(123 * 2, 'x') + ".dat", [] {
             std::string cyrillic;
             for (int i = 0; i < 125; ++i)
                 cyrillic += "я";
             return cyrillic + ".dat" + "x";
         }()}) {
        const std::string path = (dir / name).string();
        EXPECT_EQ(datafile::WriteFileAtomically(path, "2\n"), "") << name.size() << " bytes";
        EXPECT_EQ(datafile::ReadFileText(path, text), datafile::LoadReport::Outcome::Read);
        EXPECT_EQ(text, "2\n");
    }
    std::filesystem::remove_all(dir);
}

} // namespace
