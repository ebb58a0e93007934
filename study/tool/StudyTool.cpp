#include "StudyTool.h"

#include "Outputs.h"
#include "PlotFiles.h"
#include "LaneRunEvaluator.h"
#include "Presets.h"
#include "Progress.h"
#include "RunTool.h"
#include "Study.h"
#include "StudyFolder.h"
#include "StudyStatus.h"
#include "StopSignals.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <memory>
#include <optional>
#include <span>
#include <ostream>
#include <thread>

namespace studytool {

namespace fs = std::filesystem;
using study::Json;
using study::StudyError;

namespace {

const char* const Program = "gyro-study";

// Bad input: the message is for the user, nothing has been written.
struct UsageError {
    std::string message;
};

void Usage(std::ostream& out)
{
    out << "Запуск: " << Program << " ИССЛЕДОВАНИЕ.json --out ПАПКА [--workers N] [--lanes 4|1] [--shard K/N] [--yes]\n"
        << "               [--restart] [--strict]\n"
        << "        " << Program << " --preset ИМЯ --out ПАПКА [--workers N] [--lanes 4|1] [--shard K/N] [--yes] ...\n"
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
           "  --out ПАПКА     папка результатов (создается; папку другого исследования не перезаписывает).\n"
           "                В папку пишет только один процесс. Если в папке уже есть часть расчетов этого\n"
           "                исследования (оно было прервано), делаются только недостающие, и результат тот же,\n"
           "                что у непрерывного исследования; законченное исследование не пересчитывается\n"
           "  --restart       отбросить сделанные в папке расчеты этого исследования и начать заново\n"
           "  --strict        файл данных \"base\", прочитанный не до последнего поля, - ошибка, а не предупреждение\n"
           "  --workers N     число параллельных расчетов (по умолчанию - число ядер); результат не зависит от N\n"
           "  --lanes 4|1     4 (по умолчанию) - расчеты идут по четыре вместе в векторных регистрах процессора,\n"
           "                если у всех расчетов общие шаг, шаг вывода и время расчета; 1 - по одному.\n"
           "                Результаты в обоих случаях одни и те же, до последнего бита\n"
           "  --shard K/N     только расчеты части K из N: четверки расчетов K-1, K-1+N, ... (часть 2/3 -\n"
           "                расчеты 4-7, 16-19, ...); части объединяет merge в те же файлы, что дало бы целое\n"
           "  --yes           разрешить исследование более чем из 1000000 расчетов\n"
           "  --check-step    повторить расчеты (не более 24, равномерно) с половинным шагом; summary.json\n"
           "                получает step_check - наибольшее относительное изменение каждого показателя\n"
           "  --preset ИМЯ    готовое исследование:";
    for (const Preset& preset : Presets())
        out << " " << preset.name;
    out << "\n  --help          эта справка\n\n"
           "Код завершения:\n"
           "  0      исследование выполнено (расчеты, которые разошлись или отвергнуты, - строки со статусом)\n"
           "  1      результаты не удалось записать (например, нет места на диске); в runs.csv - только целые строки\n"
           "  2      неверный вызов или файл исследования (сообщение называет место в файле), папка другого\n"
           "         исследования или занятая другим процессом; ничего не записано\n"
           "  3      ни один расчет не закончился (все отвергнуты или разошлись); строки и summary.json записаны\n"
           "  128+N  остановлено сигналом N (Ctrl+C - 130, SIGTERM - 143, SIGHUP - 129): законченные расчеты\n"
           "         записаны в runs.csv, summary.json помечен interrupted; повторный запуск продолжит исследование\n";
}

// Returns the file not written, empty when all are; says on err why a study gets no pictures
// where it could be expected to.
std::string WriteStudyPlots(const fs::path& folder, const study::Study& s, std::span<const study::RunOutcome> rows,
                            std::ostream& err)
{
    // A study that varies nothing is one run: there is nothing to draw it against.
    if (s.VariedFields().empty())
        return {};
    std::string note;
    const auto plots = studyplot::StudyPlots(s, rows, &note);
    if (!note.empty())
        err << Program << ": предупреждение: " << note << "\n";
    if (plots.empty())
        return {};
    std::string failed;
    const bool written = studyplot::WritePlots(folder.string(), plots, failed);
    return written ? std::string() : failed.empty() ? folder.string() : failed;
}

struct Arguments {
    bool help = false;
    bool merge = false;
    bool yes = false;
    bool restart = false;
    bool strict = false;
    bool checkStep = false;
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
        } else if (arg == "--restart" && !a.merge) {
            a.restart = true;
        } else if (arg == "--check-step" && !a.merge) {
            a.checkStep = true;
        } else if (arg == "--strict" && !a.merge) {
            a.strict = true;
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

// The user's account of a folder's outcome, and the exit status it makes.
int Report(const study::FolderResult& result, const fs::path& folder, std::ostream& out, std::ostream& err)
{
    using study::FolderStatus;
    for (const std::string& note : result.notes)
        err << Program << ": предупреждение: " << note << "\n";
    // Figures not to be trusted, one line each, as summary.json lists them.
    if (result.summary.is_object() && result.summary.contains("warnings"))
        for (const Json& warning : result.summary["warnings"])
            err << Program << ": предупреждение: " << warning["message"].get<std::string>() << "\n";
    const std::string rows = (folder / study::RunsFile).string();
    switch (result.status) {
    case FolderStatus::Refused:
        err << Program << ": --out " << result.message << "\n";
        return ExitUsage;
    case FolderStatus::WriteFailed:
        err << Program << ": " << result.message << "\n";
        if (result.kept + result.made > 0)
            err << Program << ": законченные расчеты (" << result.kept + result.made << ") сохранены в " << rows
                << "; повторный запуск продолжит исследование\n";
        return ExitError;
    case FolderStatus::Stopped:
        err << Program << ": прервано; законченных расчетов: " << result.rows.size() << " из " << result.runs
            << ", они записаны в " << rows << "; повторный запуск продолжит исследование\n";
        return 128 + (runtool::StopSignals::Received() != 0 ? runtool::StopSignals::Received() : SIGINT);
    case FolderStatus::NoRunFinished:
        err << Program << ": ни один расчет не закончился (все отвергнуты или разошлись): " << rows << "\n";
        return ExitNoRunFinished;
    case FolderStatus::Finished:
        break;
    }
    out << folder.string() << ": расчетов " << result.rows.size();
    if (result.untouched)
        out << " (исследование уже было закончено в этой папке)";
    else if (result.kept > 0)
        out << " (" << result.kept << " из них были сделаны раньше)";
    out << "\n";
    return ExitOk;
}

int RunStudyCommand(const Arguments& a, std::ostream& out, std::ostream& err)
{
    std::string place, directory;
    study::Study s;
    try {
        std::string text;
        if (!a.preset.empty()) {
            const auto& presets = Presets();
            const auto found = std::find_if(presets.begin(), presets.end(), [&](const Preset& p) { return p.name == a.preset; });
            if (found == presets.end())
                throw UsageError{"--preset: неизвестное исследование '" + a.preset + "'"};
            text = found->text;
            place = "--preset " + a.preset;
        } else {
            place = a.studyFile;
            try {
                text = study::ReadStudyFile(a.studyFile);
            } catch (const StudyError& e) {
                throw UsageError{e.what()};  // it names the file
            }
            directory = fs::path(a.studyFile).parent_path().string();
        }
        s = study::ParseStudy(study::ParseStudyText(text), {directory, runtool::ExecutableDirectory(), true, a.strict});
    } catch (const StudyError& e) {
        throw UsageError{place + ": " + e.what()};
    }
    for (const std::string& warning : s.warnings)
        err << Program << ": предупреждение: " << place << ": " << warning << "\n";
    const long long runs = s.RunCount();
    if (runs > study::ConfirmedRunLimit && !a.yes)
        throw UsageError{place + ": «" + std::string(s.monteCarlo ? "montecarlo.count" : "grid") + "»: исследование из "
                         + std::to_string(runs) + " расчетов (больше 1000000): подтвердите ключом --yes"};
    const fs::path folder = a.out;

    std::optional<Progress> progress;
    study::FolderOptions options;
    options.shard = a.shard;
    options.workers = a.workers > 0 ? a.workers : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    options.lanes = a.lanes;
    options.restart = a.restart;
    options.checkStep = a.checkStep;
    options.stop = &runtool::StopSignals::Requested();
    options.onStart = [&](long long toMake) { progress.emplace(err, toMake, isatty(STDERR_FILENO) != 0); };
    options.onProgress = [&](long long done) { progress->Update(done); };
    options.writePlots = [&](const study::Study& study, std::span<const study::RunOutcome> rows) {
        return WriteStudyPlots(folder, study, rows, err);
    };
    study::FolderResult result;
    {
        // A closed terminal stops too; a full disk or a closed pipe is told, not fatal.
        const runtool::StopSignals stopSignals(true, true);
        result = study::RunStudyInFolder(s, folder, options);
    }
    if (progress)
        progress->Finish();
    return Report(result, folder, out, err);
}

int MergeCommand(const Arguments& a, std::ostream& out, std::ostream& err)
{
    Json study;
    std::map<long long, std::string> shardOf;
    long long count = 0;
    std::vector<std::pair<fs::path, Json>> records;
    for (const std::string& name : a.shardFolders) {
        const fs::path file = fs::path(name) / study::StudyFile;
        Json record;
        try {
            record = study::ParseStudyText(study::ReadStudyFile(file.string()), study::MaxStudyDepth + 1);
        } catch (const StudyError& e) {
            throw UsageError{"merge: " + file.string() + ": это не папка части исследования (" + e.what() + ")"};
        }
        const auto shard = record.is_object() && record.contains("shard") && record["shard"].is_string()
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

    const fs::path folder = a.out;
    study::FolderOptions options;
    options.writePlots = [&](const study::Study& study, std::span<const study::RunOutcome> made) {
        return WriteStudyPlots(folder, study, made, err);
    };
    const study::FolderResult result = study::WriteStudyFolder(s, folder, std::move(rows), options);
    if (result.status == study::FolderStatus::Finished) {
        out << folder.string() << ": расчетов " << result.rows.size() << " из " << count << " частей\n";
        return ExitOk;
    }
    return Report(result, folder, out, err);
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
    } catch (const std::bad_alloc&) {
        err << Program << ": не хватило памяти; законченные расчеты остались в папке результатов\n";
        return ExitError;
    } catch (const std::exception& e) {
        err << Program << ": внутренняя ошибка: " << e.what() << "\n";
        return ExitError;
    }
}

} // namespace studytool
