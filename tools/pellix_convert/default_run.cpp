#include "tools/pellix_convert/default_run.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <system_error>

#include "tools/pellix_convert/output_file.h"
#include "tools/pellix_convert/frame_files.h"
#include "tools/pellix_convert/plugin_conversion.h"
#include "tools/pellix_convert/png_writer.h"
#include "tools/pellix_convert/test_pattern.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

constexpr const char* kTableName = "round-trip.txt";
constexpr uint64_t kLargestPatternBytes = uint64_t{512} << 20;
constexpr int64_t kMostPatternFrames = 10000;

std::string ImageName(PixelFormat format) { return std::string("pattern-") + FormatName(format) + ".png"; }

std::string InFolder(const std::string& folder, const std::string& name) {
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

void MakeFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw ToolError("cannot create output folder '" + folder + "': " + error.message());
  if (!std::filesystem::is_directory(folder, error)) {
    throw ToolError("output folder '" + folder + "' is not a folder");
  }
}

// The picture for `format`: the pattern converted into it (from BGRA, or
// from I420 when the format is BGRA itself) and shown through BGRA (for
// BGRA itself the second step hands the frame through).
void WriteImage(const std::shared_ptr<const PluginLibrary>& library, const DefaultRunSettings& settings,
                PixelFormat format, const std::string& path) {
  const PixelFormat from = format == PixelFormat::BGRA ? PixelFormat::I420 : PixelFormat::BGRA;
  const std::vector<uint8_t> source = MakePatternFrame(from, settings.width, settings.height, settings.frames / 2);
  std::vector<uint8_t> converted;
  PluginConversion(library, from, format, settings.width, settings.height).convert(source.data(), converted);
  std::vector<uint8_t> shown;
  PluginConversion(library, format, PixelFormat::BGRA, settings.width, settings.height)
      .convert(converted.data(), shown);
  WritePng(path, settings.overwrite, shown.data(), settings.width, settings.height,
           4 * static_cast<uint64_t>(settings.width));
}

RoundTripResult MeasurePair(const std::shared_ptr<const PluginLibrary>& library, const DefaultRunSettings& settings,
                            PixelFormat from, PixelFormat to, const std::vector<std::vector<uint8_t>>& sources) {
  PluginConversion there(library, from, to, settings.width, settings.height);
  PluginConversion back(library, to, from, settings.width, settings.height);
  std::vector<uint8_t> middle;
  std::vector<uint8_t> returned;
  RoundTripResult result{from, to, 0, 0, 0};
  uint64_t sum = 0;
  uint64_t samples = 0;
  std::chrono::duration<double> converting{0};
  for (const std::vector<uint8_t>& source : sources) {
    const auto start = std::chrono::steady_clock::now();
    there.convert(source.data(), middle);
    converting += std::chrono::steady_clock::now() - start;
    back.convert(middle.data(), returned);
    AddFrameDifference(from, source, returned, &result.maxError, &sum, &samples);
  }
  result.framesPerSecond = converting.count() > 0 ? static_cast<double>(sources.size()) / converting.count() : 0;
  result.meanError = samples > 0 ? static_cast<double>(sum) / static_cast<double>(samples) : 0;
  return result;
}

}  // namespace

DefaultRunSettings DefaultRunFromOptions(const Options& options) {
  if (!options.from.empty() || !options.to.empty() || !options.inputPixelFormat.empty() ||
      !options.outputPixelFormat.empty()) {
    throw UsageError(
        "-f, -t and -pix_fmt need an input (-i PATH); with no input the test pattern runs in every format");
  }
  if (options.pngFrame || options.everyFrame) throw UsageError("--frame and --every-frame need an input (-i PATH)");
  if (options.start) throw UsageError("--start needs an input (-i PATH)");
  if (options.seek) throw UsageError("-ss needs an input (-i PATH)");
  if (options.rate) throw UsageError("-r needs an input (-i PATH) and YUV4MPEG2 output");
  DefaultRunSettings settings;
  if (!options.output.empty()) {
    if (options.output == "-") throw UsageError("with no input, -o names a folder, not standard output");
    settings.folder = options.output;
  }
  if (options.size) {
    settings.width = options.size->width;
    settings.height = options.size->height;
  }
  for (PixelFormat format : kAllFormats) {
    const std::string problem = SizeProblem(format, settings.width, settings.height);
    if (!problem.empty()) throw UsageError("the test pattern runs in every format: " + problem);
  }
  if (options.frames) {
    if (*options.frames > kMostPatternFrames) {
      throw UsageError("the test pattern runs at most " + std::to_string(kMostPatternFrames) + " frames, not " +
                       std::to_string(*options.frames));
    }
    settings.frames = static_cast<int32_t>(*options.frames);
  }
  // The frames of one source format are held at once, so the pairs are timed
  // on conversions alone; BGRA frames are the largest.
  const uint64_t heldBytes = static_cast<uint64_t>(settings.frames) *
                             FileLayout(PixelFormat::BGRA, settings.width, settings.height).packedBytes();
  if (heldBytes > kLargestPatternBytes) {
    throw UsageError("the test pattern would hold " + std::to_string(heldBytes >> 20) + " MiB of frames (at most " +
                     std::to_string(kLargestPatternBytes >> 20) + "): give fewer --frames or a smaller --size");
  }
  settings.overwrite = options.overwrite;
  settings.pluginPath = options.pluginPath;
  return settings;
}

