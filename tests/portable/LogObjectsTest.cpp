#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "options/LogObjects.h"
#include "tests/portable/SerializeBytes.h"

TEST(QVLogPen, DefaultsAndTextForm) {
  QVLogPen pen;
  EXPECT_EQ(pen.Mode, 0);
  EXPECT_EQ(pen.Style, 0x10006);
  EXPECT_EQ(pen.Color, 0u);
  EXPECT_DOUBLE_EQ(pen.Width, 17.63888775);
  pen.Mode = 2;
  pen.Width = 30.0;
  EXPECT_EQ(pen.ToText(), "0,0,0,65542,2,30.000000");
  pen.Color = RGB(1, 2, 3);
  EXPECT_EQ(pen.ToText(), "1,2,3,65542,2,30.000000");
}

TEST(QVLogPen, ToGdiPenTable) {
  struct Case {
    int mode, style;
    double width;
    UINT gdiStyle;
    int gdiWidth;
  };
  const Case cases[] = {
      {0, 0x10006, 17.63888775, 0x10006, 18},  // the default pen
      {2, 0x10006, 30.0, 0x10006, 30},         // the default GeneralPen
      {0, 1, 40, 0x10202, 1},   {0, 2, 40, 0x10201, 1},   {0, 3, 40, 0x10203, 1},
      {0, 4, 40, 0x10204, 1},   {0, 5, 40, PS_NULL, 1},   {0, 6, 40, 0x10206, 25},
      {0, 7, 40, 0x10206, 50},  {0, 8, 40, 0x10206, 75},  {0, 9, 40, 0x10206, 100},
      {0, 10, 40, 0x10206, 150}, {0, 11, 40, 0x10206, 250}, {0, 12, 40, PS_NULL, 1},
      {0, 0, 40.4, 0, 40},      {0, 13, 40, 13, 40},
      {1, 2, 40.5, 0x10002, 41}, {2, 0, 2.5, 0x10000, 3},  {3, 2, 7, 2, 7},
      {3, 12, 7, PS_NULL, 1},   {12, 0x10005, 7, 0x10005, 7}, {9, 0x10003, 7.49, 0x10003, 7},
  };
  for (const Case& c : cases) {
    QVLogPen pen;
    pen.Mode = c.mode;
    pen.Style = c.style;
    pen.Width = c.width;
    pen.Color = 0x123456;
    const LOGPEN gdi = pen.ToGdiPen();
    EXPECT_EQ(gdi.lopnStyle, c.gdiStyle) << c.mode << "/" << c.style;
    EXPECT_EQ(gdi.lopnWidth.x, c.gdiWidth) << c.mode << "/" << c.style;
    EXPECT_EQ(gdi.lopnColor, 0x123456u);
  }
}

TEST(QVLogPen, WidthsThatCannotBeIntegersAreHeld) {
  const double widths[] = {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(), 1e300, -1e300, -5.0};
  const int expected[] = {0, kMaxGdiLength, kMaxGdiLength, 0, 0};
  for (int i = 0; i < 5; ++i) {
    QVLogPen pen;
    pen.Mode = 3;
    pen.Width = widths[i];
    EXPECT_EQ(pen.ToGdiPen().lopnWidth.x, expected[i]) << widths[i];
  }
  EXPECT_EQ(TruncateGdiLength(-1e300), -kMaxGdiLength);
  EXPECT_EQ(TruncateGdiLength(-2.9), -2);
  EXPECT_EQ(RoundGdiLength(2.5), 3);
}

TEST(QVLogPen, SetStyleIndex) {
  const int styles[] = {0x10006, 0x10002, 0x10001, 0x10003, 0x10004, 0x10006, 0x10006,
                        0x10006, 0x10006, 0x10006, 0x10006, 0x10006, 0x10005, 0x10006};
  for (int index = 0; index < 14; ++index) {
    QVLogPen pen;
    pen.Width = 40.2;
    pen.Color = 7;
    pen.SetStyleIndex(index);
    EXPECT_EQ(pen.Style, styles[index]) << index;
    EXPECT_EQ(pen.Mode, index == 12 ? 12 : 0) << index;
    EXPECT_EQ(pen.Width, 40.2);
    EXPECT_EQ(pen.Color, 7u);
  }
  QVLogPen pen;
  pen.SetStyleIndex(12);
  const LOGPEN gdi = pen.ToGdiPen();
  EXPECT_EQ(gdi.lopnStyle, 0x10005u);
  EXPECT_EQ(gdi.lopnWidth.x, 18);
}

