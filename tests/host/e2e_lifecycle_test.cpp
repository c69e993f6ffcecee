// The plug-in object, its interfaces, properties and port creation, driven
// through the reference host.
#include "tests/host/e2e_fixture.h"

#include "host/host_error.h"
#include "host/plugin_info.h"

namespace pellix {
namespace e2e {
namespace {

using LifecycleTest = PluginTest;

TEST_F(LifecycleTest, FinalReleaseNotifiesTheHostBeforeAndAfter) {
  RecordingPluginHost host;
  LoadedComponent first(*Library(), host);
  LoadedComponent second(*Library(), host);
  EXPECT_NE(first.plugin(), second.plugin());
  Tessel::Plugin* plugin = first.plugin();
  EXPECT_EQ(plugin->refCount(), 1);
  EXPECT_EQ(plugin->getHost(), &host);
  EXPECT_EQ(plugin->userWord(), 0);
  EXPECT_EQ(plugin->addRef(), 2);
  EXPECT_EQ(plugin->releaseRef(), 1);
  EXPECT_TRUE(host.events().empty());
  EXPECT_EQ(first.shutDown(), 0);
  EXPECT_TRUE(host.releasedCleanly(plugin));
  EXPECT_EQ(second.plugin()->refCount(), 1) << "the other object is independent";
}

TEST_F(LifecycleTest, AnswersExactlyThreeOfTheNineIdentifiers) {
  const PluginInfo info = ReadPluginInfo(*Library());
  ASSERT_EQ(info.identifiers.size(), 9u);
  for (const IdentifierAnswer& answer : info.identifiers) {
    const bool served = answer.identifier == "tesselhub.interface.component" ||
                        answer.identifier == "tesselhub.interface.transform" ||
                        answer.identifier == "tesselhub.component.transform";
    EXPECT_EQ(answer.result, served ? 0 : 3) << answer.identifier;
    EXPECT_EQ(answer.pointerSet, served) << answer.identifier;
  }
}

TEST_F(LifecycleTest, NearMissIdentifiersAreRefusedWithoutTouchingTheCount) {
  RecordingPluginHost host;
  LoadedComponent component(*Library(), host);
  for (const char* id : {"TESSELHUB.INTERFACE.COMPONENT", "tesselhub.interface.component ", "", "tesselhub"}) {
    void* face = &host;
    EXPECT_EQ(component.queryInterface(id, &face), 3) << id;
    EXPECT_EQ(face, nullptr) << id;
  }
  EXPECT_EQ(component.plugin()->refCount(), 1);
}

TEST_F(LifecycleTest, PropertiesReadBack) {
  const PluginInfo info = ReadPluginInfo(*Library(), "IYUV", "YV12 and more");
  const ComponentProperties& p = info.properties;
  EXPECT_EQ(p.names, (std::vector<std::string>{"InputFormat", "Name", "OutputFormat", "Type"}));
  EXPECT_EQ(p.name, "Pellix Color Space Transform Filter");
  EXPECT_EQ(p.type, "Video|Transform|ColorSpace");
  EXPECT_EQ(p.inputFormat, "IYUV");
  EXPECT_EQ(p.outputFormat, "YV12 and more");
  EXPECT_EQ(p.inputFourCC, 0x56555949u);
  EXPECT_EQ(p.outputFourCC, 0x32315659u);
  EXPECT_EQ(info.path, Library()->path());
}

TEST_F(LifecycleTest, PortCreationRefusals) {
  RecordingPluginHost host;
  LoadedComponent component(*Library(), host);
  EXPECT_EQ(component.createInputPort("BGRA", 1), nullptr);
  EXPECT_EQ(component.createInputPort("i420"), nullptr);
  EXPECT_EQ(component.createInputPort("YV1"), nullptr);
  Tessel::PortInterface* input = component.createInputPort("UYVY");
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(component.createInputPort("YUY2"), nullptr) << "one input port at a time";
  EXPECT_FALSE(component.destroyPort(PortSide::Output, input));
  EXPECT_FALSE(component.destroyPort(PortSide::Input, nullptr));
  EXPECT_EQ(component.readProperties().inputFormat, "UYVY");
  EXPECT_TRUE(component.destroyInputPort());
  EXPECT_NE(component.createInputPort("YUY2"), nullptr);
}

struct SessionFailure {
  const char* input;
  const char* output;
  const char* message;
};

class SessionFailures : public PluginTest, public ::testing::WithParamInterface<SessionFailure> {};

TEST_P(SessionFailures, NameTheRefusedStep) {
  const SessionFailure& c = GetParam();
  try {
    ConversionSession session(Library(), Options(c.input, c.output, 16, 8), ledger);
    FAIL() << "session was built";
  } catch (const HostError& error) {
    EXPECT_STREQ(error.what(), c.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SessionFailures,
    ::testing::Values(SessionFailure{"XYZ", "BGRA", "plug-in refused input port format \"XYZ\""},
                      SessionFailure{"I420", "rgb", "plug-in refused output port format \"rgb\""},
                      SessionFailure{"I420", "I420", "output Connect refused: I420 -> I420"},
                      SessionFailure{"IYUV", "I420", "output Connect refused: IYUV -> I420"}));

TEST_F(LifecycleTest, SessionStopsWithDisconnectDestroyAndFinalRelease) {
  ConversionSession session(Library(), Options("I420", "BGRA", 16, 8), ledger);
  EXPECT_TRUE(session.pull());
  Tessel::Plugin* plugin = session.component().plugin();
  EXPECT_EQ(plugin->refCount(), 1);
  EXPECT_EQ(session.component().shutDown(), 0);
  EXPECT_TRUE(session.host().releasedCleanly(plugin));
}

}  // namespace
}  // namespace e2e
}  // namespace pellix
