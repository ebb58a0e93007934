#include "StudyTool.h"

#include "Outputs.h"
#include "PlotFiles.h"
#include "LaneRunEvaluator.h"
#include "Presets.h"
#include "Progress.h"
#include "RunTool.h"
#include "Runner.h"
#include "Study.h"
#include "StudyStatus.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <thread>

namespace studytool {

namespace fs = std::filesystem;
using study::Json;
using study::StudyError;

namespace {

const char* const Program = "gyro-study";

std::atomic<bool> interruptRequested{false};

extern "C" void OnInterrupt(int)
{
    interruptRequested.store(true);
}

// Bad input: the message is for the user, nothing has been written.
struct UsageError {
    std::string message;
};

void Usage(std::ostream& out)
{
    out << "Запуск: " << Program << " ИССЛЕДОВАНИЕ.json --out ПАПКА [--workers N] [--lanes 4|1] [--shard K/N] [--yes]\n"
        << "        " << Program << " --preset ИМЯ --out ПАПКА [--workers N] [--lanes 4|1] [--shard K/N] [--yes]\n"
        << "        " << Program << " merge --out ПАПКА ПАПКА_ЧАСТИ...\n"
        << "        " << Program << " status ПАПКА\n";
}

void Help(std::ostream& out)
{
    Usage(out);
    out << "\nИсследование по параметрам модели veltrami или pelisond: серия расчетов, в которой меняются\n"
           "поля модели (сетка значений или метод Монте-Карло), и показатели каждого расчета.\n\n"
           "Файл исследования (JSON):\n"
           "  \"model\"       \"veltrami\" или \"pelisond\"\n"
           "  \"base\"        файл данных (по умолчанию - файл программы из ее каталога); путь от файла исследования\n"
           "  \"set\"         постоянные значения полей: {\"StopTime\": 0.2}\n"
           "  \"grid\"        меняемые поля: список значений, {\"linspace\": [a, b, n]} или {\"logspace\": [a, b, n]};\n"
           "                расчеты - все сочетания, первое поле меняется медленнее всех\n"
           "  \"montecarlo\"  {\"count\": N, \"seed\": S, \"vary\": {ПОЛЕ: {\"normal\": [среднее, ско]} или\n"
           "                {\"uniform\": [от, до]}, \"relative\": true - доля от базового значения}}\n"
           "  \"figures\"     {ИМЯ: {\"series\": СЕРИЯ, \"stat\": СТАТИСТИКА, \"from\": ДОЛЯ, \"frequency\": ЧАСТОТА}}\n"
           "                серии - столбцы CSV программы расчета; у pelisond еще DriftAtSample - оценка\n"
           "                дрейфа в каждом записанном состоянии (Drift - на последнем этапе шага перед ним)\n"
           "                статистики: max, min, mean, rms, p2p, final по окну [from*StopTime, StopTime];\n"
           "                amplitude, phase, inphase (при cos wt), quadrature (при sin wt) - составляющая на\n"
           "                частоте w (1/с, число или имя поля) по целому числу периодов в конце окна;\n"
           "                с частотой любая статистика берется по целым периодам, а mean - постоянная\n"
           "                составляющая (без колебаний на этой частоте)\n"
           "  \"scale_factor\" {\"rate\": ПОЛЕ, \"responses\": [ИМЕНА], \"bias\": ИМЯ} - масштабный коэффициент,\n"
           "                нелинейность (% полной шкалы) и смещение нуля по прямой наименьших квадратов\n\n"
           "Результаты в ПАПКЕ: runs.csv (строка на расчет: run, меняемые поля, status ok/diverged/refused,\n"
           "message, показатели; числа с точкой и 17 значащими цифрами), summary.json (для Монте-Карло -\n"
           "mean, sd, min, max, p5, p50, p95 каждого показателя), рисунки SVG"
        << (studyplot::WritesPng() ? " и PNG" : " (PNG - только в сборке с Qt)") << ", study.json.\n\n"
           "Ключи:\n"
           "  --out ПАПКА     папка результатов (создается; папку другого исследования не перезаписывает)\n"
           "  --workers N     число параллельных расчетов (по умолчанию - число ядер); результат не зависит от N\n"
           "  --lanes 4|1     4 (по умолчанию) - расчеты идут по четыре вместе в векторных регистрах процессора,\n"
           "                если у всех расчетов общие шаг, шаг вывода и время расчета; 1 - по одному.\n"
           "                Результаты в обоих случаях одни и те же, до последнего бита\n"
           "  --shard K/N     только расчеты части K из N: четверки расчетов K-1, K-1+N, ... (часть 2/3 -\n"
           "                расчеты 4-7, 16-19, ...); части объединяет merge в те же файлы, что дало бы целое\n"
           "  --yes           разрешить исследование более чем из 1000000 расчетов\n"
           "  --preset ИМЯ    готовое исследование:";
    for (const Preset& preset : Presets())
        out << " " << preset.name;
    out << "\n  --help          эта справка\n\n"
           "Код завершения:\n"
           "  0    исследование выполнено (расчеты, которые разошлись или отвергнуты, - строки со статусом)\n"
           "  1    результаты не удалось записать\n"
           "  2    неверный вызов или файл исследования (сообщение называет место в файле); ничего не записано\n"
           "  130  прервано (Ctrl+C): законченные расчеты записаны в runs.csv, summary.json помечен interrupted\n";
}

std::string ReadText(const fs::path& path, bool& ok)
{
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The output folder may be new, empty, or hold this very study (written again); nothing else of ours.
void CheckOutputFolder(const fs::path& folder, const Json& record)
{
    std::error_code ec;
    if (!fs::exists(folder, ec))
        return;
    if (!fs::is_directory(folder, ec))
        throw UsageError{"--out " + folder.string() + ": это не папка"};
    const fs::path studyFile = folder / study::StudyFile;
    if (fs::exists(studyFile, ec)) {
        bool ok = false;
        const std::string text = ReadText(studyFile, ok);
        Json existing;
        try {
            existing = Json::parse(text);
        } catch (const Json::exception&) {
            existing = nullptr;
        }
        if (existing != record)
            throw UsageError{"--out " + folder.string() + ": папка содержит результаты другого исследования ("
                             + studyFile.string() + "); укажите другую папку"};
        return;
    }
    for (const char* name : {study::RunsFile, study::SummaryFile})
        if (fs::exists(folder / name, ec))
            throw UsageError{"--out " + folder.string() + ": папка содержит результаты другого исследования ("
                             + (folder / name).string() + "); укажите другую папку"};
}

bool WriteText(const fs::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

std::string Dump(const Json& j)
{
    return j.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool WriteStudyPlots(const fs::path& folder, const study::Study& s, const std::vector<study::RunOutcome>& rows,
                     std::ostream& err)
{
    std::string failed;
    if (!studyplot::WritePlots(folder.string(), studyplot::StudyPlots(s, rows), failed)) {
        err << Program << ": не удалось записать " << failed << "\n";
        return false;
    }
    return true;
}

// summary.json and the plots of a whole study's rows.
bool WriteResults(const fs::path& folder, const study::Study& s, const std::vector<study::RunOutcome>& rows,
                  bool interrupted, std::ostream& err)
{
    if (!WriteText(folder / study::SummaryFile, Dump(study::Summary(s, rows, interrupted)))) {
        err << Program << ": не удалось записать " << (folder / study::SummaryFile).string() << "\n";
        return false;
    }
    return WriteStudyPlots(folder, s, rows, err);
}

bool MakeFolder(const fs::path& folder, std::ostream& err)
{
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        err << Program << ": не удалось создать папку " << folder.string() << ": " << ec.message() << "\n";
        return false;
    }
    return true;
}

struct Arguments {
    bool help = false;
    bool merge = false;
    bool yes = false;
    std::string studyFile, preset, out;
    int workers = 0;
    int lanes = study::LaneBatch;
    study::Shard shard;
    std::vector<std::string> shardFolders;
};

Arguments Parse(int argc, char** argv)
{
    Arguments a;
    int i = 1;
    if (argc > 1 && std::string_view(argv[1]) == "merge") {
        a.merge = true;
        ++i;
    }
    auto value = [&](std::string_view key) -> std::string {
        if (++i >= argc)
            throw UsageError{std::string(key) + " требует значения"};
        return argv[i];
    };
    for (; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            a.help = true;
        } else if (arg == "--out") {
            a.out = value(arg);
        } else if (arg == "--yes" && !a.merge) {
            a.yes = true;
        } else if (arg == "--preset" && !a.merge) {
            a.preset = value(arg);
        } else if (arg == "--workers" && !a.merge) {
            const std::string text = value(arg);
            std::size_t used = 0;
            long n = 0;
            try {
                n = std::stol(text, &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used != text.size() || n < 1 || n > 4096)
                throw UsageError{"--workers: ожидается целое число от 1 до 4096, задано '" + text + "'"};
            a.workers = static_cast<int>(n);
        } else if (arg == "--lanes" && !a.merge) {
            const std::string text = value(arg);
            if (text != "1" && text != "4")
                throw UsageError{"--lanes: ожидается 1 или 4, задано '" + text + "'"};
            a.lanes = text == "1" ? 1 : study::LaneBatch;
        } else if (arg == "--shard" && !a.merge) {
            const std::string text = value(arg);
            const auto shard = study::ParseShard(text);
            if (!shard)
                throw UsageError{"--shard: ожидается K/N с 1 <= K <= N, задано '" + text + "'"};
            a.shard = *shard;
        } else if (arg.starts_with("-") && arg.size() > 1) {
            throw UsageError{"неизвестный ключ '" + std::string(arg) + "'"};
        } else if (a.merge) {
            a.shardFolders.emplace_back(arg);
        } else if (!a.studyFile.empty()) {
            throw UsageError{"можно указать только один файл исследования"};
        } else {
            a.studyFile = std::string(arg);
        }
    }
    if (a.help)
        return a;
    if (a.out.empty())
        throw UsageError{"не задана папка результатов --out"};
    if (a.merge && a.shardFolders.empty())
        throw UsageError{"merge: не заданы папки частей"};
    if (!a.merge && a.studyFile.empty() == a.preset.empty())
        throw UsageError{"задайте либо файл исследования, либо --preset ИМЯ"};
    return a;
}

int RunStudyCommand(const Arguments& a, std::ostream& out, std::ostream& err)
{
    std::string text, place, directory;
    if (!a.preset.empty()) {
        const auto& presets = Presets();
        const auto found = std::find_if(presets.begin(), presets.end(), [&](const Preset& p) { return p.name == a.preset; });
        if (found == presets.end())
            throw UsageError{"--preset: неизвестное исследование '" + a.preset + "'"};
        text = found->text;
        place = "--preset " + a.preset;
    } else {
        bool ok = false;
        text = ReadText(a.studyFile, ok);
        if (!ok)
            throw UsageError{a.studyFile + ": файл исследования не открывается"};
        place = a.studyFile;
        directory = fs::path(a.studyFile).parent_path().string();
    }
    study::Study s;
    try {
        s = study::ParseStudy(study::ParseStudyText(text), {directory, runtool::ExecutableDirectory(), true});
    } catch (const StudyError& e) {
        throw UsageError{place + ": " + e.what()};
    }
    const long long runs = s.RunCount();
    if (runs > study::ConfirmedRunLimit && !a.yes)
        throw UsageError{place + ": «" + std::string(s.monteCarlo ? "montecarlo.count" : "grid") + "»: исследование из "
                         + std::to_string(runs) + " расчетов (больше 1000000): подтвердите ключом --yes"};
    const Json record = study::StudyRecord(s, a.shard);
    const fs::path folder = a.out;
    CheckOutputFolder(folder, record);

    if (!MakeFolder(folder, err))
        return ExitError;
    if (!WriteText(folder / study::StudyFile, Dump(record))) {
        err << Program << ": не удалось записать " << (folder / study::StudyFile).string() << "\n";
        return ExitError;
    }
    std::ofstream csv(folder / study::RunsFile, std::ios::binary | std::ios::trunc);
    csv << study::CsvHeader(s) << '\n';

    const std::vector<long long> selected = study::ShardRuns(runs, a.shard);
    Progress progress(err, static_cast<long long>(selected.size()), isatty(STDERR_FILENO) != 0);
    study::RunnerOptions options;
    options.workers = a.workers > 0 ? a.workers : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    // A worker takes a block of runs at once through the lanes.
    if (a.lanes > 1 && study::LanesFit(s)) {
        options.batch = a.lanes;
        options.evaluators = study::MakeLaneRunEvaluator;
    }
    options.stop = &interruptRequested;
    options.onRow = [&](const study::RunOutcome& row) { csv << study::CsvRow(row) << '\n' << std::flush; };
    options.onProgress = [&](long long done) { progress.Update(done); };

    interruptRequested.store(false);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;  // a second Ctrl+C ends the program at once
    sigemptyset(&action.sa_mask);
    struct sigaction previous {};
    sigaction(SIGINT, &action, &previous);
    const std::vector<study::RunOutcome> rows = study::RunStudy(s, selected, options);
    sigaction(SIGINT, &previous, nullptr);
    progress.Finish();
    csv.close();
    if (!csv) {
        err << Program << ": не удалось записать " << (folder / study::RunsFile).string() << "\n";
        return ExitError;
    }
    const bool interrupted = interruptRequested.load();
    // A shard's summary would describe a part only: merging the shards writes it.
    if (a.shard.whole() && !WriteResults(folder, s, rows, interrupted, err))
        return ExitError;
    if (interrupted) {
        err << Program << ": прервано; законченных расчетов: " << rows.size() << " из " << selected.size()
            << ", они записаны в " << (folder / study::RunsFile).string() << "\n";
        return ExitInterrupted;
    }
    out << folder.string() << ": расчетов " << rows.size() << "\n";
    return ExitOk;
}

int MergeCommand(const Arguments& a, std::ostream& out, std::ostream& err)
{
    Json study;
    std::map<long long, std::string> shardOf;
    long long count = 0;
    std::vector<std::pair<fs::path, Json>> records;
    for (const std::string& name : a.shardFolders) {
        const fs::path file = fs::path(name) / study::StudyFile;
        bool ok = false;
        const std::string text = ReadText(file, ok);
        if (!ok)
            throw UsageError{"merge: " + file.string() + " не открывается: это не папка части исследования"};
        Json record;
        try {
            record = Json::parse(text);
        } catch (const Json::exception&) {
            throw UsageError{"merge: " + file.string() + " не является JSON"};
        }
        const auto shard = record.contains("shard") && record["shard"].is_string()
            ? study::ParseShard(record["shard"].get<std::string>()) : std::nullopt;
        if (!shard || !record.contains("study"))
            throw UsageError{"merge: " + file.string() + ": это результаты целого исследования, а не его части"};
        if (records.empty()) {
            study = record["study"];
            count = shard->count;
        } else if (record["study"] != study || shard->count != count) {
            throw UsageError{"merge: " + name + ": часть другого исследования, чем " + a.shardFolders.front()};
        }
        if (!shardOf.emplace(shard->index, name).second)
            throw UsageError{"merge: часть " + std::to_string(shard->index) + "/" + std::to_string(count)
                             + " задана дважды: " + shardOf[shard->index] + " и " + name};
        records.emplace_back(fs::path(name), record);
    }
    for (long long k = 1; k <= count; ++k)
        if (!shardOf.contains(k))
            throw UsageError{"merge: нет части " + std::to_string(k) + "/" + std::to_string(count)};

    study::Study s;
    try {
        s = study::ParseStudy(study, {{}, runtool::ExecutableDirectory(), false});
    } catch (const StudyError& e) {
        throw UsageError{"merge: " + a.shardFolders.front() + "/" + study::StudyFile + ": " + e.what()};
    }
    const std::string header = study::CsvHeader(s);
    const std::size_t values = s.VariedFields().size(), figures = s.figures.size();
    std::vector<study::RunOutcome> rows;
    for (const auto& [folder, record] : records) {
        std::ifstream in(folder / study::RunsFile, std::ios::binary);
        std::string line;
        if (!in || !std::getline(in, line) || line != header)
            throw UsageError{"merge: " + (folder / study::RunsFile).string() + ": нет таблицы расчетов этого исследования"};
        for (long long number = 2; std::getline(in, line); ++number) {
            auto row = study::ParseCsvRow(line, values, figures);
            if (!row)
                throw UsageError{"merge: " + (folder / study::RunsFile).string() + ", строка " + std::to_string(number)
                                 + ": неверная строка"};
            rows.push_back(std::move(*row));
        }
    }
    std::sort(rows.begin(), rows.end(), [](const auto& x, const auto& y) { return x.run < y.run; });
    const long long runs = s.RunCount();
    for (long long k = 0; k < runs; ++k)
        if (k >= static_cast<long long>(rows.size()) || rows[static_cast<std::size_t>(k)].run != k)
            throw UsageError{"merge: нет расчета " + std::to_string(k) + " (часть " + std::to_string(study::ShardOfRun(k, count)) + "/"
                             + std::to_string(count) + " не закончена?)"};
    if (static_cast<long long>(rows.size()) != runs)
        throw UsageError{"merge: лишние строки: расчетов больше, чем в исследовании"};

    const Json record = study::StudyRecord(s, {});
    const fs::path folder = a.out;
    CheckOutputFolder(folder, record);
    if (!MakeFolder(folder, err))
        return ExitError;
    std::string csv = header + "\n";
    for (const study::RunOutcome& row : rows)
        csv += study::CsvRow(row) + "\n";
    if (!WriteText(folder / study::StudyFile, Dump(record)) || !WriteText(folder / study::RunsFile, csv)) {
        err << Program << ": не удалось записать результаты в " << folder.string() << "\n";
        return ExitError;
    }
    if (!WriteResults(folder, s, rows, false, err))
        return ExitError;
    out << folder.string() << ": расчетов " << rows.size() << " из " << count << " частей\n";
    return ExitOk;
}

} // namespace

int StudyToolMain(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    if (argc > 1 && std::string_view(argv[1]) == "status")
        return StatusCommand(argc, argv, out, err);
    try {
        const Arguments a = Parse(argc, argv);
        if (a.help) {
            Help(out);
            return ExitOk;
        }
        return a.merge ? MergeCommand(a, out, err) : RunStudyCommand(a, out, err);
    } catch (const UsageError& e) {
        err << Program << ": " << e.message << "\n";
        Usage(err);
        err << "Справка: " << Program << " --help\n";
        return ExitUsage;
    }
}

} // namespace studytool
