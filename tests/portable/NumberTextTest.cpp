#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "controls/NumberText.h"
#include "tests/portable/LocaleText.h"

namespace {


// Whether the environment asks for the German locale that Wine honours.
bool GermanLocaleRequested() {
#ifdef _WIN32
  const char* all = std::getenv("LC_ALL");
  return all != nullptr && std::strncmp(all, "de_DE", 5) == 0;
#else
  return false;
#endif
}

constexpr double kPi = 3.141592654;
constexpr double kE = 2.718281828;
constexpr double kSentinel = NumberTextFormat::kErrorSentinel;

}  // namespace

TEST(NumberTextFormat, FormatsWithDefaultSettings) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {2.5, "2.5"},       {3, "3"},       {-0.0000001, "0"}, {1234567.25, "1234567.25"},
      {10, "10"},         {0.5, "0.5"},   {100, "100"},      {-2.25, "-2.25"},
      {0.1234567, "0.123457"}, {0, "0"},  {-3, "-3"},
  };
  const NumberTextFormat format;
  for (const Case& c : cases) {
    EXPECT_EQ(format.FormatNumber(c.value), Localised(c.text)) << c.value;
    EXPECT_EQ(format.FormatNumber(c.value, -1), Localised(c.text)) << c.value;
  }
}

TEST(NumberTextFormat, FormatsWithFlagsAndPrecision) {
  NumberTextFormat format;
  EXPECT_EQ(format.FormatNumber(-0.4, 0), "0");
  EXPECT_EQ(format.FormatNumber(3.14159, 2), Localised("3.14"));
  EXPECT_EQ(format.FormatNumber(2.7, 0), "3");

  format.showPlusSign = 1;
  EXPECT_EQ(format.FormatNumber(2.5), Localised("+2.5"));
  EXPECT_EQ(format.FormatNumber(-2.5), Localised("-2.5"));

  format = NumberTextFormat();
  format.replaceMinusSign = 1;
  EXPECT_EQ(format.FormatNumber(-2.5), CString('\x96') + Localised("2.5"));
  EXPECT_EQ(format.FormatNumber(2.5), Localised("2.5"));

  format = NumberTextFormat();
  format.trimTrailingZeros = 0;
  EXPECT_EQ(format.FormatNumber(3), Localised("3.000000"));
  EXPECT_EQ(format.FormatNumber(-0.0000001), Localised("-0.000000"));
}

TEST(NumberTextFormat, ClampsPrecision) {
  NumberTextFormat format;
  format.trimTrailingZeros = 0;
  const CString wide = format.FormatNumber(1.0, 1000);
  ASSERT_EQ(wide.GetLength(), 2 + NumberTextFormat::kMaxPrecision);
  EXPECT_EQ(wide.Left(2), Localised("1."));
  EXPECT_EQ(format.FormatNumber(2.5, -5), "2");

  format.precision = -7;
  EXPECT_EQ(format.FormatNumber(3.25), "3");
  format.precision = 1 << 30;
  EXPECT_EQ(format.FormatNumber(1.0).GetLength(), 2 + NumberTextFormat::kMaxPrecision);
}

TEST(NumberTextFormat, FormatsHugeValuesInFull) {
  NumberTextFormat format;
  format.trimTrailingZeros = 0;
  const CString big = format.FormatNumber(1e300);
  EXPECT_EQ(big.GetLength(), 301 + 7);
  EXPECT_EQ(big.Left(1), "1");
  EXPECT_EQ(big.Right(7), Localised(".000000"));

  const CString widest =
      format.FormatNumber(-std::numeric_limits<double>::max(), NumberTextFormat::kMaxPrecision);
  EXPECT_EQ(widest.GetLength(), 1 + 309 + 1 + NumberTextFormat::kMaxPrecision);
}

TEST(NumberTextFormat, ParsesNumberText) {
  struct Case {
    const char* text;
    double value;
    double withSentinel;
  };
  const Case cases[] = {
      {"2", 2, 2},
      {"1,5", 1.5, 1.5},
      {"3/4", 0.75, 0.75},
      {"2pi", 2 * kPi, 2 * kPi},
      {"pi/2", kPi / 2, kPi / 2},
      {"-p", -kPi, -kPi},
      {"e", kE, kE},
      {"", 1, kSentinel},
      {"-", -1, -1},
      {"2x", 2, kSentinel},
      {"1e5", 15 * kE, 15 * kE},
      {"/3", 1.0 / 3, 1.0 / 3},
      {"p/", kPi, kPi},
      {"-1.25", -1.25, -1.25},
      {"pie", kPi * kE, kPi * kE},
      {"3/4x", 0.75, 0.75},
  };
  NumberTextFormat format;
  NumberTextFormat strict;
  strict.errorSentinel = 1;
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(format.ParseNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_DOUBLE_EQ(strict.ParseNumber(c.text), c.withSentinel) << '"' << c.text << '"';
  }
}

