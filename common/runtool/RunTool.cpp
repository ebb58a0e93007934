#include "RunTool.h"

#include "NumberFormat.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <system_error>

namespace runtool {

namespace {

// Writes value with 17 significant digits into [first, first + 64); returns the end.
char* WriteNumber17(char* first, double value)
{
    return std::to_chars(first, first + 64, value, std::chars_format::general, 17).ptr;
}

} // namespace

std::string FormatNumber17(double value)
{
    char buffer[64];
    return std::string(buffer, WriteNumber17(buffer, value));
}

void JsonWriter::Key(std::string_view key)
{
    if (depth_ > 0) {
        if (!first_.back())
            out_ << ',';
        first_.back() = false;
        out_ << '\n' << std::string(2 * depth_, ' ');
    }
    if (!key.empty() || depth_ > 0)
        out_ << '"' << key << "\": ";
}

void JsonWriter::BeginObject(std::string_view key)
{
    Key(key);
    out_ << '{';
    first_.push_back(true);
    ++depth_;
}

void JsonWriter::EndObject()
{
    --depth_;
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty)
        out_ << '\n' << std::string(2 * depth_, ' ');
    out_ << '}';
    if (depth_ == 0)
        out_ << '\n';
}

void JsonWriter::Number(std::string_view key, double value)
{
    Key(key);
    if (std::isfinite(value))
        out_ << FormatNumber17(value);
    else
        out_ << "null";
}

void JsonWriter::Integer(std::string_view key, long long value)
{
    Key(key);
    out_ << value;
}

void JsonWriter::String(std::string_view key, std::string_view value)
{
    Key(key);
    out_ << '"';
    for (char c : value) {
        if (c == '"' || c == '\\')
            out_ << '\\' << c;
        else if (c == '\n')
            out_ << "\\n";
        else
            out_ << c;
    }
    out_ << '"';
}

std::string ExecutableDirectory()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return "./";
    std::string dir = self.parent_path().string();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

namespace {

struct Arguments {
    bool help = false;
    bool summary = false;
    std::string dataFile;
    std::vector<std::pair<std::string, std::string>> sets;
};

void Usage(const RunToolModel& model, std::ostream& out)
{
    out << "Запуск: " << model.program << " [--summary] [--set ПОЛЕ=ЗНАЧЕНИЕ]... [ФАЙЛ_ДАННЫХ]\n";
}

void Help(const RunToolModel& model, std::ostream& out)
{
    Usage(model, out);
    out << "\n" << model.description << "\n\n"
        << "Без ФАЙЛА_ДАННЫХ читается " << model.dataFileName << " из каталога программы. Перед расчетом\n"
        << "параметры записываются так, как их показывает окно параметров, и читаются обратно.\n\n"
        << "Вывод (стандартный вывод):\n"
        << "  без --summary      CSV записанных отсчетов: sample,t,";
    for (std::size_t k = 0; k < model.csvColumns.size(); ++k)
        out << model.csvColumns[k] << (k + 1 < model.csvColumns.size() ? "," : "\n");
    out << "                     t - модельное время отсчета; числа с 17 значащими цифрами.\n"
        << "  --summary          один объект JSON: SampleCount, Capacity, Recorded, StepsPerSample,\n"
        << "                     экстремумы каждой серии и использованные параметры (Params).\n\n"
        << "Ключи:\n"
        << "  --set ПОЛЕ=ЗНАЧЕНИЕ  задать параметр по имени поля перед расчетом (можно повторять);\n"
        << "                     ЗНАЧЕНИЕ записывается с десятичной точкой.\n"
        << "  --help             эта справка.\n\n"
        << "Код завершения:\n"
        << "  0  расчет завершен\n"
        << "  1  файл данных не открывается (\"" << model.missingMessage << "\" и путь в стандартный поток\n"
        << "     ошибок) или параметры отвергнуты (причина в стандартный поток ошибок)\n"
        << "  2  неверный вызов, неизвестное поле или неверное значение в --set\n"
        << "  3  расчет разошелся: записанные до этого отсчеты выводятся, сообщение - в поток ошибок\n";
}

bool Parse(int argc, char** argv, Arguments& args, std::string& error)
{
    bool fileSeen = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            args.help = true;
        } else if (arg == "--summary") {
            args.summary = true;
        } else if (arg == "--set" || arg.starts_with("--set=")) {
            std::string_view assignment;
            if (arg == "--set") {
                if (++i >= argc) {
                    error = "--set требует ПОЛЕ=ЗНАЧЕНИЕ";
                    return false;
                }
                assignment = argv[i];
            } else {
                assignment = arg.substr(6);
            }
            const auto eq = assignment.find('=');
            if (eq == std::string_view::npos || eq == 0) {
                error = "--set требует ПОЛЕ=ЗНАЧЕНИЕ, задано '" + std::string(assignment) + "'";
                return false;
            }
            args.sets.emplace_back(std::string(assignment.substr(0, eq)), std::string(assignment.substr(eq + 1)));
        } else if (arg.starts_with("-") && arg.size() > 1) {
            error = "неизвестный ключ '" + std::string(arg) + "'";
            return false;
        } else if (fileSeen) {
            error = "можно указать только один файл данных";
            return false;
        } else {
            args.dataFile = std::string(arg);
            fileSeen = true;
        }
    }
    return true;
}

} // namespace

