#include "Bindings.h"

#include "LaneRunEvaluator.h"
#include "Outputs.h"
#include "Released.h"
#include "Runner.h"
#include "Study.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace gyropy {

namespace {

namespace fs = std::filesystem;

// What a study gave: its rows as columns, its summary, and where its files went.
struct StudyResult {
    py::dict runs;
    py::dict summary;
    py::object folder = py::none();
};

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        PyErr_SetString(PyExc_FileNotFoundError, (path.string() + ": файл исследования не открывается").c_str());
        throw py::error_already_set();
    }
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Dump(const study::Json& j)
{
    return j.dump(2, ' ', false, study::Json::error_handler_t::replace) + "\n";
}

void WriteFile(const fs::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out)
        throw std::runtime_error("не удалось записать " + path.string());
}

// The folder may be new, empty, or hold this very study: another study's results are never overwritten.
void CheckFolder(const fs::path& folder, const study::Json& record)
{
    std::error_code ec;
    if (!fs::exists(folder, ec))
        return;
    if (!fs::is_directory(folder, ec))
        throw py::value_error("out: " + folder.string() + ": это не папка");
    for (const char* name : {study::StudyFile, study::RunsFile, study::SummaryFile}) {
        if (!fs::exists(folder / name, ec))
            continue;
        study::Json existing;
        if (name == std::string_view(study::StudyFile)) {
            existing = study::Json::parse(ReadFile(folder / name), nullptr, false);
            if (existing == record)
                return;
        }
        throw py::value_error("out: " + folder.string() + ": папка содержит результаты другого исследования ("
                              + (folder / name).string() + "); укажите другую папку");
    }
}

py::dict Columns(const study::Study& s, const std::vector<study::RunOutcome>& rows)
{
    const std::size_t n = rows.size();
    py::array_t<long long> run(n);
    std::vector<std::string> status, message;
    for (std::size_t i = 0; i < n; ++i) {
        run.mutable_at(i) = rows[i].run;
        status.push_back(study::StatusWord(rows[i].kind));
        message.push_back(rows[i].message);
    }
    auto column = [&](auto value) {
        py::array_t<double> c(n);
        for (std::size_t i = 0; i < n; ++i)
            c.mutable_at(i) = value(rows[i]);
        return c;
    };
    py::dict columns;
    columns["run"] = run;
    const std::vector<std::string> fields = s.VariedFields();
    for (std::size_t k = 0; k < fields.size(); ++k)
        columns[py::str(fields[k])] = column([k](const study::RunOutcome& r) { return r.values[k]; });
    columns["status"] = status;
    columns["message"] = message;
    for (std::size_t k = 0; k < s.figures.size(); ++k)
        columns[py::str(s.figures[k].name)] = column([k](const study::RunOutcome& r) { return r.figures[k]; });
    return columns;
}

StudyResult RunStudy(const py::object& source, const py::object& workers, const py::object& out, int lanes)
{
    std::string text, directory;
    if (py::isinstance<py::dict>(source)) {
        text = py::module_::import("json").attr("dumps")(source).cast<std::string>();
    } else {
        const fs::path path = py::module_::import("os").attr("fspath")(source).cast<std::string>();
        text = ReadFile(path);
        directory = path.parent_path().string();
    }
    study::Study s;
    try {
        s = study::ParseStudy(study::ParseStudyText(text), {directory, DataDirectory(), true});
    } catch (const study::StudyError& e) {
        throw py::value_error(e.what());
    }
    if (lanes != 1 && lanes != study::LaneBatch)
        throw py::value_error("lanes: ожидается 1 или 4");

    study::RunnerOptions options;
    options.workers = workers.is_none() ? static_cast<int>(std::max(1u, std::thread::hardware_concurrency()))
                                        : workers.cast<int>();
    if (options.workers < 1)
        throw py::value_error("workers: ожидается целое число не меньше 1");
    if (lanes > 1 && study::LanesFit(s)) {
        options.batch = lanes;
        options.evaluators = study::MakeLaneRunEvaluator;
    }
    std::optional<fs::path> folder;
    if (!out.is_none()) {
        folder = fs::path(py::module_::import("os").attr("fspath")(out).cast<std::string>());
        CheckFolder(*folder, study::StudyRecord(s, {}));
    }

    std::vector<study::RunOutcome> rows;
    study::Json summary;
    RunReleased([&](const std::atomic<bool>& stop) {
        std::ofstream csv;
        if (folder) {
            fs::create_directories(*folder);
            WriteFile(*folder / study::StudyFile, Dump(study::StudyRecord(s, {})));
            csv.open(*folder / study::RunsFile, std::ios::binary | std::ios::trunc);
            csv << study::CsvHeader(s) << '\n';
            options.onRow = [&](const study::RunOutcome& row) { csv << study::CsvRow(row) << '\n' << std::flush; };
        }
        options.stop = &stop;
        const std::vector<long long> all = study::ShardRuns(s.RunCount(), {});
        rows = study::RunStudy(s, all, options);
        summary = study::Summary(s, rows, stop.load());
        if (folder) {
            csv.close();
            if (!csv)
                throw std::runtime_error("не удалось записать " + (*folder / study::RunsFile).string());
            WriteFile(*folder / study::SummaryFile, Dump(summary));
        }
    });
    StudyResult result;
    result.runs = Columns(s, rows);
    result.summary = py::module_::import("json").attr("loads")(summary.dump(-1, ' ', false, study::Json::error_handler_t::replace));
    if (folder)
        result.folder = py::str(folder->string());
    return result;
}

} // namespace

void BindStudy(py::module_& m)
{
    py::class_<StudyResult>(m, "StudyResult", "What gyrosim.study() gave: .runs, .summary and .folder.")
        .def_readonly("runs", &StudyResult::runs,
                      "dict of columns, one entry per finished run in run order, named as runs.csv's header:\n"
                      "\"run\" (int64 array), the varied fields and the figures (float64 arrays, NaN where a run\n"
                      "gave no figure), \"status\" and \"message\" (lists of str).")
        .def_readonly("summary", &StudyResult::summary, "summary.json as a dict.")
        .def_readonly("folder", &StudyResult::folder, "The output folder, or None when none was given.")
        .def("__repr__", [](const StudyResult& r) {
            return "<gyrosim.StudyResult: " + std::to_string(py::len(r.runs["run"])) + " runs>";
        });

    m.def("study", &RunStudy, py::arg("study"), py::arg("workers") = py::none(), py::arg("out") = py::none(),
          py::arg("lanes") = study::LaneBatch,
          R"doc(Runs a parameter study with gyro-study's engine; returns a StudyResult.

study    the study as a dict (the JSON of a study file; a relative "base" is found from the
         current folder) or the path of a study file (a relative "base" is found beside it).
workers  runs at once (None: one per processor); the results do not depend on it.
out      a folder: runs.csv, summary.json and study.json are written there as gyro-study
         writes them (None: nothing is written).
lanes    4: runs four at a time in the processor's vector registers where they allow; 1: one by one.

A study that cannot run raises ValueError naming the place in the file. Ctrl+C stops
the runs and raises KeyboardInterrupt; with out, the finished rows are kept and
summary.json is marked interrupted.)doc");
}

} // namespace gyropy
