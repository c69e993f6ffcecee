// The smallest complete host of the Pellix colour transform (docs/hosting.md
// walks through it): load the plug-in, make an I420 -> BGRA component, hand
// it one frame, pull the converted frame, write it as a PPM image and release
// everything.   minimal_host PLUGIN INPUT WIDTH HEIGHT OUTPUT.ppm
// INPUT holds one I420 frame with no padding: the Y plane, then U, then V,
// each chroma plane (WIDTH/2) x (HEIGHT/2) bytes. WIDTH and HEIGHT are even.
#include <dlfcn.h>

#include <tessel/interfaces.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// A frame over a heap buffer. One thread only, so a plain count will do.
struct HeapFrame final : Tessel::Frame {
  HeapFrame(int32_t width, int32_t height, int32_t stride, uint32_t bytes) : pixels(bytes) {
    imageProperties.width = width, imageProperties.height = height, imageProperties.stride = stride;
    capacity = dataSize() = bytes;
  }
  int32_t addRef() override { return ++references; }
  int32_t release() override {
    const int32_t left = --references;
    if (left == 0) delete this;
    return left;
  }
  uint8_t* lock() override { return pixels.data(); }
  void unlock() override {}

  std::vector<uint8_t> pixels;
  int32_t references = 1;  // the creator's
};

// Makes the destination frames: stride = width, bits per pixel as announced.
struct HeapFrameAllocator final : Tessel::FrameAllocator {
  void setBitsPerPixel(int32_t value) override { bits = value; }
  Tessel::Frame* allocateFrame(int32_t width, int32_t height, int32_t count) override {
    if (count != 1 || width <= 0 || height <= 0 || bits <= 0) return nullptr;
    const uint64_t bytes = (uint64_t(bits) * uint64_t(width) * uint64_t(height) + 7) / 8;
    return bytes > UINT32_MAX ? nullptr : new HeapFrame(width, height, width, uint32_t(bytes));
  }
  int32_t bits = 0;
};

// A host port that accepts every notification and serves nothing.
struct Port : Tessel::PortInterface {
  bool query(uint32_t, Tessel::Variant*) override { return true; }
  bool notify(uint32_t, Tessel::Variant*) override { return true; }
  bool request(uint32_t, Tessel::Variant*) override { return false; }
  bool configure(uint32_t, Tessel::Variant*) override { return false; }
};

// The upstream port: answers the first PullFrame with its frame, handing its
// reference to the caller, and every later one with false.
struct OneFrameSource final : Port {
  explicit OneFrameSource(Tessel::Frame* frame) : frame(frame) {}
  ~OneFrameSource() override {
    if (frame != nullptr) frame->release();
  }
  bool request(uint32_t code, Tessel::Variant* value) override {
    if (code != Tessel::PortMessage::PullFrame || frame == nullptr) return false;
    value->setPointer(Tessel::VariantType::ObjectPtr, std::exchange(frame, nullptr));
    return true;
  }
  Tessel::Frame* frame;
};

// The downstream port: accepts the image description the component forwards.
struct Sink final : Port {
  bool configure(uint32_t code, Tessel::Variant*) override { return code == Tessel::PortMessage::ImageFormat; }
};

// Told before and after the plug-in object deletes itself.
struct Host final : Tessel::PluginHost {
  void onPluginReleasing(Tessel::Plugin*) override {}
  void onPluginReleased(Tessel::Plugin*) override {}
};

bool Send(Tessel::PortInterface* port, uint32_t message, void* object) {
  Tessel::Variant value;
  value.setPointer(Tessel::VariantType::ObjectPtr, object);
  return message == Tessel::PortMessage::ImageFormat ? port->configure(message, &value)
                                                     : port->notify(message, &value);
}

// An I420 source frame with stride s, a multiple of 4: then the plug-in
// reads the V plane at h*s + h*s/4, right after the U plane.
HeapFrame* I420Frame(const std::vector<uint8_t>& file, int32_t w, int32_t h, int32_t s) {
  auto* frame = new HeapFrame(w, h, s, uint32_t(s) * uint32_t(h) * 3 / 2);
  const uint8_t* in = file.data();
  uint8_t* y = frame->pixels.data();
  for (int32_t row = 0; row < h; ++row, in += w) std::memcpy(y + row * s, in, size_t(w));
  for (uint8_t* plane : {y + s * h, y + s * h + s * h / 4}) {
    for (int32_t row = 0; row < h / 2; ++row, in += w / 2) std::memcpy(plane + row * (s / 2), in, size_t(w / 2));
  }
  return frame;
}