int RunToolMain(int argc, char** argv, const RunToolModel& model, std::ostream& out, std::ostream& err)
{
    Arguments args;
    std::string error;
    if (!Parse(argc, argv, args, error)) {
        err << model.program << ": " << error << "\n";
        Usage(model, err);
        err << "Справка: " << model.program << " --help\n";
        return ExitUsage;
    }
    if (args.help) {
        Help(model, out);
        return ExitOk;
    }

    const std::string path = args.dataFile.empty() ? ExecutableDirectory() + model.dataFileName : args.dataFile;
    if (!model.load(path)) {
        err << model.missingMessage << ": " << path << "\n";
        return ExitError;
    }
    for (const auto& [field, text] : args.sets) {
        double value = 0;
        try {
            value = numfmt::TextToFloat(text, ".");
        } catch (const numfmt::ConversionError& e) {
            err << model.program << ": --set " << field << ": " << e.what() << "\n";
            return ExitUsage;
        }
        if (std::string why = model.set(field, value); !why.empty()) {
            err << model.program << ": --set " << field << ": " << why << "\n";
            return ExitUsage;
        }
    }
    model.roundTrip();

    const RunStatus status = model.run();
    if (status.kind == RunStatus::Kind::Refused) {
        err << status.message << "\n";
        return ExitError;
    }

    if (args.summary) {
        JsonWriter json(out);
        json.BeginObject();
        json.Integer("SampleCount", model.sampleCount());
        json.Integer("Capacity", model.capacity());
        json.Integer("Recorded", model.recorded());
        json.Integer("StepsPerSample", model.stepsPerSample());
        model.summaryBody(json);
        json.EndObject();
    } else {
        std::string line = "sample,t";
        for (const std::string& column : model.csvColumns)
            line += "," + column;
        out << line << '\n';
        std::vector<double> values(model.csvColumns.size());
        const int recorded = model.recorded();
        // Rows are formatted straight into one buffer that goes out in large pieces: a long
        // run writes half a million numbers, and per-number strings would cost as much as the run.
        std::string rows;
        rows.reserve(1 << 17);
        char number[64];
        for (int i = 0; i < recorded; ++i) {
            double time = 0;
            model.sample(i, time, values);
            rows.append(number, std::to_chars(number, number + sizeof number, i).ptr);
            rows += ',';
            rows.append(number, WriteNumber17(number, time));
            for (double v : values) {
                rows += ',';
                rows.append(number, WriteNumber17(number, v));
            }
            rows += '\n';
            if (rows.size() > (1 << 16)) {
                out << rows;
                rows.clear();
            }
        }
        out << rows;
    }
    out.flush();
    if (!status.ok()) {
        err << status.message << "\n";
        return ExitDiverged;
    }
    return ExitOk;
}

} // namespace runtool
