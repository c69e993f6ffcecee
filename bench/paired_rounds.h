// Whole frames measured in paired rounds: every round runs ours, libyuv and
// memcpy of equal traffic for one pair and size back to back (the order
// alternating from round to round), and each row reports the median of the
// per-round ratios with their range. A busy moment of a shared host slows
// all contenders of one round together, so it moves a ratio far less than
// it moves a rate; time is this thread's processor time.
#pragma once

#include <ostream>

namespace pellix::bench {

// Prints one table per frame size. Rounds of fewer than 3 are raised to 3.
void RunPairedRounds(std::ostream& out, int rounds);

}  // namespace pellix::bench
