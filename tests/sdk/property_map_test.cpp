#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sdk/values.h"

namespace {

using Tessel::CStringLess;
using Tessel::PropertyMap;
using Tessel::Variant;

TEST(CStringLessTest, OrdersLikeStrcmpWithUnsignedBytes) {
  const CStringLess less;
  const struct {
    const char* a;
    const char* b;
    bool aFirst;
  } cases[] = {
      {"Name", "Type", true},         {"InputFormat", "Name", true},
      {"Name", "NameX", true},        {"NameX", "Name", false},
      {"Name", "Name", false},        {"z", "\x80", true},
      {"\x80", "z", false},           {"\xff", "\x80", false},
      {"", "a", true},                {"a", "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(less(c.a, c.b), c.aFirst) << '"' << c.a << "\" vs \"" << c.b << '"';
  }
}

TEST(PropertyMapTest, HighBytesSortAfterAscii) {
  PropertyMap map;
  map["\xc3\xa9t\xc3\xa9"];
  map["Type"];
  map["zebra"];
  map["Name"];
  std::vector<std::string> order;
  for (const auto& entry : map) order.emplace_back(entry.first);
  EXPECT_EQ(order, (std::vector<std::string>{"Name", "Type", "zebra", "\xc3\xa9t\xc3\xa9"}));
}

TEST(PropertyMapTest, FindsByTextNotByAddress) {
  static const char key[] = "InputFormat";
  PropertyMap map;
  map[key].setInt32(7);
  char elsewhere[sizeof key];
  std::memcpy(elsewhere, key, sizeof key);
  const auto found = map.find(elsewhere);
  ASSERT_NE(found, map.end());
  EXPECT_EQ(found->first, key);  // the stored pointer, not the caller's
  EXPECT_EQ(found->second.payload.int32, 7);
  EXPECT_EQ(map.find("InputFormat "), map.end());
  EXPECT_EQ(map.size(), 1u);
}

TEST(PropertyMapTest, FreshEntryIsAllZero) {
  PropertyMap map;
  const Variant& v = map["Key"];
  EXPECT_EQ(v.type, Tessel::VariantType::Empty);
  EXPECT_EQ(v.payload.int64, 0);
}

TEST(VariantTest, CopyIsBitwiseAndSharesPointers) {
  int object = 0;
  Variant a;
  a.setPointer(Tessel::VariantType::ObjectPtr, &object);
  const Variant b = a;
  EXPECT_EQ(b.type, Tessel::VariantType::ObjectPtr);
  EXPECT_EQ(b.as<int>(), &object);
}

}  // namespace
