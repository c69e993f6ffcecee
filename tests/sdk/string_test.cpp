#include <gtest/gtest.h>

#include <cstring>

#include "sdk/values.h"
#include "tests/sdk/counting_allocator.h"

using Tessel::String;

namespace {

// A record whose buffer holds "ab", a 0 byte, then "cd", with length 5.
String<char> EmbeddedZero(Tessel::StandardAllocator<char>* alloc) {
  String<char> s(nullptr, alloc);
  s.data = alloc->allocate(6);
  std::memcpy(s.data, "ab\0cd", 6);
  s.length = 5;
  return s;
}

TEST(StringTest, NullTextGivesNullStringWithoutAllocating) {
  CountingAllocator<char> alloc;
  {
    String<char> s(nullptr, &alloc);
    EXPECT_EQ(s.data, nullptr);
    EXPECT_EQ(s.length, 0);
    EXPECT_EQ(s.allocator, &alloc);
  }
  EXPECT_EQ(alloc.allocations, 0);
  EXPECT_EQ(alloc.deallocations, 0);
}

TEST(StringTest, EmptyTextHoldsOneZeroElement) {
  CountingAllocator<char> alloc;
  {
    String<char> s("", &alloc);
    ASSERT_NE(s.data, nullptr);
    EXPECT_EQ(s.length, 0);
    EXPECT_EQ(s.data[0], '\0');
    EXPECT_EQ(alloc.allocations, 1);
    EXPECT_EQ(alloc.lastCount, 1);
  }
  EXPECT_EQ(alloc.deallocations, 1);
}

TEST(StringTest, NullAndEmptyCompareEqualEverywhere) {
  const String<char> null;
  const String<char> empty("");
  EXPECT_TRUE(null == empty);
  EXPECT_TRUE(empty == null);
  for (const String<char>* s : {&null, &empty}) {
    EXPECT_TRUE(*s == static_cast<const char*>(nullptr));
    EXPECT_TRUE(*s == "");
    EXPECT_FALSE(*s == "a");
  }
  EXPECT_FALSE(String<char>("a") == null);
}

TEST(StringTest, EqualityStopsAtFirstZeroByte) {
  CountingAllocator<char> alloc;
  String<char> s = EmbeddedZero(&alloc);
  EXPECT_TRUE(s == "ab");
  EXPECT_FALSE(s == "abcd");
  EXPECT_FALSE(s == "a");
  EXPECT_TRUE(s == String<char>("ab"));
  EXPECT_EQ(s.toStdString(), "ab");
}

TEST(StringTest, ComparisonIsCaseSensitiveAndWholeText) {
  const String<char> id("tesselhub.interface.component");
  EXPECT_TRUE(id == "tesselhub.interface.component");
  EXPECT_FALSE(id == "TESSELHUB.INTERFACE.COMPONENT");
  EXPECT_FALSE(id == "tesselhub.interface.component ");
  EXPECT_FALSE(id == "tesselhub.interface.componen");
}

TEST(StringTest, CopyUsesTheGivenAllocatorAndTheSourceLength) {
  CountingAllocator<char> sourceAlloc;
  CountingAllocator<char> copyAlloc;
  String<char> source = EmbeddedZero(&sourceAlloc);
  {
    String<char> copy(source, &copyAlloc);
    EXPECT_EQ(copy.allocator, &copyAlloc);
    EXPECT_EQ(copy.length, 5);
    EXPECT_EQ(copyAlloc.lastCount, 6);
    EXPECT_NE(copy.data, source.data);
    EXPECT_EQ(std::memcmp(copy.data, "ab\0cd", 6), 0);
  }
  EXPECT_EQ(sourceAlloc.allocations, 1);  // only the one EmbeddedZero made
  EXPECT_EQ(sourceAlloc.deallocations, 0);
  EXPECT_EQ(copyAlloc.allocations, 1);
  EXPECT_EQ(copyAlloc.deallocations, 1);
}

TEST(StringTest, CopyOfNullAllocatesNothingAndKeepsTheGivenAllocator) {
  CountingAllocator<char> alloc;
  const String<char> null;
  String<char> copy(null, &alloc);
  EXPECT_EQ(copy.data, nullptr);
  EXPECT_EQ(copy.length, 0);
  EXPECT_EQ(copy.allocator, &alloc);
  EXPECT_EQ(alloc.allocations, 0);
}

TEST(StringTest, ClearReleasesThroughOwnAllocatorAndKeepsIt) {
  CountingAllocator<char> alloc;
  String<char> s("abc", &alloc);
  s.clear();
  EXPECT_EQ(s.data, nullptr);
  EXPECT_EQ(s.length, 0);
  EXPECT_EQ(s.allocator, &alloc);
  EXPECT_EQ(alloc.deallocations, 1);
  s.clear();  // a null string asks the allocator for nothing
  EXPECT_EQ(alloc.allocations, 1);
  EXPECT_EQ(alloc.deallocations, 1);
  EXPECT_EQ(s.length, 0);
}

TEST(StringTest, AssignmentKeepsTheTargetAllocator) {
  CountingAllocator<char> target;
  CountingAllocator<char> source;
  String<char> a("old", &target);
  const String<char> b("new text", &source);
  a = b;
  EXPECT_EQ(a.allocator, &target);
  EXPECT_TRUE(a == "new text");
  EXPECT_EQ(target.allocations, 2);
  EXPECT_EQ(target.deallocations, 1);
}

TEST(StringTest, WideStringCountsUnitsAndTerminates) {
  const unsigned short text[] = {0x50, 0x00e9, 0xffff, 0x41, 0};
  CountingAllocator<unsigned short> alloc;
  String<unsigned short> s(text, &alloc);
  EXPECT_EQ(s.length, 4);
  EXPECT_EQ(alloc.lastCount, 5);
  EXPECT_EQ(std::memcmp(s.data, text, sizeof text), 0);
  EXPECT_EQ(s.data[4], 0);
}

TEST(StringTest, DefaultStringUsesTheSharedAllocator) {
  const String<char> narrow;
  const String<unsigned short> wide;
  EXPECT_EQ(narrow.allocator, Tessel::defaultAllocator<char>());
  EXPECT_EQ(wide.allocator, Tessel::defaultAllocator<unsigned short>());
  EXPECT_EQ(Tessel::defaultAllocator<char>(), Tessel::defaultAllocator<char>());
}

TEST(StringTest, IdentifierConstantsHoldTheirTexts) {
  const struct {
    const String<char>* id;
    const char* text;
  } cases[] = {
      {&Tessel::InterfaceComponentId, "tesselhub.interface.component"},
      {&Tessel::ComponentInputId, "tesselhub.component.input"},
      {&Tessel::InterfaceInputId, "tesselhub.interface.input"},
      {&Tessel::ComponentOutputSingleId, "tesselhub.component.output.single"},
      {&Tessel::ComponentOutputMultipleId, "tesselhub.component.output.multiple"},
      {&Tessel::ComponentOutputId, "tesselhub.component.output"},
      {&Tessel::InterfaceOutputId, "tesselhub.interface.output"},
      {&Tessel::ComponentTransformId, "tesselhub.component.transform"},
      {&Tessel::InterfaceTransformId, "tesselhub.interface.transform"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.id->toStdString(), c.text);
    EXPECT_EQ(c.id->length, static_cast<int32_t>(std::strlen(c.text)));
    EXPECT_EQ(c.id->allocator, Tessel::defaultAllocator<char>());
  }
}

}  // namespace
