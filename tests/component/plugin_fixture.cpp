#include "tests/component/plugin_fixture.h"

pellix::PluginLibrary& LoadedPlugin() {
  static pellix::PluginLibrary library(pellix::PluginLibrary::defaultPath());
  return library;
}

void* QueryFace(Tessel::Plugin* plugin, const char* id, int32_t* result) {
  void* face = reinterpret_cast<void*>(1);  // must be overwritten either way
  const int32_t answer = plugin->queryInterface(Tessel::String<char>(id), &face);
  if (result != nullptr) *result = answer;
  return face;
}

void PluginTest::SetUp() {
  ASSERT_EQ(LoadedPlugin().getPlugin()(&host, &plugin), 0);
  ASSERT_NE(plugin, nullptr);
  component = static_cast<Tessel::ComponentInterface*>(QueryFace(plugin, "tesselhub.interface.component"));
  transform = static_cast<Tessel::TransformInterface*>(QueryFace(plugin, "tesselhub.interface.transform"));
  ASSERT_NE(component, nullptr);
  ASSERT_NE(transform, nullptr);
}

void PluginTest::TearDown() {
  if (plugin == nullptr) return;
  // Whatever a test left behind, the component goes with its last reference.
  while (plugin->refCount() > 1) plugin->releaseRef();
  plugin->releaseRef();
}

std::string PluginTest::propertyText(const char* key) {
  Tessel::Variant value;
  if (!component->getProperty(key, &value)) return "<absent>";
  if (value.type != Tessel::VariantType::StringPtr) return "<not a narrow string>";
  return value.as<const Tessel::String<char>>()->toStdString();
}

bool PluginTest::fourCC(const char* key, uint32_t* code) {
  Tessel::Variant value;
  value.type = Tessel::VariantType::Int32;
  if (!component->getProperty(key, &value)) return false;
  EXPECT_EQ(value.type, Tessel::VariantType::Int32);
  *code = static_cast<uint32_t>(value.payload.int32);
  return true;
}
