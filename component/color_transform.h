// The plug-in object: at once the reference-counted Plugin the host holds,
// the component with its published properties, and the transform that
// creates the two ports. All connection state lives here; the ports
// (ports.h) only forward to their owner.
#pragma once

#include <cstdint>
#include <vector>

#include <boost/thread/recursive_mutex.hpp>

#include "colorconv/converters.h"
#include "formats/pixel_format.h"
#include "sdk/interfaces.h"

class PellixColorTransform final : public Tessel::Plugin, public Tessel::TransformComponent {
 public:
  class Input;   // frames enter here; made by createInputPort
  class Output;  // converted frames leave here; made by createOutputPort

  explicit PellixColorTransform(Tessel::PluginHost* host);
  ~PellixColorTransform() override;
  PellixColorTransform(const PellixColorTransform&) = delete;
  PellixColorTransform& operator=(const PellixColorTransform&) = delete;

  int32_t queryInterface(const Tessel::String<char>& id, void** out) override;

  bool getPropertyNames(std::vector<const char*>* names) override;
  bool getProperty(const char* key, Tessel::Variant* value) override;

  Tessel::PortInterface* createOutputPort(int32_t kind, const char* format, int32_t extra) override;
  bool destroyOutputPort(Tessel::PortInterface* port) override;
  Tessel::PortInterface* createInputPort(int32_t kind, const char* format, int32_t extra) override;
  bool destroyInputPort(Tessel::PortInterface* port) override;

 private:
  void replaceFormatString(const char* key, Tessel::String<char>* text) noexcept;
  void releasePropertyStrings() noexcept;
  // ImageFormat on either port; the output port stores the size unsigned.
  bool announceImageFormat(Tessel::Variant* value, bool absoluteSize);

  Input* inputPort = nullptr;
  const char* inputFormatName = nullptr;  // the host's text, not copied
  Output* outputPort = nullptr;
  const char* outputFormatName = nullptr;
  Tessel::FrameAllocator* frameAllocator = nullptr;
  int32_t inputBitsPerPixel = 0;
  int32_t outputBitsPerPixel = 0;
  Tessel::PortInterface* upstreamPort = nullptr;
  Tessel::PortInterface* downstreamPort = nullptr;
  // 1 is progressive: frames convert with the interlace flag clear unless a
  // host ever announces field-wise video.
  int32_t scanType = 1;
  Tessel::ImageProperties imageProperties;
  pellix::PixelFormat inputFormat = pellix::PixelFormat::None;
  pellix::PixelFormat outputFormat = pellix::PixelFormat::None;
  pellix::FrameConverter converter = nullptr;
  Tessel::PropertyMap properties;
  boost::recursive_mutex mutex;
};
