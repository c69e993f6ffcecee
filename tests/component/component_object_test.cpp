// The plug-in object through its faces: factory, reference counting with the
// host's notifications, interface lookup and the published properties.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/component/plugin_fixture.h"

namespace {

using Tessel::String;
using Tessel::Variant;
using Tessel::VariantType;

using ComponentObjectTest = PluginTest;

TEST_F(ComponentObjectTest, EachFactoryCallMakesAnIndependentObject) {
  Tessel::Plugin* second = nullptr;
  ASSERT_EQ(LoadedPlugin().getPlugin()(&host, &second), 0);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, plugin);
  EXPECT_EQ(plugin->refCount(), 1);
  EXPECT_EQ(second->refCount(), 1);
  EXPECT_EQ(second->addRef(), 2);
  EXPECT_EQ(plugin->refCount(), 1);
  // A port made on one object is unknown to the other.
  auto* otherTransform = static_cast<Tessel::TransformInterface*>(QueryFace(second, "tesselhub.interface.transform"));
  Tessel::PortInterface* port = otherTransform->createInputPort(2, "BGRA", 0);
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(propertyText("InputFormat"), "");
  EXPECT_FALSE(transform->destroyInputPort(port));
  EXPECT_TRUE(otherTransform->destroyInputPort(port));
  EXPECT_EQ(second->releaseRef(), 1);
  EXPECT_EQ(second->releaseRef(), 0);
}

TEST_F(ComponentObjectTest, FactoryWithoutResultPointerMakesNothing) {
  EXPECT_EQ(LoadedPlugin().getPlugin()(&host, nullptr), 0);
  EXPECT_TRUE(host.events().empty());
}

TEST_F(ComponentObjectTest, ObjectMadeWithoutHostReleasesQuietly) {
  Tessel::Plugin* orphan = nullptr;
  ASSERT_EQ(LoadedPlugin().getPlugin()(nullptr, &orphan), 0);
  ASSERT_NE(orphan, nullptr);
  EXPECT_EQ(orphan->getHost(), nullptr);
  EXPECT_EQ(orphan->releaseRef(), 0);
}

TEST_F(ComponentObjectTest, HostAndUserWord) {
  EXPECT_EQ(plugin->userWord(), 0);
  EXPECT_EQ(plugin->getHost(), &host);
}

TEST_F(ComponentObjectTest, FinalReleaseNotifiesHostBeforeAndAfterDeletion) {
  EXPECT_EQ(plugin->addRef(), 2);
  EXPECT_EQ(plugin->releaseRef(), 1);
  EXPECT_TRUE(host.events().empty());
  EXPECT_EQ(plugin->refCount(), 1);
  Tessel::Plugin* const identity = plugin;
  EXPECT_EQ(plugin->releaseRef(), 0);
  plugin = nullptr;
  using Kind = pellix::RecordingPluginHost::EventKind;
  const auto events = host.events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, Kind::Releasing);
  EXPECT_EQ(events[0].plugin, identity);
  EXPECT_EQ(events[0].countSeen, 0);  // still alive, count already 0
  EXPECT_EQ(events[1].kind, Kind::Released);
  EXPECT_EQ(events[1].plugin, identity);
}

TEST_F(ComponentObjectTest, QueryInterfaceAnswersThreeIdentifiers) {
  const struct {
    const char* id;
    int32_t result;
  } cases[] = {
      {"tesselhub.interface.component", 0},
      {"tesselhub.interface.transform", 0},
      {"tesselhub.component.transform", 0},
      {"tesselhub.interface.input", 3},
      {"tesselhub.interface.output", 3},
      {"tesselhub.component.input", 3},
      {"tesselhub.component.output", 3},
      {"tesselhub.component.output.single", 3},
      {"tesselhub.component.output.multiple", 3},
      {"TESSELHUB.INTERFACE.COMPONENT", 3},
      {"tesselhub.interface.component ", 3},
      {"tesselhub.interface.componen", 3},
      {"", 3},
  };
  for (const auto& c : cases) {
    int32_t result = -1;
    void* face = QueryFace(plugin, c.id, &result);
    EXPECT_EQ(result, c.result) << c.id;
    EXPECT_EQ(face == nullptr, c.result != 0) << c.id;
    EXPECT_EQ(plugin->refCount(), 1) << c.id;
  }
  int32_t result = -1;
  void* face = reinterpret_cast<void*>(1);
  result = plugin->queryInterface(String<char>(), &face);
  EXPECT_EQ(result, 3);
  EXPECT_EQ(face, nullptr);
  // Nowhere to put the face: nothing is handed out.
  EXPECT_EQ(plugin->queryInterface(String<char>("tesselhub.interface.component"), nullptr), 3);
}

TEST_F(ComponentObjectTest, FacesReachTheSameObject) {
  Tessel::ComponentInterface* viaComponentTransform =
      static_cast<Tessel::TransformComponent*>(QueryFace(plugin, "tesselhub.component.transform"));
  EXPECT_EQ(viaComponentTransform, component);
  Tessel::InputInterface* inputFace = transform;
  EXPECT_EQ(static_cast<void*>(inputFace), static_cast<void*>(transform));
  Tessel::OutputInterface* outputFace = transform;
  ASSERT_NE(outputFace->createInputPort(2, "I420", 0), nullptr);
  EXPECT_EQ(propertyText("InputFormat"), "I420");
  ASSERT_NE(inputFace->createOutputPort(2, "BGRA", 0), nullptr);
  EXPECT_EQ(propertyText("OutputFormat"), "BGRA");
}

