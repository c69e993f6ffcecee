// Loads the built plug-in once per test program and hands each test a fresh
// component with its faces, releasing it (and any live port) afterwards.
#pragma once

#include <gtest/gtest.h>

#include "host/plugin_host.h"
#include "host/plugin_library.h"
#include "sdk/interfaces.h"

pellix::PluginLibrary& LoadedPlugin();

// The face queryInterface hands out for id, or null.
void* QueryFace(Tessel::Plugin* plugin, const char* id, int32_t* result = nullptr);

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  Tessel::PortInterface* createInput(const char* name, int32_t kind = 2) {
    return transform->createInputPort(kind, name, 0);
  }
  Tessel::PortInterface* createOutput(const char* name, int32_t kind = 2) {
    return transform->createOutputPort(kind, name, 0);
  }
  // The stored text of a narrow string property, or "<absent>".
  std::string propertyText(const char* key);
  // The answer to a FourCC lookup; false when the lookup answers false.
  bool fourCC(const char* key, uint32_t* code);

  pellix::RecordingPluginHost host;
  Tessel::Plugin* plugin = nullptr;
  Tessel::ComponentInterface* component = nullptr;
  Tessel::TransformInterface* transform = nullptr;
};
