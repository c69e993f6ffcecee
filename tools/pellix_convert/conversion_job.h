// Runs a checked conversion plan: reads frames, converts each through the
// plug-in, writes raw frames, a YUV4MPEG2 stream or PNG images, and
// completes the output only when every frame went through.
#pragma once

#include "tools/pellix_convert/conversion_plan.h"

namespace pellix::convert {

// Opens the input first: a plan left to the input's content is settled by
// its first bytes, and no output may be the input. Throws a ToolError for
// anything that stops the run.
void RunConversion(ConversionPlan plan);

}  // namespace pellix::convert