TEST(QVLogPen, ParseText) {
  struct Case {
    const char* text;
    COLORREF color;
    int style, mode;
    double width;
  };
  const Case cases[] = {
      {"0,0,0,65542,2,30.000000", 0, 65542, 2, 30.0},
      {"255,0,0,6,0", 0x0000FF, 6, 0, 0.0},  // the mode field is empty; "0" is the width
      {"1,2,3,4,5,6.5,junk", RGB(1, 2, 3), 4, 5, 6.5},
      {"256,257,-1,1,1,1", RGB(0, 1, 255), 1, 1, 1.0},  // components masked to 0..255
      {"", 0, 0, 0, 0.0},
      {"x,y,z,a,b,c", 0, 0, 0, 0.0},
      {"0,0,0,99999999999999,-99999999999999,1", 0, INT32_MAX, INT32_MIN, 1.0},
  };
  for (const Case& c : cases) {
    QVLogPen pen;
    pen.ParseText(c.text);
    EXPECT_EQ(pen.Color, c.color) << c.text;
    EXPECT_EQ(pen.Style, c.style) << c.text;
    EXPECT_EQ(pen.Mode, c.mode) << c.text;
    EXPECT_EQ(pen.Width, c.width) << c.text;
  }
}

TEST(QVLogPen, ArchiveFormIs20BytesAndRoundTrips) {
  QVLogPen pen;
  pen.Mode = 3;
  pen.Style = -2;
  pen.Color = 0xFFEEDDCC;
  pen.Width = 0.1;
  const std::string bytes = StoreBytes(pen);
  EXPECT_EQ(bytes, Le32(3) + Le32(0xFFFFFFFE) + Le32(0xFFEEDDCC) + LeDouble(0.1));
  QVLogPen back;
  EXPECT_EQ(LoadBytes(back, bytes), 0u);
  EXPECT_EQ(back.Mode, 3);
  EXPECT_EQ(back.Style, -2);
  EXPECT_EQ(back.Color, 0xFFEEDDCCu);
  EXPECT_EQ(back.Width, 0.1);
}

TEST(QVLogBrush, ToLogBrushTable) {
  struct Case {
    int mode, style, hatch;
    UINT lbStyle;
    ULONG_PTR lbHatch;
  };
  const Case cases[] = {
      {0, 0, 9, BS_HOLLOW, 0},         {0, 1, 9, BS_SOLID, 0},
      {0, 2, 9, BS_HATCHED, HS_FDIAGONAL}, {0, 3, 9, BS_HATCHED, HS_BDIAGONAL},
      {0, 4, 9, BS_HATCHED, HS_HORIZONTAL}, {0, 5, 9, BS_HATCHED, HS_VERTICAL},
      {0, 6, 9, BS_HATCHED, HS_CROSS}, {0, 7, 9, BS_HATCHED, HS_DIAGCROSS},
      {0, 8, 9, BS_SOLID, 0},          {1, 2, 4, 2, 4},
      {5, 0, 9, BS_SOLID, 0},
  };
  for (const Case& c : cases) {
    QVLogBrush brush;
    brush.Mode = c.mode;
    brush.Style = c.style;
    brush.Hatch = c.hatch;
    brush.Color = 0xABCDEF;
    const LOGBRUSH lb = brush.ToLogBrush();
    EXPECT_EQ(lb.lbStyle, c.lbStyle) << c.mode << "/" << c.style;
    EXPECT_EQ(lb.lbHatch, c.lbHatch) << c.mode << "/" << c.style;
    EXPECT_EQ(lb.lbColor, 0xABCDEFu);
  }
}

