// Abstract classes through which host and plug-in talk. Virtual slot order is
// part of the binary interface: do not reorder, insert or remove operations.
#pragma once

#include <cstdint>
#include <vector>

#include "host.h"
#include "values.h"
#include "vtable_entries.h"

namespace Tessel {

class PortInterface;

// Reference-counted plug-in object handed to the host by _getPlugin.
// The count is plain: the host keeps reference operations on one object apart.
class Plugin {
 public:
  explicit Plugin(PluginHost* host) : count_(1), host_(host), userWord_(0) {}
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  virtual ~Plugin() = default;                         // slot 0
  virtual int32_t addRef() { return ++count_; }        // slot 1
  virtual int32_t releaseRef();                        // slot 2
  virtual int32_t refCount() { return count_; }        // slot 3
  virtual int32_t userWord() { return userWord_; }     // slot 4
  virtual PluginHost* getHost() { return host_; }      // slot 5
  // 0 with *out set, or 3 with *out null for an identifier not answered.
  virtual int32_t queryInterface(const String<char>& id, void** out) = 0;  // slot 6

 private:
  int32_t count_;
  PluginHost* host_;
  int32_t userWord_;
};

// Description and properties of a processing component. Slots 1 to 7 are host
// operations this plug-in never overrides; their SDK bodies answer as below.
class ComponentInterface {
 public:
  virtual ~ComponentInterface() = default;                                   // slot 0
  virtual bool hostOperation1(intptr_t) { return true; }                     // slot 1
  virtual bool hostOperation2() { return true; }                             // slot 2
  virtual bool hostOperation3(intptr_t, intptr_t) { return true; }           // slot 3
  virtual bool hostOperation4(intptr_t, intptr_t) { return true; }           // slot 4
  virtual bool hostOperation5(intptr_t, intptr_t) { return true; }           // slot 5
  virtual bool hostOperation6(intptr_t, intptr_t) { return true; }           // slot 6
  virtual bool hostOperation7(intptr_t, intptr_t, intptr_t, intptr_t, intptr_t) {
    return false;
  }                                                                          // slot 7
  virtual bool getPropertyNames(std::vector<const char*>* names) = 0;        // slot 8
  virtual bool getProperty(const char* key, Variant* value) = 0;             // slot 9
};

// Manages the port through which the component delivers frames.
class InputInterface {
 public:
  virtual ~InputInterface() = default;
  virtual PortInterface* createOutputPort(int32_t kind, const char* format, int32_t extra) = 0;
  virtual bool destroyOutputPort(PortInterface* port) = 0;
};

// Manages the port through which the component receives frames.
class OutputInterface {
 public:
  virtual ~OutputInterface() = default;
  virtual PortInterface* createInputPort(int32_t kind, const char* format, int32_t extra) = 0;
  virtual bool destroyInputPort(PortInterface* port) = 0;
};

class TransformInterface : public InputInterface, public OutputInterface {};

class TransformComponent : public virtual ComponentInterface, public virtual TransformInterface {};

// A port: every operation takes a message code and a Variant and answers bool.
class PortInterface {
 public:
  virtual ~PortInterface() = default;
  virtual bool query(uint32_t code, Variant* value) = 0;      // slot 1
  virtual bool notify(uint32_t code, Variant* value) = 0;     // slot 2
  virtual bool request(uint32_t code, Variant* value) = 0;    // slot 3
  virtual bool configure(uint32_t code, Variant* value) = 0;  // slot 4
};

// Port message codes.
namespace PortMessage {
constexpr uint32_t Connect = 0x3000000eu;            // notify; payload: peer PortInterface*
constexpr uint32_t Disconnect = 0x30010000u;         // notify; payload unused
constexpr uint32_t SetFrameAllocator = 0x3008000eu;  // notify; FrameAllocator*, type ObjectPtr
constexpr uint32_t PullFrame = 0x200c000au;          // request; answer: Frame*, type ObjectPtr
constexpr uint32_t ImageFormat = 0x2009000eu;        // configure; payload: ImageProperties*
}  // namespace PortMessage

// The host is told before and after the object deletes itself; after that the
// pointer serves only as an identity.
inline int32_t Plugin::releaseRef() {
  PluginHost* host = host_;
  const int32_t remaining = --count_;
  if (remaining != 0) return remaining;
  // A plug-in made without a host (a tool probing the library) has nobody to tell.
  if (host != nullptr) host->onPluginReleasing(this);
  delete this;
  if (host != nullptr) host->onPluginReleased(this);
  return 0;
}

}  // namespace Tessel
