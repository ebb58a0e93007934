#include "Progress.h"

#include <cstdio>
#include <ostream>
#include <string>

namespace studytool {

namespace {

std::string Clock(double seconds)
{
    const auto s = static_cast<long long>(seconds + 0.5);
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    return text;
}

} // namespace

Progress::Progress(std::ostream& out, long long total, bool enabled) : out_(out), total_(total), enabled_(enabled) {}

void Progress::Update(long long done)
{
    done_ = done;
    if (!enabled_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (done < total_ && now - drawn_ < std::chrono::milliseconds(200))
        return;
    drawn_ = now;
    Draw(done);
}

void Progress::Draw(long long done)
{
    constexpr int Width = 30;
    const double fraction = total_ > 0 ? static_cast<double>(done) / static_cast<double>(total_) : 1.0;
    const int filled = static_cast<int>(fraction * Width);
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::string line = "\r[" + std::string(static_cast<std::size_t>(filled), '#')
        + std::string(static_cast<std::size_t>(Width - filled), '.') + "] " + std::to_string(done) + "/"
        + std::to_string(total_) + "  прошло " + Clock(elapsed);
    if (done > 0 && done < total_)
        line += ", осталось ~" + Clock(elapsed / static_cast<double>(done) * static_cast<double>(total_ - done));
    out_ << line << "   " << std::flush;
}

void Progress::Finish()
{
    if (!enabled_)
        return;
    Draw(done_);
    out_ << '\n' << std::flush;
}

} // namespace studytool
