#include "Bindings.h"

#include "ModelFactory.h"
#include "Released.h"

#include <pybind11/stl.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace gyropy {

namespace {

using RunPtr = std::shared_ptr<RunData>;

// Runs in blocks of consecutive sets, whatever the number of workers, so that which runs share
// lanes never depends on it.
std::size_t BlockSize(int lanes)
{
    if (lanes != 1 && lanes != ensemble::Width)
        throw py::value_error("lanes: ожидается 1 или " + std::to_string(ensemble::Width));
    return static_cast<std::size_t>(lanes);
}

int WorkerCount(const py::object& workers, std::size_t blocks)
{
    long n = workers.is_none() ? static_cast<long>(std::max(1u, std::thread::hardware_concurrency()))
                               : workers.cast<long>();
    if (n < 1)
        throw py::value_error("workers: ожидается целое число не меньше 1, задано " + std::to_string(n));
    return static_cast<int>(std::clamp<long>(n, 1, static_cast<long>(std::max<std::size_t>(blocks, 1))));
}

void RunBlocks(std::vector<RunPtr>& runs, std::size_t block, int workers, const std::atomic<bool>& stop)
{
    const std::size_t blocks = (runs.size() + block - 1) / block;
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        ensemble::EnsembleOptions options;
        options.cancel = [&stop](double) { return stop.load(std::memory_order_relaxed); };
        for (std::size_t b; (b = next.fetch_add(1)) < blocks;) {
            const std::size_t first = b * block, n = std::min(block, runs.size() - first);
            gyromodel::SimulationModel* models[ensemble::Width];
            for (std::size_t l = 0; l < n; ++l)
                models[l] = runs[first + l]->model.get();
            const double started = MonotonicSeconds();
            std::vector<RunStatus> statuses = block == 1
                ? std::vector<RunStatus>{models[0]->Run(options.cancel)}
                : gyromodel::RunTogether(std::span(models, n), options);
            const double seconds = MonotonicSeconds() - started;
            for (std::size_t l = 0; l < n; ++l) {
                runs[first + l]->status = std::move(statuses[l]);
                runs[first + l]->started = started;
                runs[first + l]->seconds = seconds;
            }
        }
    };
    std::vector<std::jthread> pool;
    for (int w = 1; w < workers; ++w)
        pool.emplace_back(work);
    work();
}

std::vector<RunPtr> RunMany(const py::iterable& sets, const py::object& model, const py::object& base,
                            const py::object& workers, int lanes)
{
    const std::size_t block = BlockSize(lanes);
    std::unique_ptr<gyromodel::SimulationModel> loaded;
    const gyromodel::SimulationModel* start = ModelOf(model);
    if (start && !base.is_none())
        throw py::value_error("base: задается только вместе с именем модели, а не с gyrosim.Model");
    if (!start) {
        loaded = LoadModel(model.cast<std::string>(), base);
        start = loaded.get();
    }
    // Every set checked before any run starts.
    std::vector<RunPtr> runs;
    for (const py::handle set : sets) {
        auto run = std::make_shared<RunData>();
        run->model = CopyModel(*start);
        SetValues(*run->model, py::dict(py::reinterpret_borrow<py::object>(set)));
        runs.push_back(std::move(run));
    }
    const int n = WorkerCount(workers, (runs.size() + block - 1) / block);
    RunReleased([&](const std::atomic<bool>& stop) { RunBlocks(runs, block, n, stop); });
    return runs;
}

} // namespace

void BindRunMany(py::module_& m)
{
    m.def("run_many", &RunMany, py::arg("sets"), py::arg("model") = "pelisond", py::arg("base") = py::none(),
          py::arg("workers") = py::none(), py::arg("lanes") = ensemble::Width,
          R"doc(Runs a model once for each set of values; returns the Runs in the order of the sets.

sets     an iterable of dicts {field: value}, each applied over the base parameters.
model    a model name ("pelisond", "veltrami") or a gyrosim.Model whose parameters are the base.
base     with a name: the data file (None: the program's own), or a dict over it, as for Model.
workers  threads running blocks of runs at once (None: one per processor).
lanes    4: runs that take the same steps go four at a time side by side in the processor's
         vector registers; 1: one by one, each exactly as Model.run().

Each Run holds what Model.run() with the same parameters returns; which runs share lanes
depends only on the order of the sets, not on the workers.
Every set is checked first (KeyError, ValueError as for Model); the GIL is released while
the runs go, and Ctrl+C stops them all and raises KeyboardInterrupt.)doc");
}

} // namespace gyropy