// A BGRA frame as a binary PPM: rows of R, G, B; alpha is dropped.
bool WritePpm(Tessel::Frame* frame, const char* path) {
  const Tessel::ImageProperties& image = frame->imageProperties;
  FILE* out = std::fopen(path, "wb");
  if (out == nullptr) return false;
  std::fprintf(out, "P6\n%d %d\n255\n", image.width, image.height);
  const uint8_t* pixels = frame->lock();
  std::vector<uint8_t> row(size_t(image.width) * 3);
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* bgra = pixels + size_t(y) * size_t(image.stride) * 4;
    for (int32_t x = 0; x < image.width; ++x) {
      for (int c = 0; c < 3; ++c) row[3 * x + c] = bgra[4 * x + 2 - c];
    }
    std::fwrite(row.data(), 1, row.size(), out);
  }
  frame->unlock();
  return std::fclose(out) == 0;
}

int Fail(const char* what) {
  std::fprintf(stderr, "minimal_host: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) return Fail("usage: minimal_host PLUGIN INPUT WIDTH HEIGHT OUTPUT.ppm");
  const int32_t w = std::atoi(argv[3]), h = std::atoi(argv[4]), stride = (w + 15) & ~15;
  if (w < 2 || h < 2 || w > 16384 || h > 16384 || w % 2 || h % 2) return Fail("WIDTH, HEIGHT: even, 2 to 16384");
  std::vector<uint8_t> file(size_t(w) * size_t(h) * 3 / 2);
  FILE* in = std::fopen(argv[2], "rb");
  const bool whole = in && std::fread(file.data(), 1, file.size(), in) == file.size() && std::fgetc(in) == EOF;
  if (in == nullptr || std::fclose(in) != 0 || !whole) return Fail("INPUT must hold one I420 frame of WIDTH x HEIGHT");

  // Load the library and obtain a new component holding one reference.
  void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return Fail(dlerror());
  using GetPlugin = int32_t (*)(Tessel::PluginHost*, Tessel::Plugin**);
  auto getPlugin = reinterpret_cast<GetPlugin>(dlsym(library, "_getPlugin"));
  Host host;
  Tessel::Plugin* plugin = nullptr;
  if (getPlugin != nullptr) getPlugin(&host, &plugin);
  void* face = nullptr;
  if (plugin == nullptr || plugin->queryInterface(Tessel::InterfaceTransformId, &face) != 0) {
    if (plugin != nullptr) plugin->releaseRef();
    dlclose(library);
    return Fail("the library gave no transform component");
  }
  auto* transform = static_cast<Tessel::TransformInterface*>(face);

  // Ports by format name (kind 2), then the messages in the order the
  // component expects. Source, sink and allocator outlive the ports.
  OneFrameSource source(I420Frame(file, w, h, stride));
  Sink sink;
  HeapFrameAllocator allocator;
  Tessel::ImageProperties image;  // the stream's description
  image.width = w, image.height = h, image.stride = stride;
  Tessel::PortInterface* input = transform->createInputPort(2, "I420", 0);
  Tessel::PortInterface* output = transform->createOutputPort(2, "BGRA", 0);
  bool ok = input != nullptr && output != nullptr && Send(input, Tessel::PortMessage::Connect, &source) &&
            Send(output, Tessel::PortMessage::Connect, &sink) &&
            Send(output, Tessel::PortMessage::SetFrameAllocator, &allocator) &&
            Send(output, Tessel::PortMessage::ImageFormat, &image);

  // One pull: the answer carries the converted frame and its reference.
  Tessel::Variant answer;
  ok = ok && output->request(Tessel::PortMessage::PullFrame, &answer);
  const bool written = ok && WritePpm(answer.as<Tessel::Frame>(), argv[5]);
  if (ok) answer.as<Tessel::Frame>()->release();

  // Stop: disconnect and destroy the ports, then give up the last reference.
  for (Tessel::PortInterface* port : {input, output}) {
    if (port != nullptr) Send(port, Tessel::PortMessage::Disconnect, nullptr);
  }
  if (input != nullptr) transform->destroyInputPort(input);
  if (output != nullptr) transform->destroyOutputPort(output);
  plugin->releaseRef();
  dlclose(library);
  if (!ok) return Fail("the component refused a step or the frame");
  return written ? 0 : Fail("cannot write OUTPUT");
}
