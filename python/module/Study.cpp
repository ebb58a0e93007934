#include "Bindings.h"

#include "Outputs.h"
#include "Released.h"
#include "Study.h"
#include "StudyFolder.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <filesystem>
#include <random>
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

void Warn(const std::string& text)
{
    if (PyErr_WarnEx(PyExc_UserWarning, text.c_str(), 1) != 0)
        throw py::error_already_set();  // warnings turned into errors
}

// A folder of its own for a study whose files nobody asked for; gone when done.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::random_device random;
        path_ = fs::temp_directory_path() / ("gyrosim-study-" + std::to_string(random()) + std::to_string(random()));
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

StudyResult RunStudy(const py::object& source, const py::object& workers, const py::object& out, int lanes)
{
    study::Study s;
    try {
        std::string text, directory;
        if (py::isinstance<py::dict>(source)) {
            text = py::module_::import("json").attr("dumps")(source).cast<std::string>();
        } else {
            const std::string path = py::module_::import("os").attr("fspath")(source).cast<std::string>();
            text = study::ReadStudyFile(path);
            directory = fs::path(path).parent_path().string();
        }
        s = study::ParseStudy(study::ParseStudyText(text), {directory, DataDirectory(), true});
    } catch (const study::StudyError& e) {
        throw py::value_error(e.what());
    }
    for (const std::string& warning : s.warnings)
        Warn(warning);
    if (lanes != 1 && lanes != study::LaneBatch)
        throw py::value_error("lanes: ожидается 1 или 4");

    study::FolderOptions options;
    options.workers = workers.is_none() ? static_cast<int>(std::max(1u, std::thread::hardware_concurrency()))
                                        : workers.cast<int>();
    if (options.workers < 1)
        throw py::value_error("workers: ожидается целое число не меньше 1");
    options.lanes = lanes;
    std::optional<ScratchFolder> scratch;
    fs::path folder;
    if (out.is_none())
        folder = scratch.emplace().path();
    else
        folder = py::module_::import("os").attr("fspath")(out).cast<std::string>();

    study::FolderResult result;
    RunReleased([&](const std::atomic<bool>& stop) {
        options.stop = &stop;
        result = study::RunStudyInFolder(s, folder, options);
    });
    if (result.status == study::FolderStatus::Refused)
        throw py::value_error(result.message);
    if (result.status == study::FolderStatus::WriteFailed) {
        PyErr_SetString(PyExc_OSError, result.message.c_str());
        throw py::error_already_set();
    }
    for (const std::string& note : result.notes)
        Warn(note);
    StudyResult r;
    r.runs = Columns(s, result.rows);
    r.summary = py::module_::import("json").attr("loads")(
        result.summary.dump(-1, ' ', false, study::Json::error_handler_t::replace));
    if (!scratch)
        r.folder = py::str(folder.string());
    return r;
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
         writes them, and a folder the study left unfinished is taken up where it stopped
         (None: the study runs in a scratch folder that is removed).
lanes    4: runs four at a time in the processor's vector registers where they allow; 1: one by one.

A study that cannot run, or a folder that holds another study or is in use, raises
ValueError naming the place; a full disk OSError. Ctrl+C stops the runs and raises
KeyboardInterrupt; with out, the finished rows are kept and summary.json is marked
interrupted. The plots gyro-study draws are not written: draw them with matplotlib.)doc");
}

} // namespace gyropy
