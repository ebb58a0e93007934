// The text of a study file into JSON, refusing what the JSON library would take silently
// (a key given twice: the last would win) or could not survive (nesting deep enough to
// exhaust the stack when the document is copied, a number beyond the range of double).
#include "Study.h"

#include "FileErrors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <unordered_set>

namespace study {

namespace {

// Builds the document from the parser's events, knowing at each moment where in the file it is.
class StudyReader : public nlohmann::json_sax<Json> {
public:
    explicit StudyReader(std::size_t maxDepth) : maxDepth_(maxDepth) {}

    Json document;
    std::optional<StudyError> error;
    std::size_t errorByte = 0;

    bool null() override { return Add(nullptr); }
    bool boolean(bool value) override { return Add(value); }
    bool number_integer(number_integer_t value) override { return Add(value); }
    bool number_unsigned(number_unsigned_t value) override { return Add(value); }
    bool number_float(number_float_t value, const string_t&) override { return Add(value); }
    bool string(string_t& value) override { return Add(std::move(value)); }
    bool binary(binary_t&) override { return Fail(Place(), "двоичные данные не допускаются"); }

    bool start_object(std::size_t) override { return Open(Json::object()); }
    bool start_array(std::size_t) override { return Open(Json::array()); }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }

    bool key(string_t& name) override
    {
        Level& level = levels_.back();
        level.key = std::move(name);
        if (!level.keys.insert(level.key).second)
            return Fail(Place(), "ключ задан дважды");
        return true;
    }

    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) override
    {
        errorByte = position;
        // 406: the lexer read a number too large for a double.
        if (e.id == 406)
            return Fail(Place(), "число вне диапазона (по модулю больше 1.8e308)");
        return false;
    }

private:
    struct Level {
        Json* node = nullptr;
        std::string key;                      // of the member being read
        std::unordered_set<std::string> keys; // every key so far; ordered_json would look them up one by one
    };

    // Where the value being read goes, as a key path such as "grid.BaseRate[2]".
    std::string Place() const
    {
        std::string place;
        for (std::size_t k = 0; k < levels_.size(); ++k) {
            const Level& level = levels_[k];
            if (level.node->is_object()) {
                place += (place.empty() ? "" : ".") + level.key;
            } else {
                // An array's open element is its last; a value still to come goes after it.
                const std::size_t size = level.node->size();
                place += "[" + std::to_string(k + 1 < levels_.size() ? size - 1 : size) + "]";
            }
        }
        return place;
    }

    bool Fail(std::string place, const std::string& what)
    {
        if (!error)
            error.emplace(std::move(place), what);
        return false;
    }

    Json* Add(Json&& value)
    {
        if (levels_.empty()) {
            document = std::move(value);
            return &document;
        }
        Json& parent = *levels_.back().node;
        if (parent.is_array()) {
            parent.push_back(std::move(value));
            return &parent.back();
        }
        // Straight onto the member list: the key is known to be new.
        auto& members = static_cast<Json::object_t::Container&>(parent.get_ref<Json::object_t&>());
        members.emplace_back(levels_.back().key, std::move(value));
        return &members.back().second;
    }

    bool Open(Json&& container)
    {
        if (levels_.size() >= maxDepth_)
            return Fail(Place(), "вложенность глубже " + std::to_string(maxDepth_) + " уровней");
        Json* node = Add(std::move(container));
        levels_.push_back({node, {}, {}});
        return true;
    }

    bool Close()
    {
        levels_.pop_back();
        return true;
    }

    std::size_t maxDepth_;
    std::vector<Level> levels_;
};

} // namespace

Json ParseStudyText(const std::string& text, std::size_t maxDepth)
{
    StudyReader reader(maxDepth);
    if (Json::sax_parse(text, &reader))
        return std::move(reader.document);
    if (reader.error)
        throw *reader.error;
    std::size_t line = 1, column = 1;
    for (std::size_t k = 0; k + 1 < reader.errorByte && k < text.size(); ++k) {
        if (text[k] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    throw StudyError({}, "файл исследования не является JSON: ошибка в строке " + std::to_string(line) + ", позиция "
                             + std::to_string(column));
}

std::string ReadStudyFile(const std::string& path)
{
    // Opened without waiting, so that a FIFO cannot hold the program; only a regular file is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw StudyError({}, path + ": файл исследования не открывается: " + FileErrorText(errno));
    struct stat info {};
    std::string text;
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    bool tooLarge = false, failed = false;
    if (regular) {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                failed = n < 0;
                break;
            }
            text.append(buffer, static_cast<std::size_t>(n));
            if (text.size() > MaxStudyFileBytes) {
                tooLarge = true;
                break;
            }
        }
    }
    ::close(fd);
    if (!regular)
        throw StudyError({}, path + ": это не обычный файл (" + (S_ISDIR(info.st_mode) ? "каталог" : "устройство или канал")
                                 + "); файл исследования должен быть обычным текстовым файлом JSON");
    if (tooLarge)
        throw StudyError({}, path + ": файл исследования больше " + std::to_string(MaxStudyFileBytes / (1024 * 1024))
                                 + " МиБ; это не файл исследования");
    if (failed)
        throw StudyError({}, path + ": файл исследования не читается");
    return text;
}

} // namespace study
