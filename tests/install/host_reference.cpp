// What the minimal host must produce, made by the reference host in host/:
//
//   host_reference input WIDTH HEIGHT SEED FILE
//       one I420 frame of pseudo-random samples (the whole 0..255 range, not
//       just video levels), with no padding, as the minimal host reads it
//   host_reference convert PLUGIN INPUT WIDTH HEIGHT OUTPUT.ppm
//       the frame converted to BGRA through PLUGIN and written as a binary
//       PPM (rows of R, G, B); the same command line as the minimal host
//
// The reference host lays the source frame out with its own stride (the
// width rounded up to a multiple of 4, not the example's 16), so agreeing
// bytes also show that the stride does not leak into the picture.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/frame_rules.h"
#include "host/conversion_session.h"
#include "host/frame.h"
#include "host/frame_ledger.h"
#include "host/frame_ref.h"

namespace {

using pellix::FrameLayout;

uint64_t I420Bytes(int32_t width, int32_t height) {
  return static_cast<uint64_t>(width) * height + 2 * static_cast<uint64_t>(width / 2) * (height / 2);
}

void WriteFile(const std::string& path, const std::string& header, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << header;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

void MakeInput(int32_t width, int32_t height, uint32_t seed, const std::string& path) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(I420Bytes(width, height));
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  WriteFile(path, "", bytes);
}

void Convert(const std::string& plugin, const std::string& input, int32_t width, int32_t height,
             const std::string& output) {
  std::ifstream in(input, std::ios::binary);
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (file.size() != I420Bytes(width, height)) throw std::runtime_error(input + " is not one I420 frame");

  pellix::SessionOptions options;
  options.inputFormat = "I420";
  options.outputFormat = "BGRA";
  options.width = width;
  options.height = height;
  options.sourceStride = static_cast<int32_t>(pellix::RoundUpToPlanarStride(width));
  // The file's planes, one after the other, into the planes of the layout.
  options.fill = [&file](pellix::HostFrame& frame, const FrameLayout& layout, uint64_t) {
    const uint8_t* in = file.data();
    for (int plane = 0; plane < layout.planeCount; ++plane) {
      const pellix::PlaneLayout& p = layout.planes[plane];
      for (uint64_t row = 0; row < p.rows; ++row, in += p.rowBytes) {
        std::copy(in, in + p.rowBytes, frame.data() + p.offset + row * p.pitch);
      }
    }
  };
  // Every frame handed out is released exactly once, or the run fails.
  const auto ledger = std::make_shared<pellix::FrameLedger>();
  FrameLayout layout;
  std::vector<uint8_t> rgb;
  {
    pellix::ConversionSession session(std::make_shared<pellix::PluginLibrary>(plugin), std::move(options), ledger);
    const pellix::FrameRef converted = session.pull();
    layout = session.outputLayout(*converted);
    const pellix::FrameLock lock(*converted);
    for (int32_t y = 0; y < layout.height; ++y) {
      const uint8_t* bgra = lock.data() + layout.planes[0].offset + y * layout.planes[0].pitch;
      for (int32_t x = 0; x < layout.width; ++x) rgb.insert(rgb.end(), {bgra[4 * x + 2], bgra[4 * x + 1], bgra[4 * x]});
    }
  }
  if (!ledger->report().clean()) throw std::runtime_error("frame misuse: " + ledger->report().describe());
  WriteFile(output, "P6\n" + std::to_string(layout.width) + " " + std::to_string(layout.height) + "\n255\n", rgb);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 5 && args[0] == "input") {
      MakeInput(std::stoi(args[1]), std::stoi(args[2]), static_cast<uint32_t>(std::stoul(args[3])), args[4]);
    } else if (args.size() == 6 && args[0] == "convert") {
      Convert(args[1], args[2], std::stoi(args[3]), std::stoi(args[4]), args[5]);
    } else {
      std::fprintf(stderr, "usage: host_reference input W H SEED FILE | convert PLUGIN INPUT W H OUTPUT.ppm\n");
      return 2;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "host_reference: %s\n", error.what());
    return 1;
  }
  return 0;
}