TEST(QVLogBrush, DefaultIsSolidAndArchiveIs16Bytes) {
  QVLogBrush brush;
  EXPECT_EQ(brush.ToLogBrush().lbStyle, static_cast<UINT>(BS_SOLID));
  brush.Color = RGB(10, 20, 30);
  brush.Hatch = 4;
  EXPECT_EQ(brush.ToText(), "10,20,30,1,0,4");
  const std::string bytes = StoreBytes(brush);
  EXPECT_EQ(bytes, Le32(0) + Le32(1) + Le32(RGB(10, 20, 30)) + Le32(4));
  QVLogBrush back;
  back.Style = 5;
  LoadBytes(back, bytes);
  EXPECT_EQ(back.Style, 1);
  EXPECT_EQ(back.Hatch, 4);
  EXPECT_EQ(back.Color, RGB(10, 20, 30));
}

TEST(QVLogFont, DefaultsPrintAsTheOptionFile) {
  QVLogFont font;
  EXPECT_EQ(font.ToText(), "-14,0,0,0,400,0,0,0,0,7,48,2,2,0,388,Arial");
  font.Color = 0xFF0000;
  font.LogFont.lfItalic = 255;
  EXPECT_EQ(font.ToText(), "-14,0,0,0,400,255,0,0,0,7,48,2,2,16711680,388,Arial");
  font.Color = 0xFFFFFFFF;
  EXPECT_EQ(font.ToText(), "-14,0,0,0,400,255,0,0,0,7,48,2,2,-1,388,Arial");
}

TEST(QVLogFont, ParseText) {
  QVLogFont font;
  font.ParseText("-20,1,2,3,700,1,1,1,2,3,4,5,6,255,500,Times New Roman");
  const LOGFONTA& f = font.LogFont;
  EXPECT_EQ(f.lfHeight, -20);
  EXPECT_EQ(f.lfWidth, 1);
  EXPECT_EQ(f.lfEscapement, 2);
  EXPECT_EQ(f.lfOrientation, 3);
  EXPECT_EQ(f.lfWeight, 700);
  EXPECT_EQ(f.lfItalic, 1);
  EXPECT_EQ(f.lfCharSet, 2);
  EXPECT_EQ(f.lfPitchAndFamily, 6);
  EXPECT_EQ(font.Color, 255u);
  EXPECT_EQ(font.Size, 500);
  EXPECT_STREQ(f.lfFaceName, "Times New Roman");

  // Bytes keep their low byte; the face takes the rest, commas included.
  font.ParseText("1,2,3,4,5,257,-1,0,0,0,0,0,0,-1,99999999999,A,B");
  EXPECT_EQ(font.LogFont.lfItalic, 1);
  EXPECT_EQ(font.LogFont.lfUnderline, 255);
  EXPECT_EQ(font.Color, 0xFFFFFFFFu);
  EXPECT_EQ(font.Size, kMaxFontSize);  // saturated, then held to what a page can show
  EXPECT_STREQ(font.LogFont.lfFaceName, "A,B");

  const std::string longFace(40, 'x');
  font.ParseText(("-14,0,0,0,400,0,0,0,0,7,48,2,2,0,388," + longFace).c_str());
  EXPECT_EQ(std::string(font.LogFont.lfFaceName), longFace.substr(0, 31));
}

TEST(QVLogFont, ArchiveFormIs52BytesAndKeepsUnstoredFields) {
  QVLogFont font;
  font.LogFont.lfHeight = -300;
  font.LogFont.lfWeight = 700;
  font.LogFont.lfUnderline = 1;
  font.LogFont.lfCharSet = 2;
  font.Color = 0x00FF00;
  font.Size = 123;
  const std::string bytes = StoreBytes(font);
  std::string face("Arial");
  face.resize(32, '\0');
  EXPECT_EQ(bytes, Le32(static_cast<uint32_t>(-300)) + Le32(700) + std::string("\0\1\0\2", 4) +
                       face + Le32(0x00FF00) + Le32(123));

  QVLogFont back;
  back.LogFont.lfWidth = 9;
  back.LogFont.lfQuality = 4;
  EXPECT_EQ(LoadBytes(back, bytes), 0u);
  EXPECT_EQ(back.LogFont.lfHeight, -300);
  EXPECT_EQ(back.LogFont.lfUnderline, 1);
  EXPECT_EQ(back.Size, 123);
  EXPECT_EQ(back.LogFont.lfWidth, 9);  // not stored, kept
  EXPECT_EQ(back.LogFont.lfQuality, 4);
}

