// Frames per second of a full pull through the plug-in. Registers nothing
// until the reference host can drive a pull.
#include "bench/registration.h"

namespace pellix::bench {

void RegisterPluginBenchmarks() {}

}  // namespace pellix::bench