// "p" takes along only the "i" of "pi": at the end of the text it reads no
// further, and it never swallows the fraction bar.
TEST(NumberTextFormat, PiLetterStaysInsideText) {
  NumberTextFormat format;
  EXPECT_DOUBLE_EQ(format.ParseNumber("p"), kPi);
  EXPECT_DOUBLE_EQ(format.ParseNumber("-p"), -kPi);
  EXPECT_DOUBLE_EQ(format.ParseNumber("2p"), 2 * kPi);
  EXPECT_DOUBLE_EQ(format.ParseNumber("2p/3"), 2 * kPi / 3);
  EXPECT_DOUBLE_EQ(format.ParseNumber("2pi/3"), 2 * kPi / 3);
  // Text cut right after "p", without a terminator behind the last byte.
  const char buffer[2] = {'2', 'p'};
  const CString cut(buffer, 2);
  EXPECT_DOUBLE_EQ(format.ParseNumber(cut), 2 * kPi);
}

TEST(NumberTextFormat, NonFiniteNumbersAreMalformed) {
  const char* const texts[] = {"inf", "-inf", "infinity", "nan", "1/0", "0/0", "1/inf", "-1/0"};
  NumberTextFormat format;
  NumberTextFormat strict;
  strict.errorSentinel = 1;
  CString huge("1");
  for (int i = 0; i < 400; ++i) huge += '0';
  for (const char* text : texts) {
    EXPECT_EQ(format.ParseNumber(text), 0.0) << text;
    EXPECT_EQ(strict.ParseNumber(text), kSentinel) << text;
  }
  EXPECT_EQ(format.ParseNumber(huge), 0.0);
  EXPECT_EQ(strict.ParseNumber(huge), kSentinel);
}

TEST(NumberTextFormat, ReadsBackWhatItWrites) {
  const double values[] = {0, 2.5, -3.75, 1234567.25, 0.125, -1e-3};
  const NumberTextFormat format;
  for (double value : values) {
    EXPECT_DOUBLE_EQ(format.ParseNumber(format.FormatNumber(value)), value) << value;
  }
}

TEST(NumberTextLocale, DecimalSeparatorFollowsEnvironment) {
  const bool german = GermanLocaleRequested();
  LocaleSeparators separators;
  EXPECT_NE(separators.ReadDecimalSeparator(), 0);
  EXPECT_NE(separators.ReadListSeparator(), 0);
  EXPECT_EQ(separators.decimalSeparator, german ? ',' : '.');
  EXPECT_EQ(separators.listSeparator, german ? ';' : ',');

  const NumberTextFormat format;
  EXPECT_EQ(format.FormatNumber(2.5), german ? "2,5" : "2.5");
  EXPECT_EQ(format.FormatNumber(-1234.125), german ? "-1234,125" : "-1234.125");
  EXPECT_DOUBLE_EQ(format.ParseNumber("1,5"), 1.5);
  EXPECT_DOUBLE_EQ(format.ParseNumber("1.5"), 1.5);
  EXPECT_DOUBLE_EQ(format.ParseNumber(format.FormatNumber(2.5)), 2.5);
}

TEST(RoundHalfUp, RoundsHalvesUpward) {
  struct Case {
    double x;
    int32_t rounded;
  };
  const Case cases[] = {
      {2.5, 3},   {-2.5, -2}, {0.49999, 0}, {-0.5, 0}, {1.4, 1},
      {-1.6, -2}, {0, 0},     {10.99, 11},  {-0.49, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundHalfUp(c.x), c.rounded) << c.x;
}

TEST(RoundHalfUp, SaturatesOutsideIntRange) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(RoundHalfUp(1e10), INT32_MAX);
  EXPECT_EQ(RoundHalfUp(-1e10), INT32_MIN);
  EXPECT_EQ(RoundHalfUp(inf), INT32_MAX);
  EXPECT_EQ(RoundHalfUp(-inf), INT32_MIN);
  EXPECT_EQ(RoundHalfUp(std::nan("")), 0);
  EXPECT_EQ(RoundHalfUp(2147483646.5), INT32_MAX);
  EXPECT_EQ(RoundHalfUp(2147483646.4), 2147483646);
  EXPECT_EQ(RoundHalfUp(-2147483648.4), INT32_MIN);
  EXPECT_EQ(RoundHalfUp(-2147483647.6), -2147483647 - 1);
}

TEST(IsCharInSet, MatchesOnlyCharactersBeforeTerminator) {
  EXPECT_TRUE(IsCharInSet('a', "abc"));
  EXPECT_TRUE(IsCharInSet('c', "abc"));
  EXPECT_FALSE(IsCharInSet('d', "abc"));
  EXPECT_FALSE(IsCharInSet('\0', "abc"));
  EXPECT_TRUE(IsCharInSet('\xBB', "x\xBB"));
  EXPECT_FALSE(IsCharInSet('a', nullptr));
  for (int c = -128; c < 128; ++c) EXPECT_FALSE(IsCharInSet(static_cast<char>(c), "")) << c;
}

TEST(IsAllLowerCase, ComparesWithLowerCaseForm) {
  EXPECT_TRUE(IsAllLowerCase(""));
  EXPECT_TRUE(IsAllLowerCase("sqrt"));
  EXPECT_TRUE(IsAllLowerCase("a1 + b_2"));
  EXPECT_FALSE(IsAllLowerCase("Sqrt"));
  EXPECT_FALSE(IsAllLowerCase("sqrT"));
  EXPECT_FALSE(IsAllLowerCase("PI"));
}