TEST(QVLogFont, FaceNameWithoutTerminatorIsTerminatedOnLoad) {
  std::string bytes = Le32(0) + Le32(400) + std::string(4, '\0') + std::string(32, 'Q') +
                      Le32(0) + Le32(388);
  QVLogFont font;
  LoadBytes(font, bytes);
  EXPECT_EQ(std::strlen(font.LogFont.lfFaceName), 31u);
  EXPECT_EQ(font.ToText(), "0,0,0,0,400,0,0,0,0,7,48,2,2,0,388," + std::string(31, 'Q'));
}

TEST(QVLogFont, AssignCopiesEveryField) {
  QVLogFont a, b;
  a.ParseText("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,Face");
  b.Assign(a);
  EXPECT_EQ(b.ToText(), a.ToText());
  EXPECT_EQ(std::memcmp(&a.LogFont, &b.LogFont, sizeof a.LogFont), 0);
}

// Sizes and widths from a document or a settings file are held to what a
// page can show, whichever way they come in; ones inside pass unchanged.
TEST(LogObjects, HugeSizesAndWidthsAreHeldOnTheWayIn) {
  QVLogFont font;
  LoadBytes(font, Le32(-2000000000) + Le32(400) + std::string(4, '\0') + std::string(32, '\0') +
                      Le32(0) + Le32(1000000));
  EXPECT_EQ(font.Size, kMaxFontSize);
  EXPECT_EQ(font.LogFont.lfHeight, -kMaxFontSize);
  font.ParseText("-14,2147483647,0,0,400,0,0,0,0,7,48,2,2,0,-300000,Arial");
  EXPECT_EQ(font.Size, -kMaxFontSize);
  EXPECT_EQ(font.LogFont.lfWidth, kMaxFontSize);
  font.ParseText("-14,0,0,0,400,0,0,0,0,7,48,2,2,0,10000,Arial");
  EXPECT_EQ(font.Size, 10000);

  QVLogPen pen;
  pen.ParseText("0,0,0,65542,2,1e9");
  EXPECT_EQ(pen.Width, kMaxPenWidth);
  LoadBytes(pen, Le32(2) + Le32(65542) + Le32(0) + LeDouble(-1e12));
  EXPECT_EQ(pen.Width, -kMaxPenWidth);
  pen.ParseText("0,0,0,65542,2,30.5");
  EXPECT_EQ(pen.Width, 30.5);
}

// A font's weight and angles from a settings file or a document are held
// too: weight 0 to 1000, escapement and orientation within a full turn.
TEST(LogObjects, FontWeightAndAnglesAreHeldOnTheWayIn) {
  const struct {
    const char* fields;  // escapement, orientation, weight
    LONG escapement, orientation, weight;
  } cases[] = {
      {"-2147483648,2147483647,2147483647", -kFullTurn, kFullTurn, kMaxFontWeight},
      {"3601,-3601,-5", kFullTurn, -kFullTurn, 0},
      {"900,-2700,700", 900, -2700, 700},
      {"3600,-3600,1000", 3600, -3600, 1000},
  };
  for (const auto& c : cases) {
    QVLogFont font;
    font.ParseText(("-14,0," + std::string(c.fields) + ",0,0,0,0,7,48,2,2,0,388,Arial").c_str());
    EXPECT_EQ(font.LogFont.lfEscapement, c.escapement) << c.fields;
    EXPECT_EQ(font.LogFont.lfOrientation, c.orientation) << c.fields;
    EXPECT_EQ(font.LogFont.lfWeight, c.weight) << c.fields;
  }
  QVLogFont loaded;
  LoadBytes(loaded, Le32(-300) + Le32(99999) + std::string(4, '\0') + std::string(32, '\0') +
                        Le32(0) + Le32(388));
  EXPECT_EQ(loaded.LogFont.lfWeight, kMaxFontWeight);
}
