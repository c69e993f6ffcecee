// Value types shared by the host engine and its plug-ins: allocators, the
// string record, identifier constants, tagged values, property maps, image
// descriptions and rectangles. Records keep the field order of the host's
// binary interface; sizes are checked in sdk/record_layout.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <new>
#include <string>

namespace Tessel {

// Allocator that made a String's buffer; the buffer is released only through
// the same allocator, so host and plug-in may use different heaps.
template <class T>
class StandardAllocator {
 public:
  virtual ~StandardAllocator() = default;

  virtual T* allocate(int32_t count) {
    // A negative count, or a byte size that does not fit in 32 bits, must fail
    // rather than wrap into a short buffer.
    if (count < 0) throw std::bad_alloc();
    const uint64_t bytes = static_cast<uint64_t>(static_cast<uint32_t>(count)) * sizeof(T);
    if (bytes > 0xFFFFFFFFull) throw std::bad_alloc();
    return new T[static_cast<size_t>(count)];
  }

  virtual void deallocate(T* p) { delete[] p; }
};

// One process-wide allocator per character type, constructed on first use.
template <class T>
StandardAllocator<T>* defaultAllocator() {
  static StandardAllocator<T> instance;
  return &instance;
}

// Counted text with the allocator that owns its buffer. data is null for the
// null string; otherwise it holds length + 1 elements, the last one 0.
template <class T>
struct String {
  T* data;
  int32_t length;
  StandardAllocator<T>* allocator;

  String() : data(nullptr), length(0), allocator(defaultAllocator<T>()) {}

  explicit String(const T* text, StandardAllocator<T>* alloc = defaultAllocator<T>())
      : data(nullptr), length(0), allocator(alloc) {
    if (text == nullptr) return;
    size_t n = 0;
    while (text[n] != 0) ++n;
    // A text longer than the record's 32-bit length can count is refused.
    if (n >= static_cast<size_t>(INT32_MAX)) throw std::bad_alloc();
    assign(text, static_cast<int32_t>(n));
  }

  // Deep copy into a buffer of the given allocator; the source's allocator is
  // never used. length is taken from the source, not recounted.
  String(const String& other, StandardAllocator<T>* alloc)
      : data(nullptr), length(0), allocator(alloc) {
    if (other.data != nullptr) assign(other.data, other.length);
  }

  String(const String& other) : String(other, defaultAllocator<T>()) {}

  String(String&& other) noexcept
      : data(other.data), length(other.length), allocator(other.allocator) {
    other.data = nullptr;
    other.length = 0;
  }

  String& operator=(const String& other) {
    if (this != &other) {
      String copy(other, allocator);
      swapContents(copy);
    }
    return *this;
  }

  String& operator=(String&& other) noexcept {
    if (this != &other) {
      clear();
      swapContents(other);
    }
    return *this;
  }

  ~String() { clear(); }

  void clear() {
    if (data != nullptr) {
      allocator->deallocate(data);
      data = nullptr;
    }
    length = 0;
  }

  // Narrow form only: the text up to its first 0 element.
  std::string toStdString() const {
    return data == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(data));
  }

  // Texts compare up to their first 0 element; null equals empty.
  bool operator==(const T* text) const {
    const T* a = data;
    const T* b = text;
    static const T empty = 0;
    if (a == nullptr) a = &empty;
    if (b == nullptr) b = &empty;
    while (*a != 0 && *a == *b) {
      ++a;
      ++b;
    }
    return *a == *b;
  }
  bool operator==(const String& other) const { return *this == other.data; }
  bool operator!=(const T* text) const { return !(*this == text); }
  bool operator!=(const String& other) const { return !(*this == other); }

 private:
  void assign(const T* text, int32_t n) {
    if (n < 0 || n == INT32_MAX) throw std::bad_alloc();
    T* buffer = allocator->allocate(n + 1);
    std::memcpy(buffer, text, static_cast<size_t>(n) * sizeof(T));
    buffer[n] = 0;
    data = buffer;
    length = n;
  }

  void swapContents(String& other) noexcept {
    T* d = data;
    int32_t l = length;
    StandardAllocator<T>* a = allocator;
    data = other.data;
    length = other.length;
    allocator = other.allocator;
    other.data = d;
    other.length = l;
    other.allocator = a;
  }
};

