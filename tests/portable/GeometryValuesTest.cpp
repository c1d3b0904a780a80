#include <gtest/gtest.h>

#include <memory>

#include "options/GeometryValues.h"
#include "tests/portable/SerializeBytes.h"

TEST(GeometryValues, PointsStoreTheirCoordinatesVectorsNothing) {
  QVPoint p;
  p.x = 0.1;
  p.y = -2.5e300;
  const std::string bytes = StoreBytes(p);
  EXPECT_EQ(bytes, LeDouble(0.1) + LeDouble(-2.5e300));
  QVPoint back;
  EXPECT_EQ(LoadBytes(back, bytes), 0u);
  EXPECT_EQ(back.x, 0.1);
  EXPECT_EQ(back.y, -2.5e300);

  QV3Point q;
  q.z = 1.0;
  EXPECT_EQ(StoreBytes(q).size(), 24u);
  QVVector v;
  v.x = 3.0;
  EXPECT_TRUE(StoreBytes(v).empty());
  QV3Vector w;
  EXPECT_TRUE(StoreBytes(w).empty());
}

TEST(GeometryValues, CreatedByNameWithZeroCoordinates) {
  for (const char* name : {"QVPoint", "QV3Point", "QVVector", "QV3Vector"}) {
    std::unique_ptr<CObject> object(CRuntimeClass::CreateObject(name));
    ASSERT_TRUE(object) << name;
    EXPECT_STREQ(object->GetRuntimeClass()->m_lpszClassName, name);
  }
  std::unique_ptr<CObject> object(CRuntimeClass::CreateObject("QV3Point"));
  const auto* point = static_cast<QV3Point*>(object.get());
  EXPECT_EQ(point->x + point->y + point->z, 0.0);
}

TEST(GeometryValues, NearlyEqual) {
  EXPECT_TRUE(NearlyEqual(1.0, 1.0000001, 0.000001));
  EXPECT_FALSE(NearlyEqual(1.0, 1.0000001, 0.0));
  EXPECT_TRUE(NearlyEqual(2.0, 2.0, 0.0));
  EXPECT_FALSE(NearlyEqual(2.0, 2.0, -1.0));
  EXPECT_TRUE(NearlyEqual(-1.0, 1.0, 2.0));
}
