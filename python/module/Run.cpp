#include "Bindings.h"

#include "Outputs.h"

#include <pybind11/numpy.h>

#include <span>

namespace gyropy {

namespace {

using RunPtr = std::shared_ptr<RunData>;

// A read-only array over the run's own samples, no copy: the array holds the Run alive.
py::array View(std::span<const double> values, const py::handle& owner)
{
    py::array_t<double> array({values.size()}, {sizeof(double)}, values.data(), owner);
    py::detail::array_proxy(array.ptr())->flags &= ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
    return array;
}

py::array Series(const py::object& self, const std::string& name)
{
    const RunData& run = self.cast<const RunData&>();
    const int s = run.model->FindSeries(name);
    if (s < 0)
        throw py::key_error("модель " + std::string(run.model->Name()) + ": нет серии '" + name + "'");
    return View(run.model->Series(s), self);
}

} // namespace

void BindRun(py::module_& m)
{
    py::class_<RunData, RunPtr>(m, "Run", R"doc(One run of a model: its status and its recorded samples.

The samples are exactly those the run tools write to their CSV, row for row: r.time
and r["Fi"] (or any other series) are read-only numpy float64 arrays over the run's
own memory, valid as long as they are held, whatever becomes of the Model.)doc")
        .def_property_readonly("model", [](const RunData& r) { return std::string(r.model->Name()); },
                               "The model's name.")
        .def_property_readonly("status", [](const RunData& r) { return study::StatusWord(r.status.kind); },
                               "\"ok\", \"diverged\", \"refused\" or \"cancelled\".")
        .def_property_readonly("message", [](const RunData& r) { return r.status.message; },
                               "The model's message (Russian): why the run was refused or diverged; empty when ok.")
        .def_property_readonly("stopped_at", [](const RunData& r) { return r.status.time; },
                               "The model time at which a diverged or cancelled run stopped (0 otherwise).")
        .def_property_readonly("started", [](const RunData& r) { return r.started; },
                               "When the integration began, s, on time.monotonic()'s clock.")
        .def_property_readonly("seconds", [](const RunData& r) { return r.seconds; },
                               "Wall time of the integration, s (for runs made side by side, their block's).")
        .def_property_readonly("time", [](const py::object& self) {
            return View(self.cast<const RunData&>().model->Times(), self);
        }, "Model times of the samples, s.")
        .def_property_readonly("series", [](const py::object& self) {
            py::dict series;
            for (std::string_view name : self.cast<const RunData&>().model->SeriesNames())
                series[py::str(std::string(name))] = Series(self, std::string(name));
            return series;
        }, "dict: series name -> its samples, in the order of the run tools' CSV columns.")
        .def_property_readonly("parameters", [](const RunData& r) { return ParameterDict(*r.model); }, "dict: the parameters after the run (the tuning fork writes its resonance stiffnesses).")
        .def("__getitem__", &Series, py::arg("series"),
             "The samples of a series, also of those the model records for studies only (pelisond's\n"
             "DriftAtSample: the drift estimate at each recorded state); KeyError for an unknown one.")
        .def("__len__", [](const RunData& r) { return r.model->Recorded(); }, "The number of samples.")
        .def("__repr__", [](const RunData& r) {
            return "<gyrosim.Run " + std::string(r.model->Name()) + ": " + study::StatusWord(r.status.kind) + ", "
                + std::to_string(r.model->Recorded()) + " samples>";
        });
}

} // namespace gyropy
