#include "Bindings.h"
#include "Released.h"

PYBIND11_MODULE(_gyrosim, m)
{
    m.doc() = "The gyroscope models veltrami and pelisond and the gyro-study engine, from Python.";
    gyropy::NoteMainThread();
    gyropy::BindRun(m);
    gyropy::BindModel(m);
    gyropy::BindRunMany(m);
    gyropy::BindStudy(m);
    m.def("_set_data_directory", [](const std::string& dir) { gyropy::DataDirectory() = dir; },
          "Where the programs' data files are, with a trailing separator (set on import).");
}
