// Whether the standard streams are terminals: progress is drawn only on one,
// and video frames are never written to one.
#pragma once

namespace pellix::convert {

bool StandardErrorIsTerminal();

}  // namespace pellix::convert
