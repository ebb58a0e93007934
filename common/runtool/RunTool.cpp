#include "RunTool.h"
#include "StopSignals.h"

#include "NumberFormat.h"

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <ctime>
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

std::string Program(const gyromodel::SimulationModel& model)
{
    return std::string(model.Name()) + "-run";
}

// The value of the named field, or 0 when the model has none (a run that starts at t = 0).
double FieldOrZero(const gyromodel::SimulationModel& model, std::string_view name)
{
    const int k = model.FindParameter(name);
    return k < 0 ? 0.0 : model.Parameter(static_cast<std::size_t>(k));
}

struct Arguments {
    bool help = false;
    bool summary = false;
    bool strict = false;
    double maxSeconds = 0;  // 0: no limit
    std::string dataFile;
    std::vector<std::pair<std::string, std::string>> sets;
};

void Usage(const std::string& program, std::ostream& out)
{
    out << "Запуск: " << program
        << " [--summary] [--strict] [--max-seconds С] [--set ПОЛЕ=ЗНАЧЕНИЕ]... [ФАЙЛ_ДАННЫХ]\n";
}

void Help(const gyromodel::SimulationModel& model, const ToolText& tool, std::ostream& out)
{
    Usage(Program(model), out);
    out << "\n" << tool.description << "\n\n"
        << "Без ФАЙЛА_ДАННЫХ читается " << model.DataFileName() << " из каталога программы. Параметры файла\n"
        << "записываются так, как их показывает окно параметров, и читаются обратно (как при запуске\n"
        << "программы); значения --set берутся как заданы, с точностью 32-битного числа.\n\n"
        << "Вывод (стандартный вывод):\n"
        << "  без --summary      CSV записанных отсчетов: sample,t,";
    const auto columns = model.SeriesNames();
    for (std::size_t k = 0; k < columns.size(); ++k)
        out << columns[k] << (k + 1 < columns.size() ? "," : "\n");
    out << "                     t - модельное время отсчета; числа с 17 значащими цифрами.\n"
        << "  --summary          один объект JSON: SampleCount, Capacity, Recorded, StepsPerSample,\n"
        << "                     экстремумы каждой серии и использованные параметры (Params).\n"
        << "Когда стандартный поток ошибок - терминал, в нем показывается ход расчета.\n\n"
        << "Ключи:\n"
        << "  --set ПОЛЕ=ЗНАЧЕНИЕ  задать параметр по имени поля перед расчетом (можно повторять);\n"
        << "                     ЗНАЧЕНИЕ записывается с десятичной точкой.\n"
        << "  --strict           файл данных, прочитанный не до последнего поля, - ошибка\n"
        << "                     (без ключа - предупреждение в стандартный поток ошибок).\n"
        << "  --max-seconds С    остановить расчет через С секунд и вывести записанные отсчеты.\n"
        << "  --help             эта справка.\n\n"
        << "Код завершения:\n"
        << "  0  расчет завершен\n"
        << "  1  файл данных не открывается (\"" << model.MissingDataMessage() << "\" и путь в стандартный поток\n"
        << "     ошибок), не является файлом параметров, прочитан не полностью при --strict,\n"
        << "     параметры отвергнуты (причина в стандартный поток ошибок) или вывод не записан\n"
        << "     (диск заполнен, стандартный вывод закрыт)\n"
        << "  2  неверный вызов, неизвестное поле или неверное значение в --set\n"
        << "  3  расчет разошелся: записанные до этого отсчеты выводятся, сообщение - в поток ошибок\n"
        << "  4  расчет остановлен сигналом (Ctrl+C, SIGINT или SIGTERM): записанные до этого\n"
        << "     отсчеты выводятся\n"
        << "  5  расчет остановлен по --max-seconds: записанные до этого отсчеты выводятся\n";
}

