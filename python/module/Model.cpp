#include "Bindings.h"

#include "ModelFactory.h"
#include "ParameterValue.h"
#include "Released.h"
#include "RunTool.h"

#include <pybind11/stl.h>

#include <chrono>
#include <utility>
#include <vector>

namespace gyropy {

namespace {

std::string KnownModels()
{
    std::string names;
    for (std::string_view name : gyromodel::ModelNames)
        names += (names.empty() ? "" : ", ") + std::string(name);
    return names;
}

std::string Label(const gyromodel::SimulationModel& model, std::size_t k)
{
    std::string_view label = model.ParameterLabel(k);
    // Several labels end in blanks that only pad the window's layout.
    while (!label.empty() && label.back() == ' ')
        label.remove_suffix(1);
    return std::string(label);
}

std::size_t FieldIndex(const gyromodel::SimulationModel& model, const std::string& name)
{
    const int k = model.FindParameter(name);
    if (k < 0)
        throw py::key_error("модель " + std::string(model.Name()) + ": неизвестное поле '" + name + "'");
    return static_cast<std::size_t>(k);
}

// The value as the model will hold it, checked: ValueError with the model's message when it cannot.
double Checked(const gyromodel::SimulationModel& model, std::size_t k, const py::handle& value)
{
    double x = 0;
    try {
        x = py::cast<double>(value);
    } catch (const py::cast_error&) {
        throw py::type_error("поле " + std::string(model.ParameterName(k)) + ": ожидается число, задано "
                             + py::repr(value).cast<std::string>());
    }
    try {
        return parametervalue::NarrowChecked(x, model.ParameterLabel(k));
    } catch (const parametervalue::OutOfRange& e) {
        throw py::value_error(e.what());
    }
}

// The Python side of a model: its parameters, changed at will; each run works on a copy.
class Model {
public:
    Model(const std::string& name, const py::object& file) : model_(LoadModel(name, file)) {}

    const gyromodel::SimulationModel& model() const { return *model_; }

    py::dict Labels() const
    {
        py::dict labels;
        for (std::size_t k = 0; k < model_->ParameterCount(); ++k)
            labels[py::str(std::string(model_->ParameterName(k)))] = Label(*model_, k);
        return labels;
    }

    double Get(const std::string& name) const { return model_->Parameter(FieldIndex(*model_, name)); }
    void Set(const std::string& name, const py::object& value)
    {
        const std::size_t k = FieldIndex(*model_, name);
        model_->SetParameter(k, Checked(*model_, k, value));
    }
    void SetMany(const py::kwargs& values) { SetValues(*model_, values); }

    std::shared_ptr<RunData> Run() const
    {
        auto run = std::make_shared<RunData>();
        run->model = CopyModel(*model_);
        try {
            RunHere([&](const std::function<bool()>& stop) {
                run->started = MonotonicSeconds();
                run->status = run->model->Run([&stop](double) { return stop(); });
                run->seconds = MonotonicSeconds() - run->started;
            });
        } catch (py::error_already_set& e) {
            // What the run recorded before Ctrl+C stays at hand, as the run tools still print it.
            if (e.matches(PyExc_KeyboardInterrupt))
                e.value().attr("run") = py::cast(run);
            throw;
        }
        return run;
    }

