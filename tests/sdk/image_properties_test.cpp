#include <gtest/gtest.h>

#include <cstring>
#include <typeinfo>

#include "sdk/values.h"

namespace {

using Tessel::ImageProperties;
using Tessel::RectFloat;
using Tessel::RectInt;

// The first pointer-sized word of a polymorphic object: its virtual table.
template <class T>
const void* TablePointer(const T& object) {
  const void* table;
  std::memcpy(&table, static_cast<const void*>(&object), sizeof table);
  return table;
}

ImageProperties Sample() {
  ImageProperties p;
  p.width = 640;
  p.height = -480;
  p.extra0 = 2;
  p.extra1 = 3;
  p.extra2 = 4;
  p.sourceRect = RectFloat(0.5, 1.5, 2.5, 3.5);
  p.targetRect = RectInt(10, 20, 19, 29);
  p.stride = 704;
  p.hostFlag = true;
  return p;
}

void ExpectSameFields(const ImageProperties& a, const ImageProperties& b) {
  EXPECT_EQ(a.width, b.width);
  EXPECT_EQ(a.height, b.height);
  EXPECT_EQ(a.extra0, b.extra0);
  EXPECT_EQ(a.extra1, b.extra1);
  EXPECT_EQ(a.extra2, b.extra2);
  EXPECT_EQ(a.sourceRect.left, b.sourceRect.left);
  EXPECT_EQ(a.sourceRect.top, b.sourceRect.top);
  EXPECT_EQ(a.sourceRect.right, b.sourceRect.right);
  EXPECT_EQ(a.sourceRect.bottom, b.sourceRect.bottom);
  EXPECT_EQ(a.targetRect.left, b.targetRect.left);
  EXPECT_EQ(a.targetRect.top, b.targetRect.top);
  EXPECT_EQ(a.targetRect.right, b.targetRect.right);
  EXPECT_EQ(a.targetRect.bottom, b.targetRect.bottom);
  EXPECT_EQ(a.stride, b.stride);
  EXPECT_EQ(a.hostFlag, b.hostFlag);
}

TEST(ImagePropertiesTest, Defaults) {
  const ImageProperties p;
  EXPECT_EQ(p.width, 0);
  EXPECT_EQ(p.height, 0);
  EXPECT_EQ(p.extra0, 1);
  EXPECT_EQ(p.extra1, 1);
  EXPECT_EQ(p.extra2, 1);
  for (double c : {p.sourceRect.left, p.sourceRect.top, p.sourceRect.right, p.sourceRect.bottom}) EXPECT_EQ(c, 0.0);
  for (int c : {p.targetRect.left, p.targetRect.top, p.targetRect.right, p.targetRect.bottom}) EXPECT_EQ(c, 0);
  EXPECT_EQ(p.stride, 0);
  EXPECT_FALSE(p.hostFlag);
}

// A type derived from ImageProperties has its own virtual table; assignment
// into it must copy the fields and leave every table pointer alone.
class HostImageProperties : public ImageProperties {};

TEST(ImagePropertiesTest, AssignmentCopiesFieldsAndKeepsTables) {
  const ImageProperties source = Sample();
  HostImageProperties target;
  const void* ownTable = TablePointer(target);
  const void* sourceRectTable = TablePointer(target.sourceRect);
  const void* targetRectTable = TablePointer(target.targetRect);
  static_cast<ImageProperties&>(target) = source;
  ExpectSameFields(target, source);
  EXPECT_EQ(TablePointer(target), ownTable);
  EXPECT_EQ(TablePointer(target.sourceRect), sourceRectTable);
  EXPECT_EQ(TablePointer(target.targetRect), targetRectTable);
  EXPECT_EQ(typeid(static_cast<ImageProperties&>(target)), typeid(HostImageProperties));
}

TEST(ImagePropertiesTest, SelfAssignmentChangesNothing) {
  ImageProperties p = Sample();
  const ImageProperties before = p;
  ImageProperties& alias = p;
  p = alias;
  ExpectSameFields(p, before);
  p.targetRect = p.targetRect;
  ExpectSameFields(p, before);
}

TEST(RectTest, Extents) {
  const struct {
    int left, top, right, bottom;
    int intWidth, intHeight;
    double floatWidth, floatHeight;
  } cases[] = {
      {0, 0, 0, 0, 1, 1, 0.0, 0.0},
      {10, 20, 19, 29, 10, 10, 9.0, 9.0},
      {5, 5, 4, 4, 0, 0, -1.0, -1.0},
  };
  for (const auto& c : cases) {
    const RectInt ri(c.left, c.top, c.right, c.bottom);
    const RectFloat rf(c.left, c.top, c.right, c.bottom);
    const Tessel::Rect<int32_t>& asBaseInt = ri;
    const Tessel::Rect<double>& asBaseFloat = rf;
    EXPECT_EQ(asBaseInt.getWidth(), c.intWidth);
    EXPECT_EQ(asBaseInt.getHeight(), c.intHeight);
    EXPECT_EQ(asBaseFloat.getWidth(), c.floatWidth);
    EXPECT_EQ(asBaseFloat.getHeight(), c.floatHeight);
  }
  EXPECT_EQ(RectInt().getWidth(), 1);
  EXPECT_EQ(RectFloat().getHeight(), 0.0);
}

}  // namespace