// Takes the value of an option given as "--name VALUE" or "--name=VALUE".
bool OptionValue(int argc, char** argv, int& i, std::string_view name, std::string_view& value, std::string& error)
{
    const std::string_view arg = argv[i];
    if (arg == name) {
        if (++i >= argc) {
            error = std::string(name) + " требует значения";
            return false;
        }
        value = argv[i];
        return true;
    }
    value = arg.substr(name.size() + 1);
    return true;
}

bool IsOption(std::string_view arg, std::string_view name)
{
    return arg == name || (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=');
}

bool Parse(int argc, char** argv, Arguments& args, std::string& error)
{
    bool fileSeen = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        std::string_view value;
        if (arg == "--help" || arg == "-h") {
            args.help = true;
        } else if (arg == "--summary") {
            args.summary = true;
        } else if (arg == "--strict") {
            args.strict = true;
        } else if (IsOption(arg, "--max-seconds")) {
            if (!OptionValue(argc, argv, i, "--max-seconds", value, error))
                return false;
            try {
                args.maxSeconds = numfmt::TextToFloat(value, ".");
            } catch (const numfmt::ConversionError& e) {
                error = "--max-seconds: " + std::string(e.what());
                return false;
            }
            if (!(args.maxSeconds > 0) || !std::isfinite(args.maxSeconds)) {
                error = "--max-seconds требует положительного числа секунд, задано '" + std::string(value) + "'";
                return false;
            }
        } else if (IsOption(arg, "--set")) {
            if (!OptionValue(argc, argv, i, "--set", value, error)) {
                error = "--set требует ПОЛЕ=ЗНАЧЕНИЕ";
                return false;
            }
            const auto eq = value.find('=');
            if (eq == std::string_view::npos || eq == 0) {
                error = "--set требует ПОЛЕ=ЗНАЧЕНИЕ, задано '" + std::string(value) + "'";
                return false;
            }
            args.sets.emplace_back(std::string(value.substr(0, eq)), std::string(value.substr(eq + 1)));
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

// Loads the data file and tells what came of it; false when the run cannot go on.
bool Load(gyromodel::SimulationModel& model, const std::string& path, bool strict, std::ostream& err)
{
    const LoadVerdict verdict = JudgeLoad(model, path, model.Load(path));
    switch (verdict.kind) {
    case LoadVerdict::Fine:
        return true;
    case LoadVerdict::CutShort:
        err << Program(model) << (strict ? ": ошибка: " : ": предупреждение: ") << verdict.text << "\n";
        return !strict;
    case LoadVerdict::Unusable:
        break;
    }
    // The model's own message for a missing file already says which program it is.
    if (verdict.missing)
        err << verdict.text << "\n";
    else
        err << Program(model) << ": " << verdict.text << "\n";
    return false;
}

enum class StopReason { None, Signal, TimeLimit };

// What a run is asked now and then: stop on a signal or at the time limit, and show the
// progress on a terminal.
class RunWatch {
public:
    RunWatch(const gyromodel::SimulationModel& model, double maxSeconds, std::ostream& err)
        : program_(Program(model)), err_(err), maxSeconds_(maxSeconds), showProgress_(isatty(STDERR_FILENO) != 0),
          from_(FieldOrZero(model, "InitialTime")), to_(FieldOrZero(model, "StopTime"))
    {
    }
    ~RunWatch() { ClearProgress(); }
    RunWatch(const RunWatch&) = delete;
    RunWatch& operator=(const RunWatch&) = delete;

    bool operator()(double time)
    {
        if (StopSignals::Received() != 0) {
            reason_ = StopReason::Signal;
            return true;
        }
        const auto now = Clock::now();
        if (maxSeconds_ > 0 && std::chrono::duration<double>(now - start_).count() >= maxSeconds_) {
            reason_ = StopReason::TimeLimit;
            return true;
        }
        if (showProgress_ && now - shown_ >= std::chrono::milliseconds(250)) {
            shown_ = now;
            const double percent = to_ > from_ ? std::clamp((time - from_) / (to_ - from_), 0.0, 1.0) * 100 : 0;
            const numfmt::Separators point = numfmt::PointSeparators();
            const std::string line = program_ + ": расчет " + numfmt::FormatFixed(percent, 4, 1, point)
                + " % (t = " + numfmt::FormatGeneral(time, 6, point) + " с из " + numfmt::FormatGeneral(to_, 6, point)
                + " с)";
            // Back to the line's start, the new text, and the rest of the old one erased.
            err_ << '\r' << line << "\033[K" << std::flush;
            onScreen_ = true;
        }
        return false;
    }

    StopReason reason() const { return reason_; }

    void ClearProgress()
    {
        if (onScreen_)
            err_ << "\r\033[K" << std::flush;
        onScreen_ = false;
    }

private:
    using Clock = std::chrono::steady_clock;
    std::string program_;
    std::ostream& err_;
    double maxSeconds_;
    bool showProgress_;
    double from_, to_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point shown_ = start_;
    bool onScreen_ = false;
    StopReason reason_ = StopReason::None;
};

// The summary's numbers: whole values as integers (as they were always written), values that
// are not finite as null.
nlohmann::ordered_json Number(double value)
{
    if (!std::isfinite(value))
        return nullptr;
    if (value == std::trunc(value) && std::fabs(value) < 9.0e15 && !(value == 0 && std::signbit(value)))
        return static_cast<long long>(value);
    return value;
}

void WriteSummary(const gyromodel::SimulationModel& model, const ToolText& tool, std::ostream& out)
{
    nlohmann::ordered_json summary;
    summary["SampleCount"] = model.SampleCount();
    summary["Capacity"] = model.Capacity();
    summary["Recorded"] = model.Recorded();
    summary["StepsPerSample"] = model.StepsPerSample();
    if (tool.flatExtremes.empty()) {
        nlohmann::ordered_json& extremes = summary["Extremes"] = nlohmann::ordered_json::object();
        const auto names = model.SeriesNames();
        for (std::size_t s = 0; s < names.size(); ++s) {
            const gyromodel::Extremes e = model.SeriesExtremes(static_cast<int>(s));
            nlohmann::ordered_json& range = extremes[std::string(names[s])];
            range["Max"] = Number(e.max);
            range["Min"] = Number(e.min);
        }
    } else {
        for (std::string_view name : tool.flatExtremes) {
            const gyromodel::Extremes e = model.SeriesExtremes(model.FindSeries(name));
            summary[std::string(name) + "Min"] = Number(e.min);
            summary[std::string(name) + "Max"] = Number(e.max);
        }
    }
    nlohmann::ordered_json& params = summary["Params"] = nlohmann::ordered_json::object();
    for (std::size_t k = 0; k < model.ParameterCount(); ++k)
        params[std::string(model.ParameterName(k))] = Number(model.Parameter(k));
    out << summary.dump(2) << '\n';
}

void WriteCsv(const gyromodel::SimulationModel& model, std::ostream& out)
{
    const auto names = model.SeriesNames();
    std::string line = "sample,t";
    for (std::string_view column : names)
        line += "," + std::string(column);
    out << line << '\n';
    const int recorded = model.Recorded();
    const int series = static_cast<int>(names.size());
    // Rows are formatted straight into one buffer that goes out in large pieces: a long
    // run writes half a million numbers, and per-number strings would cost as much as the run.
    std::string rows;
    rows.reserve(1 << 17);
    char number[64];
    for (int i = 0; i < recorded; ++i) {
        rows.append(number, std::to_chars(number, number + sizeof number, i).ptr);
        rows += ',';
        rows.append(number, WriteNumber17(number, model.SampleTime(i)));
        for (int s = 0; s < series; ++s) {
            rows += ',';
            rows.append(number, WriteNumber17(number, model.SeriesValue(s, i)));
        }
        rows += '\n';
        if (rows.size() > (1 << 16)) {
            out << rows;
            rows.clear();
            if (!out)
                return;  // nowhere to write: the caller tells
        }
    }
    out << rows;
}

} // namespace

LoadVerdict JudgeLoad(const gyromodel::SimulationModel& model, const std::string& path, const datafile::LoadReport& report)
{
    using Outcome = datafile::LoadReport::Outcome;
    if (report.outcome == Outcome::CannotOpen)
        return {LoadVerdict::Unusable, std::string(model.MissingDataMessage()) + ": " + path, true};
    if (report.outcome == Outcome::NotRegularFile)
        return {LoadVerdict::Unusable, path + ": это не обычный файл (устройство, канал или каталог); файл параметров "
                                              "должен быть обычным текстовым файлом", false};
    if (report.valuesRead == 0)
        return {LoadVerdict::Unusable, path + ": в начале файла нет ни одного числа в ожидаемом виде; это не файл параметров",
                false};
    const std::size_t count = model.ParameterCount();
    if (report.valuesRead < count)
        return {LoadVerdict::CutShort, "в файле данных " + path + " прочитано " + std::to_string(report.valuesRead)
                                           + " чисел из " + std::to_string(count) + "; поле "
                                           + std::to_string(report.valuesRead + 1) + " ("
                                           + std::string(model.ParameterName(report.valuesRead))
                                           + ") и следующие за ним не прочитаны и равны 0", false};
    return {};
}

int RunToolMain(int argc, char** argv, gyromodel::SimulationModel& model, const ToolText& tool, std::ostream& out,
                std::ostream& err)
{
    const std::string program = Program(model);
    Arguments args;
    std::string error;
    if (!Parse(argc, argv, args, error)) {
        err << program << ": " << error << "\n";
        Usage(program, err);
        err << "Справка: " << program << " --help\n";
        return ExitUsage;
    }
    if (args.help) {
        Help(model, tool, out);
        return ExitOk;
    }

    const std::string path
        = args.dataFile.empty() ? ExecutableDirectory() + std::string(model.DataFileName()) : args.dataFile;
    if (!Load(model, path, args.strict, err))
        return ExitError;
    // The file's values as the windows show them at start-up; the overrides as given.
    model.RoundTripThroughDisplay();
    for (const auto& [name, text] : args.sets) {
        double value = 0;
        try {
            value = numfmt::TextToFloat(text, ".");
        } catch (const numfmt::ConversionError& e) {
            err << program << ": --set " << name << ": " << e.what() << "\n";
            return ExitUsage;
        }
        // A value beyond the 32-bit range is held as an infinity, and the run refuses it naming the field.
        if (std::string why = model.SetParameter(name, value); !why.empty()) {
            err << program << ": --set " << name << ": " << why << "\n";
            return ExitUsage;
        }
    }

    RunStatus status;
    StopReason stopped = StopReason::None;
    {
        const StopSignals signals;
        RunWatch watch(model, args.maxSeconds, err);
        status = model.Run([&watch](double time) { return watch(time); });
        stopped = watch.reason();
    }
    if (status.kind == RunStatus::Kind::Refused) {
        err << status.message << "\n";
        return ExitError;
    }

    if (args.summary)
        WriteSummary(model, tool, out);
    else
        WriteCsv(model, out);
    out.flush();
    if (!out) {
        err << program << ": не удалось записать результаты в стандартный вывод (диск заполнен или вывод "
               "закрыт)\n";
        return ExitError;
    }
    if (status.kind == RunStatus::Kind::Cancelled && stopped != StopReason::None) {
        const std::string at = numfmt::FormatGeneral(status.time, 6, numfmt::PointSeparators());
        if (stopped == StopReason::TimeLimit) {
            err << program << ": расчет остановлен по --max-seconds при t = " << at
                << " с; выведены отсчеты, записанные до этого\n";
            return ExitTimeLimit;
        }
        err << program << ": расчет остановлен сигналом при t = " << at
            << " с; выведены отсчеты, записанные до этого\n";
        return ExitInterrupted;
    }
    if (!status.ok()) {
        err << status.message << "\n";
        return ExitDiverged;
    }
    return ExitOk;
}

} // namespace runtool