TEST_F(ComponentObjectTest, InheritedComponentOperationsKeepTheirAnswers) {
  EXPECT_TRUE(component->hostOperation1(0));
  EXPECT_TRUE(component->hostOperation2());
  EXPECT_TRUE(component->hostOperation3(0, 0));
  EXPECT_TRUE(component->hostOperation4(0, 0));
  EXPECT_TRUE(component->hostOperation5(0, 0));
  EXPECT_TRUE(component->hostOperation6(0, 0));
  EXPECT_FALSE(component->hostOperation7(0, 0, 0, 0, 0));
}

TEST_F(ComponentObjectTest, PropertyNamesAppendInKeyOrder) {
  const char* const existing = "already here";
  std::vector<const char*> names{existing};
  ASSERT_TRUE(component->getPropertyNames(&names));
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names[0], existing);
  const char* expected[] = {"InputFormat", "Name", "OutputFormat", "Type"};
  for (size_t i = 0; i < 4; ++i) EXPECT_STREQ(names[i + 1], expected[i]);
  // The texts are the component's own and stay put.
  std::vector<const char*> again;
  component->getPropertyNames(&again);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(again[i], names[i + 1]);
  EXPECT_FALSE(component->getPropertyNames(nullptr));
}

TEST_F(ComponentObjectTest, PublishedPropertiesHaveTheirTextsAndTypes) {
  Variant name;
  ASSERT_TRUE(component->getProperty("Name", &name));
  ASSERT_EQ(name.type, VariantType::WideStringPtr);
  const auto* wide = name.as<const String<unsigned short>>();
  const std::string display = "Pellix Color Space Transform Filter";
  ASSERT_EQ(wide->length, static_cast<int32_t>(display.size()));
  for (size_t i = 0; i < display.size(); ++i) EXPECT_EQ(wide->data[i], static_cast<unsigned short>(display[i]));
  EXPECT_EQ(wide->data[display.size()], 0);

  Variant type;
  ASSERT_TRUE(component->getProperty("Type", &type));
  EXPECT_EQ(type.type, VariantType::StringPtr);
  EXPECT_EQ(type.as<const String<char>>()->toStdString(), "Video|Transform|ColorSpace");

  for (const char* key : {"InputFormat", "OutputFormat"}) {
    Variant format;
    ASSERT_TRUE(component->getProperty(key, &format)) << key;
    EXPECT_EQ(format.type, VariantType::StringPtr);
    const auto* text = format.as<const String<char>>();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->data, nullptr) << key;
    EXPECT_EQ(text->length, 0) << key;
  }
}

TEST_F(ComponentObjectTest, PropertyLookupIsByTextAndInsertsNothing) {
  char key[] = "Type";
  Variant value;
  ASSERT_TRUE(component->getProperty(key, &value));
  EXPECT_EQ(value.as<const String<char>>()->toStdString(), "Video|Transform|ColorSpace");
  std::strcpy(key, "Typ");  // the caller's pointer was not kept as a key
  std::vector<const char*> names;
  component->getPropertyNames(&names);
  EXPECT_STREQ(names[3], "Type");

  for (const char* absent : {"Format", "name", "Type ", "", "InputFormatX"}) {
    Variant untouched;
    untouched.type = static_cast<VariantType>(99);
    untouched.payload.int64 = 0x0123456789abcdefLL;
    EXPECT_FALSE(component->getProperty(absent, &untouched)) << absent;
    EXPECT_EQ(static_cast<int>(untouched.type), 99);
    EXPECT_EQ(untouched.payload.int64, 0x0123456789abcdefLL);
  }
  names.clear();
  component->getPropertyNames(&names);
  EXPECT_EQ(names.size(), 4u);
  EXPECT_FALSE(component->getProperty(nullptr, &value));
  EXPECT_FALSE(component->getProperty("Name", nullptr));
}

TEST_F(ComponentObjectTest, FourCCPresetOnOtherKeysGetsTheStoredValue) {
  Variant value;
  value.type = VariantType::Int32;
  ASSERT_TRUE(component->getProperty("Name", &value));
  EXPECT_EQ(value.type, VariantType::WideStringPtr);
  value.type = VariantType::Int32;
  ASSERT_TRUE(component->getProperty("Type", &value));
  EXPECT_EQ(value.type, VariantType::StringPtr);
}

// A host may delete the object through any face; the whole object goes and
// nothing leaks (checked by the leak sanitizer build).
TEST(ComponentDeletionTest, DeletingThroughAnyFaceDestroysTheWholeObject) {
  pellix::RecordingPluginHost host;
  for (int face = 0; face < 4; ++face) {
    Tessel::Plugin* plugin = nullptr;
    LoadedPlugin().getPlugin()(&host, &plugin);
    ASSERT_NE(plugin, nullptr);
    auto* transform = static_cast<Tessel::TransformInterface*>(QueryFace(plugin, "tesselhub.interface.transform"));
    ASSERT_NE(transform->createInputPort(2, "YUY2", 0), nullptr);
    switch (face) {
      case 0: delete plugin; break;
      case 1: delete static_cast<Tessel::ComponentInterface*>(QueryFace(plugin, "tesselhub.interface.component")); break;
      case 2: delete static_cast<Tessel::InputInterface*>(transform); break;
      default: delete static_cast<Tessel::OutputInterface*>(transform); break;
    }
  }
  EXPECT_TRUE(host.events().empty());
}

}  // namespace
