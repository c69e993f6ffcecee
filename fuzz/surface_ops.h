// The operations of a surface fuzz input: a sequence of operations, each an
// operation byte (SurfaceOp, modulo kSurfaceOpCount) followed by its
// operands, until the input ends or kMaxSurfaceOps have run:
//   CreateInput, CreateOutput   kind byte (% 4 == 0: a raw word follows,
//                               otherwise kind 2), name choice
//   DestroyInput, DestroyOutput ObjectChoice byte: the pointer passed
//   GetProperty                 key choice, preset type byte, preset word
//   GetPropertyNames            entries already in the caller's vector (% 4)
//   QueryInterface              identifier choice
//   PortCall                    target byte (bit 0 port: 0 input, 1 output;
//                               bits 1-2 operation: query, notify, request,
//                               configure; bit 3: null Variant pointer),
//                               code choice, type byte, payload choice byte
//   SetImage                    width, height, stride dimensions
//   AddRef, ReleaseRef, CheckIdentity  no operands
//   SourceAnswer                byte % 3: frames, true with null, false
//   AllocatorRefusing           byte & 1
//   SourceFrames                a SourceFrameRecipe for every later frame
//   HostOperation               byte % 7: one of ComponentInterface slots 1-7
// A choice byte below 0x80 picks from the built-in list for that operand;
// from 0x80 on, a text (length byte, bytes) follows instead.
#pragma once

#include <cstdint>

namespace pellix::fuzz {

enum class SurfaceOp : uint8_t {
  CreateInput,
  CreateOutput,
  DestroyInput,
  DestroyOutput,
  GetProperty,
  GetPropertyNames,
  QueryInterface,
  PortCall,
  SetImage,
  AddRef,
  ReleaseRef,
  CheckIdentity,
  SourceAnswer,
  AllocatorRefusing,
  SourceFrames,
  HostOperation,
};
constexpr uint8_t kSurfaceOpCount = 16;
constexpr int kMaxSurfaceOps = 256;

// Pointers offered where a port is expected (destroy*, Connect payloads).
enum class ObjectChoice : uint8_t { Null, InputPort, OutputPort, SourcePort, SinkPort };
constexpr uint8_t kObjectChoiceCount = 5;

// Code choice: byte % 8 below 5 picks one of these; 5: a raw word follows;
// 6: one of these with one bit flipped (two bytes follow: which code, which
// bit); 7: code 0.
constexpr uint32_t kKnownCodes[] = {0x3000000eu, 0x30010000u, 0x3008000eu, 0x200c000au, 0x2009000eu};

// Built-in texts for the choice operands.
constexpr const char* kPortNames[] = {"I420", "IYUV", "YV12", "YUY2", "UYVY", "BGRA", "YV12 planar",
                                      "i420", "YV1",  "",     "BGRX", "UYVY\x01"};
constexpr const char* kPropertyKeys[] = {"Name",  "Type",         "InputFormat", "OutputFormat",
                                         "Format", "InputFormat ", "name",        ""};
constexpr const char* kIdentifiers[] = {
    "tesselhub.interface.component",  "tesselhub.component.input",   "tesselhub.interface.input",
    "tesselhub.component.output.single", "tesselhub.component.output.multiple", "tesselhub.component.output",
    "tesselhub.interface.output",     "tesselhub.component.transform", "tesselhub.interface.transform",
    "TESSELHUB.INTERFACE.COMPONENT",  "tesselhub.interface.component ", "tesselhub.interface.transfor", ""};

}  // namespace pellix::fuzz
