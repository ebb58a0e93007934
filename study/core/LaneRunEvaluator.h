#pragma once

#include "RunEvaluator.h"

#include <memory>

// Runs integrated four at a time, one per lane of the processor's vector registers, each ending
// exactly as its single run would: the same status and the same samples, bit for bit.
namespace study {

// Runs a worker takes at once when they go through the lanes: a block.
inline constexpr int LaneBatch = static_cast<int>(RunBlock);

// Whether the study's runs can share lanes: the model has lanes and every run takes the same
// steps at the same times (none of the fields that set them varies).
bool LanesFit(const Study& study);

// The runs of a batch through the lanes of the study's model.
std::unique_ptr<RunEvaluator> MakeLaneRunEvaluator(const Study& study);

} // namespace study