// Interface and component identifiers, built during static initialisation.
extern const String<char> InterfaceComponentId;       // "tesselhub.interface.component"
extern const String<char> ComponentInputId;           // "tesselhub.component.input"
extern const String<char> InterfaceInputId;           // "tesselhub.interface.input"
extern const String<char> ComponentOutputSingleId;    // "tesselhub.component.output.single"
extern const String<char> ComponentOutputMultipleId;  // "tesselhub.component.output.multiple"
extern const String<char> ComponentOutputId;          // "tesselhub.component.output"
extern const String<char> InterfaceOutputId;          // "tesselhub.interface.output"
extern const String<char> ComponentTransformId;       // "tesselhub.component.transform"
extern const String<char> InterfaceTransformId;       // "tesselhub.interface.transform"

enum class VariantType : uint8_t {
  Empty = 0,
  Int32 = 6,
  StringPtr = 11,
  WideStringPtr = 13,
  ObjectPtr = 14,
};

// Tagged value; also the payload carrier of every port message. Copied
// bitwise: a pointer payload is shared, never owned.
struct Variant {
  VariantType type = VariantType::Empty;
  union Payload {
    int32_t int32;
    void* pointer;
    int64_t int64;
    double real;
    uint8_t bytes[8];
  };
  alignas(8) Payload payload = {};

  template <class P>
  P* as() const {
    return static_cast<P*>(payload.pointer);
  }
  void setPointer(VariantType t, void* p) {
    payload = {};
    type = t;
    payload.pointer = p;
  }
  void setInt32(int32_t v) {
    payload = {};
    type = VariantType::Int32;
    payload.int32 = v;
  }
};

// strcmp order: bytes compared as unsigned values, a prefix sorts first.
struct CStringLess {
  bool operator()(const char* a, const char* b) const { return std::strcmp(a, b) < 0; }
};

// Keys are stored by pointer and never copied or released.
using PropertyMap = std::map<const char*, Variant, CStringLess>;

class Properties {
 public:
  virtual ~Properties() = default;
};

template <class T>
class Rect {
 public:
  // Coordinates of the double form keep 8-byte alignment on 32-bit x86 too.
  alignas(sizeof(T)) T left = 0;
  alignas(sizeof(T)) T top = 0;
  alignas(sizeof(T)) T right = 0;
  alignas(sizeof(T)) T bottom = 0;

  Rect() = default;
  Rect(T l, T t, T r, T b) : left(l), top(t), right(r), bottom(b) {}
  Rect(const Rect&) = default;
  virtual ~Rect() = default;

  Rect& operator=(const Rect& other) {
    if (this != &other) {
      left = other.left;
      top = other.top;
      right = other.right;
      bottom = other.bottom;
    }
    return *this;
  }

  virtual T getWidth() const = 0;
  virtual T getHeight() const = 0;
};

// Both edges count as inside.
class RectInt : public Rect<int32_t> {
 public:
  using Rect<int32_t>::Rect;
  int32_t getWidth() const override { return right - left + 1; }
  int32_t getHeight() const override { return bottom - top + 1; }
};

// Distance between the edges.
class RectFloat : public Rect<double> {
 public:
  using Rect<double>::Rect;
  double getWidth() const override { return right - left; }
  double getHeight() const override { return bottom - top; }
};

// Description of a video image. Only width, height and stride are read by the
// plug-in; the other fields belong to the host and are copied as they are.
class ImageProperties : public Properties {
 public:
  int32_t width = 0;   // pixels; may arrive negative
  int32_t height = 0;  // rows; may arrive negative
  int32_t extra0 = 1;
  int32_t extra1 = 1;
  int32_t extra2 = 1;
  RectFloat sourceRect;
  RectInt targetRect;
  int32_t stride = 0;  // row pitch in pixels of the frame's format
  bool hostFlag = false;

  ImageProperties() = default;
  ImageProperties(const ImageProperties&) = default;
  // Copies every field; the object's and its rectangles' virtual tables stay.
  ImageProperties& operator=(const ImageProperties&) = default;
};

}  // namespace Tessel
