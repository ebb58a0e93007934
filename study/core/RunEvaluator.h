#pragma once

#include "SimulationModel.h"
#include "Study.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// From a parameter set to the figures of its run. The runner hands each worker batches of
// runs through this interface, so that a batch can be integrated at once where a model can.
namespace study {

// Runs go to the lanes, the workers and the shards in blocks of this many consecutive runs of
// the whole study: block b holds runs RunBlock*b to RunBlock*b + RunBlock - 1. (A run's numbers
// do not depend on the runs beside it; the blocks keep the work alike however it is split.)
inline constexpr long long RunBlock = 4;

// What became of one run, as a row of runs.csv holds it.
struct RunOutcome {
    long long run = 0;
    RunStatus::Kind kind = RunStatus::Kind::Finished;
    std::string message;
    std::vector<double> values;   // the varied fields as the run used them
    std::vector<double> figures;  // not finite where there is no figure
};

class RunEvaluator {
public:
    virtual ~RunEvaluator() = default;
    // Makes the runs given by their indices, outcome k for runs[k]; cancel is asked now and
    // then during a run (a cancelled run's outcome says so and is not a result).
    virtual void Evaluate(std::span<const long long> runs, std::span<RunOutcome> outcomes,
                          const gyromodel::CancelCheck& cancel) = 0;
};

using EvaluatorFactory = std::function<std::unique_ptr<RunEvaluator>(const Study&)>;

// A run's fields set on a model, and what its figures need of them once it has run.
struct PreparedRun {
    RunOutcome outcome;                // run and values filled in
    std::vector<double> frequencies;   // each figure's, as the run has it before it may change its fields
    double stopTime = 0;
};

// Sets every field of the model from the base and the run's own values (as given, to 32 bits).
PreparedRun PrepareRun(const Study& study, gyromodel::SimulationModel& model, std::span<const int> varied,
                       int stopTimeField, long long run);
// Bytes the series of the run set on the model take; none when the model will refuse the run.
std::uint64_t RunBytes(const gyromodel::SimulationModel& model);
// Asked now and then while a run waits for its share of memory: whether the study stops.
bool StopAsked(const gyromodel::CancelCheck& cancel);
// The run's status and figures (not finite where the run did not finish) into its outcome.
RunOutcome TakeOutcome(const Study& study, const gyromodel::SimulationModel& model, PreparedRun&& prepared,
                       const RunStatus& status);

// One run after another on a model of its own, each run's series freed once its figures are taken.
class ModelRunEvaluator : public RunEvaluator {
public:
    explicit ModelRunEvaluator(const Study& study);
    void Evaluate(std::span<const long long> runs, std::span<RunOutcome> outcomes,
                  const gyromodel::CancelCheck& cancel) override;
    RunOutcome EvaluateOne(long long run, const gyromodel::CancelCheck& cancel);

private:
    const Study& study_;
    std::unique_ptr<gyromodel::SimulationModel> model_;
    std::vector<int> varied_;
    int stopTime_ = -1;
};

std::unique_ptr<RunEvaluator> MakeModelRunEvaluator(const Study& study);

} // namespace study
