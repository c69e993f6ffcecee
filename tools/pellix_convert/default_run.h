// The run with no input: the built-in test pattern converted for all twenty
// format pairs, with a PNG per output format and a table of round-trip
// errors and speeds written under an output folder.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "formats/pixel_format.h"
#include "tools/pellix_convert/cli_options.h"

namespace pellix::convert {

struct DefaultRunSettings {
  std::string folder = "pellix-out";
  int32_t width = 640;
  int32_t height = 360;
  int32_t frames = 48;
  bool overwrite = false;
  std::string pluginPath;
};

// Throws a usage ToolError for options that do not belong to this run.
DefaultRunSettings DefaultRunFromOptions(const Options& options);

struct RoundTripResult {
  PixelFormat from = PixelFormat::None;
  PixelFormat to = PixelFormat::None;
  double framesPerSecond = 0;  // from -> to, copies into and out of the plug-in's frames included
  int maxError = 0;            // from -> to -> from against the source, per 8-bit sample
  double meanError = 0;
};

// Largest and summed absolute difference of two frames of `format` in file
// layout; BGRA alpha bytes are not compared. `samples` receives the count.
void AddFrameDifference(PixelFormat format, const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int* maxError,
                        uint64_t* sum, uint64_t* samples);

std::string RoundTripTable(const DefaultRunSettings& settings, const std::vector<RoundTripResult>& results);

// Writes the images and the table, prints the table and where to look.
void RunDefault(const DefaultRunSettings& settings, std::ostream& out);

}  // namespace pellix::convert
