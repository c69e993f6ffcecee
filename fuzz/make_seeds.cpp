// Writes the checked-in seed corpus: a handful of small inputs per target
// that each reach a different part of the plug-in (every converter family,
// odd and degenerate sizes, short buffers, refusals, pass-through, the
// disconnect and re-creation orders). Usage: pellix_fuzz_seeds <corpus dir>;
// files land in <corpus dir>/frame_path/ and <corpus dir>/surface/.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/frame_path_plan.h"
#include "fuzz/fuzz_bytes.h"
#include "fuzz/fuzz_frames.h"
#include "fuzz/surface_ops.h"

namespace {

using namespace pellix::fuzz;
namespace fs = std::filesystem;

enum Name : uint8_t { I420, IYUV, YV12, YUY2, UYVY, BGRA, YV12Planar, LowerI420 };

void Save(const fs::path& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  fs::create_directories(dir);
  std::ofstream out(dir / name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> Ramp(size_t n) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(16 + (i * 37) % 224);
  return bytes;
}

// A plan with `pulls` frames of one geometry, exact capacities, announced as
// the frames are (on the output port).
FramePathPlan Plain(Name in, Name out, int32_t width, int32_t height, size_t pulls = 1) {
  FramePathPlan plan;
  plan.inputName = in;
  plan.outputName = out;
  plan.flags = FramePathFlags::AnnounceOnOutput;
  plan.announcedWidth = width;
  plan.announcedHeight = height;
  plan.announcedStride = width;
  SourceFrameRecipe source;
  source.width = width;
  source.height = height;
  source.attribute0 = 0x41000007u;
  source.attribute1 = 0x42000009u;
  plan.sources.assign(pulls, source);
  plan.destinations.assign(pulls, DestinationFrameRecipe{});
  plan.pixels = Ramp(61);
  return plan;
}

std::vector<uint8_t> Bytes(const FramePathPlan& plan) {
  ByteWriter out;
  plan.write(out);
  return out.bytes();
}

void FramePathSeeds(const fs::path& dir) {
  Save(dir, "i420_to_bgra_16x8", Bytes(Plain(I420, BGRA, 16, 8, 2)));
  Save(dir, "yuy2_to_i420_odd_5x3", Bytes(Plain(YUY2, I420, 5, 3)));
  Save(dir, "bgra_to_uyvy_odd_refused_7x5", Bytes(Plain(BGRA, UYVY, 7, 5)));
  Save(dir, "yv12_to_yuy2_1x1", Bytes(Plain(YV12, YUY2, 1, 1)));
  Save(dir, "uyvy_to_bgra_0x0", Bytes(Plain(UYVY, BGRA, 0, 0)));

  FramePathPlan copy = Plain(YV12, IYUV, 6, 4);
  copy.sources[0].stride.mode = 1 | (2 << 2);  // two pixels of row padding
  Save(dir, "yv12_to_iyuv_padded_stride", Bytes(copy));

  FramePathPlan swap = Plain(UYVY, YUY2, 4, 2, 2);
  swap.destinations[1].stride.mode = 1 | (2 << 2);  // strides differ: refused
  Save(dir, "uyvy_to_yuy2_swap", Bytes(swap));

  FramePathPlan shortBuffer = Plain(I420, YUY2, 32, 16, 2);
  shortBuffer.destinations[0].capacity.mode = 1;          // one byte short
  shortBuffer.sources[1].capacity.mode = 1 | (10 << 2);   // eleven bytes short
  Save(dir, "i420_to_yuy2_short_buffers", Bytes(shortBuffer));

  FramePathPlan flipped = Plain(YUY2, BGRA, 8, 8);
  flipped.announcedHeight = -8;
  flipped.flags |= FramePathFlags::AnnounceOnInput;
  Save(dir, "yuy2_to_bgra_negative_height", Bytes(flipped));

  FramePathPlan mismatch = Plain(BGRA, YV12Planar, 10, 6);
  mismatch.announcedWidth = 640;
  mismatch.announcedHeight = 480;
  Save(dir, "bgra_to_yv12_announced_larger", Bytes(mismatch));

  FramePathPlan passThrough = Plain(I420, YV12, 8, 4, 2);
  passThrough.recreate = RecreateStep::InputAsOutput;
  Save(dir, "pass_through_after_recreation", Bytes(passThrough));

  FramePathPlan other = Plain(I420, BGRA, 12, 6, 2);
  other.recreate = RecreateStep::Output;
  other.recreateName = YUY2;  // converter stays I420 -> BGRA, bits become 16
  Save(dir, "output_recreated_after_connect", Bytes(other));

  FramePathPlan disconnect = Plain(YV12, UYVY, 6, 2, 3);
  disconnect.disconnect = 1 << 1;  // input side, before the second pull
  disconnect.sources[0].behaviour = SourceBehaviour::TrueWithNullFrame;
  disconnect.destinations[0].refuse = true;
  Save(dir, "disconnect_between_pulls", Bytes(disconnect));

  FramePathPlan huge = Plain(BGRA, I420, 8, 8);
  huge.sources[0].width = 0x7FFFFFFF;
  huge.sources[0].height = -3;
  huge.sources[0].stride.mode = 3;
  huge.sources[0].stride.raw = -64;
  huge.flags = FramePathFlags::AnnounceOnInput | (2 << FramePathFlags::BufferModeShift);
  Save(dir, "bgra_to_i420_wild_geometry", Bytes(huge));
}

// Builds a surface input operation by operation.
class SurfaceScript {
 public:
  SurfaceScript& op(SurfaceOp op) {
    out_.byte(static_cast<uint8_t>(op));
    return *this;
  }
  SurfaceScript& create(bool input, uint8_t name, int32_t kind = 2) {
    op(input ? SurfaceOp::CreateInput : SurfaceOp::CreateOutput);
    if (kind == 2) {
      out_.byte(1);
    } else {
      out_.byte(0).word(static_cast<uint32_t>(kind));
    }
    out_.byte(name);
    return *this;
  }
  SurfaceScript& destroy(bool input, ObjectChoice pointer) {
    op(input ? SurfaceOp::DestroyInput : SurfaceOp::DestroyOutput);
    out_.byte(static_cast<uint8_t>(pointer));
    return *this;
  }
  SurfaceScript& property(uint8_t key, uint8_t presetType) {
    op(SurfaceOp::GetProperty);
    out_.byte(key).byte(presetType).word(0xC0FFEE);
    return *this;
  }
  SurfaceScript& propertyText(const std::string& key, uint8_t presetType) {
    op(SurfaceOp::GetProperty);
    out_.byte(0x80).text(key).byte(presetType).word(7);
    return *this;
  }
  SurfaceScript& names(uint8_t already) {
    op(SurfaceOp::GetPropertyNames);
    out_.byte(already);
    return *this;
  }
  SurfaceScript& query(uint8_t identifier) {
    op(SurfaceOp::QueryInterface);
    out_.byte(identifier);
    return *this;
  }
  // operation: 0 query, 1 notify, 2 request, 3 configure; code: index into
  // kKnownCodes, or 5 with `raw`.
  SurfaceScript& call(bool output, int operation, uint8_t code, uint8_t payload, uint8_t type = 14,
                      uint32_t raw = 0) {
    op(SurfaceOp::PortCall);
    out_.byte(static_cast<uint8_t>((output ? 1 : 0) | (operation << 1)));
    out_.byte(code);
    if (code == 5) out_.word(raw);
    out_.byte(type).byte(payload);
    return *this;
  }
  SurfaceScript& image(int32_t width, int32_t height, int32_t stride) {
    op(SurfaceOp::SetImage);
    out_.dimension(width).dimension(height).dimension(stride);
    return *this;
  }
  SurfaceScript& answer(uint8_t how) {
    op(SurfaceOp::SourceAnswer);
    out_.byte(how);
    return *this;
  }
  SurfaceScript& hostOperation(uint8_t slot) {
    op(SurfaceOp::HostOperation);
    out_.byte(slot);
    return *this;
  }
  SurfaceScript& frames(const SourceFrameRecipe& recipe) {
    op(SurfaceOp::SourceFrames);
    recipe.write(out_);
    return *this;
  }
  const std::vector<uint8_t>& bytes() const { return out_.bytes(); }

 private:
  ByteWriter out_;
};

constexpr uint8_t kConnect = 0, kDisconnect = 1, kSetAllocator = 2, kPull = 3, kImageFormat = 4;
constexpr uint8_t kPeerSource = 1, kPeerSink = 2;

SurfaceScript Wired(uint8_t in, uint8_t out) {
  SurfaceScript s;
  s.create(true, in).create(false, out);
  s.call(false, 1, kConnect, kPeerSource).call(true, 1, kConnect, kPeerSink);
  s.call(true, 1, kSetAllocator, 1).image(8, 4, 8).call(true, 3, kImageFormat, 1);
  return s;
}

void SurfaceSeeds(const fs::path& dir) {
  SurfaceScript session = Wired(I420, BGRA);
  session.call(true, 2, kPull, 0).call(true, 2, kPull, 0);
  session.property(0, 0).property(1, 0).property(2, 6).property(3, 6).names(2);
  session.call(false, 1, kDisconnect, 0).call(true, 1, kDisconnect, 0).call(true, 2, kPull, 0);
  session.destroy(true, ObjectChoice::OutputPort).destroy(true, ObjectChoice::InputPort);
  Save(dir, "wired_session", session.bytes());

  SurfaceScript refusals;
  refusals.create(true, BGRA, 1).create(true, 8).create(true, 9).create(true, LowerI420).create(true, YUY2);
  refusals.create(true, UYVY).create(false, 6).destroy(false, ObjectChoice::InputPort);
  refusals.destroy(true, ObjectChoice::SourcePort).destroy(true, ObjectChoice::Null);
  refusals.destroy(false, ObjectChoice::OutputPort).create(false, BGRA);
  Save(dir, "creation_refusals", refusals.bytes());

  SurfaceScript properties;
  properties.property(2, 6).property(3, 6).property(4, 0).property(6, 6).property(7, 0);
  properties.propertyText("\x80\xff", 11).create(true, IYUV).property(2, 6).property(2, 11).property(0, 6);
  properties.names(0).names(3);
  Save(dir, "property_lookups", properties.bytes());

  SurfaceScript identifiers;
  for (uint8_t i = 0; i < sizeof(kIdentifiers) / sizeof(kIdentifiers[0]); ++i) identifiers.query(i);
  identifiers.op(SurfaceOp::AddRef).op(SurfaceOp::AddRef).op(SurfaceOp::CheckIdentity);
  identifiers.op(SurfaceOp::ReleaseRef).op(SurfaceOp::CheckIdentity);
  for (uint8_t slot = 0; slot < 7; ++slot) identifiers.hostOperation(slot);
  Save(dir, "identifiers_and_references", identifiers.bytes());

  SurfaceScript codes = Wired(YUY2, YV12);
  for (int operation = 0; operation < 4; ++operation) {
    for (uint8_t code = 0; code < 5; ++code) codes.call(operation % 2 == 0, operation, code, 1);
    codes.call(true, operation, 5, 0, 6, 0x12345678u).call(false, operation, 5, 0, 0, 0x2009000fu);
  }
  Save(dir, "message_codes", codes.bytes());

  SurfaceScript odd = Wired(UYVY, I420);
  SourceFrameRecipe oddFrames;
  oddFrames.width = 7;
  oddFrames.height = 3;
  odd.frames(oddFrames).image(-7, 3, 8).call(true, 3, kImageFormat, 1).call(true, 2, kPull, 0);
  odd.answer(1).call(true, 2, kPull, 0).answer(2).call(true, 2, kPull, 0);
  Save(dir, "odd_frames_and_upstream_answers", odd.bytes());

  SurfaceScript passThrough = Wired(BGRA, YUY2);
  passThrough.destroy(true, ObjectChoice::InputPort).create(true, YUY2).call(true, 2, kPull, 0);
  passThrough.call(true, 1, kConnect, kPeerSink).call(true, 2, kPull, 0);
  Save(dir, "pass_through", passThrough.bytes());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus dir>\n", argv[0]);
    return 2;
  }
  const fs::path root(argv[1]);
  FramePathSeeds(root / "frame_path");
  SurfaceSeeds(root / "surface");
  return 0;
}