void AddFrameDifference(PixelFormat format, const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int* maxError,
                        uint64_t* sum, uint64_t* samples) {
  const size_t n = std::min(a.size(), b.size());
  const size_t skip = format == PixelFormat::BGRA ? 4 : 0;  // every fourth byte is alpha
  for (size_t i = 0; i < n; ++i) {
    if (skip != 0 && i % skip == 3) continue;
    const int difference = std::abs(static_cast<int>(a[i]) - static_cast<int>(b[i]));
    if (difference > *maxError) *maxError = difference;
    *sum += static_cast<uint64_t>(difference);
    ++*samples;
  }
}

std::string RoundTripTable(const DefaultRunSettings& settings, const std::vector<RoundTripResult>& results) {
  std::string table = "Pellix colour transform on the built-in test pattern: " + std::to_string(settings.frames) +
                      " frames of " + std::to_string(settings.width) + "x" + std::to_string(settings.height) +
                      ".\n"
                      "Round trip: source -> target -> source, compared with the source per 8-bit sample\n"
                      "(BGRA alpha not counted). Frames/s: source -> target through the plug-in, including\n"
                      "the copies into and out of its frames.\n\n";
  char line[160];
  std::snprintf(line, sizeof line, "%-14s %10s %10s %10s\n", "pair", "frames/s", "max error", "mean error");
  table += line;
  for (const RoundTripResult& r : results) {
    const std::string pair = std::string(FormatName(r.from)) + " -> " + FormatName(r.to);
    std::snprintf(line, sizeof line, "%-14s %10.1f %10d %10.3f\n", pair.c_str(), r.framesPerSecond, r.maxError,
                  r.meanError);
    table += line;
  }
  return table;
}

void RunDefault(const DefaultRunSettings& settings, std::ostream& out) {
  const std::string tablePath = InFolder(settings.folder, kTableName);
  MakeFolder(settings.folder);
  // Refuse before any work when an earlier run's results are in the way.
  OutputFile::checkAvailable(tablePath, settings.overwrite);
  for (PixelFormat format : kAllFormats) {
    OutputFile::checkAvailable(InFolder(settings.folder, ImageName(format)), settings.overwrite);
  }
  const auto library = LoadPlugin(settings.pluginPath);

  for (PixelFormat format : kAllFormats) {
    WriteImage(library, settings, format, InFolder(settings.folder, ImageName(format)));
  }

  std::vector<RoundTripResult> results;
  // The pairs come source by source; the frames of one source are made once.
  std::vector<std::vector<uint8_t>> sources;
  PixelFormat sourcesFormat = PixelFormat::None;
  for (const FormatPair& pair : kAllPairs) {
    if (pair.from != sourcesFormat) {
      sources.clear();
      for (int32_t i = 0; i < settings.frames; ++i) {
        sources.push_back(MakePatternFrame(pair.from, settings.width, settings.height, i));
      }
      sourcesFormat = pair.from;
    }
    results.push_back(MeasurePair(library, settings, pair.from, pair.to, sources));
  }
  const std::string table = RoundTripTable(settings, results);
  OutputFile file(tablePath, settings.overwrite);
  file.write(reinterpret_cast<const uint8_t*>(table.data()), table.size());
  file.commit();

  out << table << "\nResults are in " << settings.folder << "/:\n  " << std::left << std::setw(18) << kTableName
      << "this table\n";
  for (PixelFormat format : kAllFormats) {
    out << "  " << std::setw(18) << ImageName(format) << "the pattern converted to " << FormatName(format)
        << (format == PixelFormat::BGRA ? " from I420" : " from BGRA, shown through BGRA") << "\n";
  }
}

}  // namespace pellix::convert
