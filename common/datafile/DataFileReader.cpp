#include "DataFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <utility>

namespace datafile {

namespace {

// The white space the C library's formatted input skips before a conversion.
bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool MayBelongToNumber(char c)
{
    return IsDigit(c) || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
}

// Reads one "%f" number starting at pos (white space already skipped). On success
// stores it and moves pos past it. Hexadecimal, "inf" and "nan" are not part of the
// file format, so they are not numbers here.
bool ReadNumber(std::string_view text, std::size_t& pos, float& out)
{
    std::size_t i = pos;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t mantissaBegin = i;
    std::size_t digits = 0;
    bool nonzero = false;
    long long integerDigits = 0; // significant digits before the point
    long long leadPower = 0;     // power of ten of the first nonzero digit
    while (i < text.size() && IsDigit(text[i])) {
        if (nonzero || text[i] != '0') {
            nonzero = true;
            ++integerDigits;
        }
        ++i;
        ++digits;
    }
    leadPower = integerDigits - 1;
    if (i < text.size() && text[i] == '.') {
        ++i;
        long long position = 0;
        while (i < text.size() && IsDigit(text[i])) {
            --position;
            if (!nonzero && text[i] != '0') {
                nonzero = true;
                leadPower = position;
            }
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;

    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        // Like the C library, a started exponent must be completed: "1e" or "1e+"
        // followed by anything else is a failed conversion, not the number 1.
        ++i;
        bool expNegative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            expNegative = text[i] == '-';
            ++i;
        }
        std::size_t expDigits = 0;
        while (i < text.size() && IsDigit(text[i])) {
            if (exponent < 1000000000LL)
                exponent = exponent * 10 + (text[i] - '0');
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
        if (expNegative)
            exponent = -exponent;
    }

    // from_chars takes neither a leading '+' nor an exponent's '+', so the sign of the
    // mantissa is applied afterwards; an exponent's '+' is accepted by it.
    float value = 0.0f;
    const char* first = text.data() + mantissaBegin;
    const char* last = text.data() + i;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // As strtof: overflow gives infinity, underflow gives zero.
        value = (leadPower + exponent >= 0) ? std::numeric_limits<float>::infinity() : 0.0f;
    } else if (ec != std::errc() || ptr != last) {
        return false;
    }
    out = negative ? -value : value;
    pos = i;
    return true;
}

} // namespace

std::size_t ReadCommaSeparated(std::string_view text, std::span<float> values)
{
    std::size_t pos = 0;
    std::size_t count = 0;
    while (count < values.size()) {
        if (count > 0) {
            if (pos >= text.size() || text[pos] != ',')
                break;
            ++pos;
        }
        while (pos < text.size() && IsSpace(text[pos]))
            ++pos;
        if (!ReadNumber(text, pos, values[count]))
            break;
        ++count;
    }
    return count;
}

LoadReport::Outcome ReadFileText(const std::string& path, std::string& text)
{
    // Non-blocking, so that opening a FIFO without a writer does not wait for one.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return LoadReport::Outcome::CannotOpen;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return LoadReport::Outcome::CannotOpen;
    if (!S_ISREG(info.st_mode))
        return LoadReport::Outcome::NotRegularFile;

    // One byte more than kept tells whether the file goes on past the limit.
    std::string content(MaxFileBytes + 1, '\0');
    std::size_t size = 0;
    while (size < content.size()) {
        const ssize_t n = ::read(fd, content.data() + size, content.size() - size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return LoadReport::Outcome::CannotOpen;
        if (n == 0)
            break;
        size += static_cast<std::size_t>(n);
    }
    if (size > MaxFileBytes) {
        // Cut before a number the limit would split, so that no shortened number is read.
        size = MaxFileBytes;
        while (size > 0 && MayBelongToNumber(content[size - 1]))
            --size;
    }
    content.resize(size);
    text = std::move(content);
    return LoadReport::Outcome::Read;
}

LoadReport ReadParameterFile(const std::string& path, std::span<float> values)
{
    LoadReport report;
    std::string text;
    report.outcome = ReadFileText(path, text);
    if (report.outcome == LoadReport::Outcome::Read)
        report.valuesRead = ReadCommaSeparated(text, values);
    return report;
}

} // namespace datafile
