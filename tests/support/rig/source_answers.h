// A faulty upstream for a SourcePort: PullFrame answered without a frame.
#pragma once

#include "host/source_port.h"

namespace pellix {

enum class SourceAnswer {
  Frames,               // a producer frame, or false when it gives none
  TrueWithNullPayload,  // true, with a null frame pointer in the Variant
  False,                // false, Variant untouched
};

// Makes `port` answer every PullFrame from now on as `answer` says.
void SetSourceAnswer(SourcePort& port, SourceAnswer answer);

}  // namespace pellix
