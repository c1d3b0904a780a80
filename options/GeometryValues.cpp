// Points and vectors in two and three dimensions.
#include "options/GeometryValues.h"

#include <cmath>

IMPLEMENT_SERIAL(QVPoint, CObject, 1)
IMPLEMENT_SERIAL(QV3Point, CObject, 1)
IMPLEMENT_SERIAL(QVVector, CObject, 1)
IMPLEMENT_SERIAL(QV3Vector, CObject, 1)

void QVPoint::Serialize(CArchive& archive) {
  if (archive.IsStoring()) archive << x << y;
  else archive >> x >> y;
}

void QV3Point::Serialize(CArchive& archive) {
  if (archive.IsStoring()) archive << x << y << z;
  else archive >> x >> y >> z;
}

bool NearlyEqual(double a, double b, double eps) { return eps >= std::fabs(a - b); }
