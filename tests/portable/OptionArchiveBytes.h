// The option set's archive bytes in style 0, written out field by field for
// tests that compare stored archives byte for byte.
#pragma once

#include <cstring>
#include <string>

#include "tests/portable/SerializeBytes.h"

namespace archive_bytes {

inline std::string B(bool v) { return std::string(1, v ? '\1' : '\0'); }
inline std::string I(int32_t v) { return Le32(static_cast<uint32_t>(v)); }
inline std::string S(const std::string& s) { return ShortString(s); }

inline const char kUnits0[] = "cm,km,mm,L,mL,cL,kL,ML,mg,kg";
inline const char kMacros0[] = "qf%x=(-b+-sr(b2-4ac))/2a%pv7%3.1415927%pv20%3.14159265358979323846%";

// The style-0 defaults in archive order, written out field by field.
inline std::string Header(int16_t version) { return S("QVMOptions") + Le16(static_cast<uint16_t>(version)); }
inline std::string Groups1To4() {
  std::string g1 = I(1) + I(0) + I(1) + I(1000) + I(1000);
  g1 += B(0) + B(1) + B(0) + B(0) + B(1) + B(0) + B(0) + B(0);
  for (char letter = 'A'; letter <= 'T'; ++letter) g1 += B(std::strchr("IJKR", letter) != nullptr);
  std::string face("Arial");
  face.resize(32, '\0');
  std::string g2 = std::string(6, '\0');  // LettersU to LettersZ
  g2 += I(-14) + I(400) + std::string(4, '\0') + face + I(0) + I(388);
  g2 += B(0) + B(0) + B(0) + B(0) + LeDouble(0.7);
  std::string g3 = I(0) + I(100) + I(30) + I(90) + I(0) + I(4) + I(2);
  g3 += LeDouble(0.3) + LeDouble(0.3) + I(150);
  g3 += I(2) + I(0x10006) + I(0) + LeDouble(30.0);  // GeneralPen
  g3 += I(0);                                        // IntegralStyle
  g3 += B(1) + B(1) + B(1) + B(1) + B(1) + B(1) + B(0) + B(1);
  g3 += S("Arial") + S("Arial") + S("Arial") + S("Arial");
  for (int i = 0; i < 6; ++i) g3 += I(0);
  g3 += S(kUnits0) + S(kMacros0);
  const std::string g4 = B(1) + B(1) + I(0) + I(400) + I(600) + I(1) + B(0);
  return g1 + g2 + g3 + g4;
}
inline std::string Version2Group() { return I(100) + I(2) + B(1) + I(0) + B(0); }
inline std::string Closing() { return S("/QVMOptions/"); }
inline std::string DefaultArchive() {
  return Header(4) + Groups1To4() + Version2Group() + B(1) + I(0) + Closing();
}

}  // namespace archive_bytes