    std::string Repr() const
    {
        return "<gyrosim.Model " + std::string(model_->Name()) + ": " + std::to_string(model_->ParameterCount())
            + " parameters>";
    }

private:
    std::unique_ptr<gyromodel::SimulationModel> model_;
};

} // namespace

double MonotonicSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string& DataDirectory()
{
    static std::string directory;
    return directory;
}

std::unique_ptr<gyromodel::SimulationModel> LoadModel(const std::string& name, const py::object& file)
{
    std::unique_ptr<gyromodel::SimulationModel> model = gyromodel::MakeModel(name);
    if (!model)
        throw py::value_error("неизвестная модель '" + name + "'; известны: " + KnownModels());
    const bool values = py::isinstance<py::dict>(file);
    const std::string path = file.is_none() || values
        ? DataDirectory() + std::string(model->DataFileName())
        : py::module_::import("os").attr("fspath")(file).cast<std::string>();
    const runtool::LoadVerdict verdict = runtool::JudgeLoad(*model, path, model->Load(path));
    if (verdict.kind == runtool::LoadVerdict::Unusable) {
        PyErr_SetString(verdict.missing ? PyExc_FileNotFoundError : PyExc_ValueError, verdict.text.c_str());
        throw py::error_already_set();
    }
    if (verdict.kind == runtool::LoadVerdict::CutShort && PyErr_WarnEx(PyExc_UserWarning, verdict.text.c_str(), 1) != 0)
        throw py::error_already_set();  // warnings turned into errors
    // As at the programs' start: the values as their fields show them.
    model->RoundTripThroughDisplay();
    if (values)
        SetValues(*model, file.cast<py::dict>());
    return model;
}

py::dict ParameterDict(const gyromodel::SimulationModel& model)
{
    py::dict values;
    for (std::size_t k = 0; k < model.ParameterCount(); ++k)
        values[py::str(std::string(model.ParameterName(k)))] = model.Parameter(k);
    return values;
}

void SetValues(gyromodel::SimulationModel& model, const py::dict& values)
{
    std::vector<std::pair<std::size_t, double>> checked;
    for (const auto& [name, value] : values) {
        const std::size_t k = FieldIndex(model, py::str(name).cast<std::string>());
        checked.emplace_back(k, Checked(model, k, value));
    }
    for (const auto& [k, value] : checked)
        model.SetParameter(k, value);
}

std::unique_ptr<gyromodel::SimulationModel> CopyModel(const gyromodel::SimulationModel& model)
{
    std::unique_ptr<gyromodel::SimulationModel> copy = gyromodel::MakeModel(model.Name());
    for (std::size_t k = 0; k < model.ParameterCount(); ++k)
        copy->SetParameter(k, model.Parameter(k));
    return copy;
}

const gyromodel::SimulationModel* ModelOf(const py::handle& object)
{
    return py::isinstance<Model>(object) ? &object.cast<const Model&>().model() : nullptr;
}

void BindModel(py::module_& m)
{
    py::class_<Model>(m, "Model", R"doc(A gyroscope model and its parameters.

Model(name, file=None)
    name  "veltrami" (gimbal gyroscope) or "pelisond" (tuning-fork MEMS gyroscope).
    file  None: the program's own data file; a path: that data file; a dict
          {field: value}: the program's data file with these values over it.
The data file is read and its values round-tripped through the parameter window's
display, as the programs and run tools do at start-up. Values set afterwards are
used as given, rounded only to the 32 bits the model holds.

Raises FileNotFoundError (missing file), ValueError (not a parameter file, unknown
model); a file cut short gives a UserWarning naming the first field not read.)doc")
        .def(py::init<const std::string&, const py::object&>(), py::arg("name"), py::arg("file") = py::none())
        .def_property_readonly("name", [](const Model& self) { return std::string(self.model().Name()); },
                               "The model's name.")
        .def_property_readonly("parameters", [](const Model& self) { return ParameterDict(self.model()); },
                               "dict: field name (as the run tools' --set) -> value, in the data file's field order.")
        .def_property_readonly("labels", &Model::Labels, "dict: field name -> its Russian label in the parameter window.")
        .def_property_readonly("series_names", [](const Model& self) {
            std::vector<std::string> names;
            for (std::string_view n : self.model().SeriesNames())
                names.emplace_back(n);
            return names;
        }, "The recorded series, in the order of the run tools' CSV columns.")
        .def("__getitem__", &Model::Get, py::arg("field"), "The value of a field; KeyError for an unknown one.")
        .def("__setitem__", &Model::Set, py::arg("field"), py::arg("value"),
             "Sets a field. KeyError for an unknown field, ValueError (the model's message) for a value\n"
             "it cannot hold: not finite or beyond the 32-bit range.")
        .def("set", &Model::SetMany,
             "set(**fields): sets several fields at once, all or none (errors as for m[field] = value).")
        .def("check", [](const Model& self) { return self.model().Check(); },
             "Why the parameters give no run (Russian), or an empty string when they give one.")
        .def("run", &Model::Run, R"doc(Runs the model from its initial state with the current parameters; returns a Run.

The run works on a copy of the parameters, with the GIL released (runs in threads
overlap); Ctrl+C stops it within about a tenth of a second and raises
KeyboardInterrupt, whose attribute run holds the cancelled Run with the samples
recorded until then. A refused or diverged run is a status of the Run, not an exception.)doc")
        .def("__repr__", &Model::Repr);
}

} // namespace gyropy
