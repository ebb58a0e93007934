#pragma once

#include "RunStatus.h"
#include "SimulationModel.h"

#include <pybind11/pybind11.h>

#include <memory>
#include <string>

// The pieces of the gyrosim module, each binding its part of the API.
namespace gyropy {

namespace py = pybind11;

// Where the programs' data files are (the package sets it on import).
std::string& DataDirectory();

// One run, owning the model that made it: its series stay valid whatever happens to the Model
// it was started from, as long as Python holds the Run or an array of it.
struct RunData {
    std::unique_ptr<gyromodel::SimulationModel> model;
    RunStatus status;
    double started = 0;  // when the integration began, on time.monotonic()'s clock
    double seconds = 0;  // wall time of the integration
};

// The steady clock, which is time.monotonic()'s, in seconds.
double MonotonicSeconds();

// A model of that name with its parameters from `file`: None for the program's own data file,
// a path, or a dict of values over the program's file. Read and round-tripped as the run tools do.
std::unique_ptr<gyromodel::SimulationModel> LoadModel(const std::string& name, const py::object& file);
// Sets the values of a dict (name -> number), all or none: KeyError for a name the model lacks,
// ValueError (the model's message) for a value it cannot hold.
void SetValues(gyromodel::SimulationModel& model, const py::dict& values);
// dict: field name -> value, in field order.
py::dict ParameterDict(const gyromodel::SimulationModel& model);
// The model of a gyrosim.Model object, or null when the object is none.
const gyromodel::SimulationModel* ModelOf(const py::handle& object);
// A fresh model of the same name holding the same parameters, ready to run.
std::unique_ptr<gyromodel::SimulationModel> CopyModel(const gyromodel::SimulationModel& model);

void BindRun(py::module_& m);
void BindModel(py::module_& m);
void BindRunMany(py::module_& m);
void BindStudy(py::module_& m);

} // namespace gyropy
