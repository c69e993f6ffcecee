// Port creation by kind and format name, port destruction, and the format
// properties read back as text or as FourCC.
#include <gtest/gtest.h>

#include <string>

#include "tests/component/plugin_fixture.h"

namespace {

using Tessel::Variant;
using Tessel::VariantType;

using NegotiationTest = PluginTest;

struct NameCase {
  const char* name;
  bool accepted;
  uint32_t fourCC;
};

const NameCase kNames[] = {
    {"IYUV", true, 0x56555949},
    {"I420", true, 0x30323449},
    {"YV12", true, 0x32315659},
    {"UYVY", true, 0x59565955},
    {"YUY2", true, 0x32595559},
    {"BGRA", true, 0x41524742},
    {"YV12 with further words", true, 0x32315659},
    {"BGRAX", true, 0x41524742},
    {"i420", false, 0},
    {"Yv12", false, 0},
    {"YV1", false, 0},
    {"I", false, 0},
    {"", false, 0},
    {"RGB24", false, 0},
    {" I420", false, 0},
    {"NV12", false, 0},
};

TEST_F(NegotiationTest, InputNamesAreAcceptedByTheirFirstFourCharacters) {
  for (const NameCase& c : kNames) {
    Tessel::PortInterface* port = createInput(c.name);
    EXPECT_EQ(port != nullptr, c.accepted) << '"' << c.name << '"';
    uint32_t code = 0;
    if (c.accepted) {
      EXPECT_EQ(propertyText("InputFormat"), c.name);
      ASSERT_TRUE(fourCC("InputFormat", &code)) << c.name;
      EXPECT_EQ(code, c.fourCC) << c.name;
      EXPECT_TRUE(transform->destroyInputPort(port));
    } else {
      EXPECT_FALSE(fourCC("InputFormat", &code)) << c.name;
    }
  }
}

TEST_F(NegotiationTest, OutputNamesAreAcceptedByTheirFirstFourCharacters) {
  for (const NameCase& c : kNames) {
    Tessel::PortInterface* port = createOutput(c.name);
    EXPECT_EQ(port != nullptr, c.accepted) << '"' << c.name << '"';
    if (c.accepted) {
      EXPECT_EQ(propertyText("OutputFormat"), c.name);
      uint32_t code = 0;
      ASSERT_TRUE(fourCC("OutputFormat", &code)) << c.name;
      EXPECT_EQ(code, c.fourCC) << c.name;
      EXPECT_TRUE(transform->destroyOutputPort(port));
    }
  }
}

TEST_F(NegotiationTest, FourCCUpperCasesTheHostText) {
  // Creation compares case-sensitively, but the FourCC is formed from the
  // host's text as it is when asked: a host that later lowers its text still
  // gets upper-case codes.
  char name[] = "YUY2";
  ASSERT_NE(createInput(name), nullptr);
  name[0] = 'y';
  name[2] = 'y';
  uint32_t code = 0;
  ASSERT_TRUE(fourCC("InputFormat", &code));
  EXPECT_EQ(code, 0x32595559u);
}

TEST_F(NegotiationTest, FourCCOfAShortenedHostTextReadsNothingBeyondItsEnd) {
  char name[] = "BGRA";
  ASSERT_NE(createOutput(name), nullptr);
  name[2] = '\0';
  uint32_t code = 0;
  ASSERT_TRUE(fourCC("OutputFormat", &code));
  EXPECT_EQ(code, 0x00004742u);
}

TEST_F(NegotiationTest, RefusedCreationChangesNothing) {
  ASSERT_NE(createOutput("YUY2"), nullptr);
  EXPECT_EQ(createOutput("I420"), nullptr);
  const struct {
    const char* name;
    int32_t kind;
  } refusals[] = {{"BGRA", 1}, {"BGRA", 0}, {"BGRA", 3}, {"BGRA", -2}, {"bgra", 2}, {nullptr, 2}};
  for (const auto& r : refusals) {
    EXPECT_EQ(createInput(r.name, r.kind), nullptr);
    EXPECT_EQ(propertyText("InputFormat"), "");
    uint32_t code = 0;
    EXPECT_FALSE(fourCC("InputFormat", &code));
  }
  // After a successful creation, a refused one keeps the previous string.
  Tessel::PortInterface* port = createInput("IYUV");
  ASSERT_NE(port, nullptr);
  ASSERT_TRUE(transform->destroyInputPort(port));
  EXPECT_EQ(createInput("BGRA", 1), nullptr);
  EXPECT_EQ(propertyText("InputFormat"), "IYUV");
}

TEST_F(NegotiationTest, SecondCreationWhileAliveIsRefused) {
  Tessel::PortInterface* input = createInput("I420");
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(createInput("BGRA"), nullptr);
  EXPECT_EQ(propertyText("InputFormat"), "I420");
  Tessel::PortInterface* output = createOutput("BGRA");
  ASSERT_NE(output, nullptr);
  EXPECT_EQ(createOutput("YV12"), nullptr);
  EXPECT_EQ(propertyText("OutputFormat"), "BGRA");
  EXPECT_NE(input, output);
}

TEST_F(NegotiationTest, DestructionNeedsTheSidesLivePort) {
  Tessel::PortInterface* input = createInput("I420");
  Tessel::PortInterface* output = createOutput("BGRA");
  ASSERT_NE(input, nullptr);
  ASSERT_NE(output, nullptr);
  EXPECT_FALSE(transform->destroyOutputPort(input));
  EXPECT_FALSE(transform->destroyInputPort(output));
  EXPECT_FALSE(transform->destroyInputPort(nullptr));
  EXPECT_FALSE(transform->destroyOutputPort(nullptr));
  // Both ports still answer.
  EXPECT_TRUE(input->query(0, nullptr));
  EXPECT_TRUE(output->query(0, nullptr));
  EXPECT_TRUE(transform->destroyInputPort(input));
  EXPECT_FALSE(transform->destroyInputPort(input));
  EXPECT_TRUE(transform->destroyOutputPort(output));
  EXPECT_FALSE(transform->destroyOutputPort(output));
}

TEST_F(NegotiationTest, DestructionKeepsTheStringButDropsTheFourCC) {
  Tessel::PortInterface* port = createInput("YV12 planar");
  ASSERT_NE(port, nullptr);
  ASSERT_TRUE(transform->destroyInputPort(port));
  EXPECT_EQ(propertyText("InputFormat"), "YV12 planar");
  uint32_t code = 0;
  EXPECT_FALSE(fourCC("InputFormat", &code));
  // The plain lookup still reports the stored string.
  Variant value;
  ASSERT_TRUE(component->getProperty("InputFormat", &value));
  EXPECT_EQ(value.type, VariantType::StringPtr);
}

TEST_F(NegotiationTest, FourCCLookupWithoutAPortLeavesTheVariantAlone) {
  for (const char* key : {"InputFormat", "OutputFormat"}) {
    Variant value;
    value.type = VariantType::Int32;
    value.payload.int64 = 0x1122334455667788LL;
    EXPECT_FALSE(component->getProperty(key, &value)) << key;
    EXPECT_EQ(value.type, VariantType::Int32);
    EXPECT_EQ(value.payload.int64, 0x1122334455667788LL);
  }
}

TEST_F(NegotiationTest, RecreationReplacesTheFormat) {
  Tessel::PortInterface* port = createOutput("UYVY");
  ASSERT_NE(port, nullptr);
  ASSERT_TRUE(transform->destroyOutputPort(port));
  EXPECT_EQ(propertyText("OutputFormat"), "UYVY");
  port = createOutput("BGRA");
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(propertyText("OutputFormat"), "BGRA");
  uint32_t code = 0;
  ASSERT_TRUE(fourCC("OutputFormat", &code));
  EXPECT_EQ(code, 0x41524742u);
}

TEST_F(NegotiationTest, PropertyCopiesTheWholeNameText) {
  char name[] = "YUY2 packed 4:2:2";
  ASSERT_NE(createInput(name), nullptr);
  name[5] = 'X';
  EXPECT_EQ(propertyText("InputFormat"), "YUY2 packed 4:2:2");
}

}  // namespace
