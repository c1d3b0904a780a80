// QVPoint, QV3Point, QVVector, QV3Vector: serialisable points and vectors
// (the vectors store nothing), and NearlyEqual for doubles.
#pragma once

#include "framework/Archive.h"
#include "framework/Object.h"

class QVPoint : public CObject {
  DECLARE_SERIAL(QVPoint)

 public:
  void Serialize(CArchive& archive) override;
  double x = 0.0, y = 0.0;
};

class QV3Point : public CObject {
  DECLARE_SERIAL(QV3Point)

 public:
  void Serialize(CArchive& archive) override;
  double x = 0.0, y = 0.0, z = 0.0;
};

class QVVector : public CObject {
  DECLARE_SERIAL(QVVector)

 public:
  double x = 0.0, y = 0.0;
};

class QV3Vector : public CObject {
  DECLARE_SERIAL(QV3Vector)

 public:
  double x = 0.0, y = 0.0, z = 0.0;
};

// True when |a - b| <= eps; a negative eps makes nothing nearly equal.
bool NearlyEqual(double a, double b, double eps);
