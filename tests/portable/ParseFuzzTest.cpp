// Random lines of the input language through the whole parse, with the
// tree's invariants checked after every line (CheckTree): no opening
// bracket left, every token in at most one row, no null in a row, matrices
// that fit the layout's 20 x 20 tables, no deeper than kMaxTreeDepth. OVELIN_FUZZ_LINES sets the number of lines per
// style (the long run: 333334, about a million lines in all).
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "tests/portable/EngineTestSupport.h"

namespace {

// Characters and words of the input language, with a few bytes it does
// not know.
const char* const kPieces[] = {
    "(",    ")",    "[",    "]",     "{",    "}",     "|",     "#",    "\"",   "'",   ".",
    ",",    ";",    ":",    "^",     "_",    "\\",    "/",     "*",    "+",    "-",   "=",
    "<",    ">",    "o",    "`",     " ",    " ",     "\xA0",  "\xA7", "\xBB", "!",   "\xE9",
    "0",    "1",    "2",    "3.5",   "12",   "a",     "b",     "n",    "r",    "x",   "y",
    "i",    "j",    "k",    "A",     "B",    "C",     "P",     "E",    "F",    "sin", "log",
    "cos",  "sqrt", "sr",   "root",  "int",  "sigma", "lim",   "box",  "@",    "div", "arc",
    "pi",   "th",   "cm",   "-->",   "<--",  "<->",   "|[",    "]|",   "::",   "^^",  "+-",
    " :",   "qf",   "(3)",  "->",    ">=",   "sin-1", "product",
};
constexpr size_t kPieceCount = sizeof(kPieces) / sizeof(kPieces[0]);
constexpr size_t kMaxLineBytes = 200;

std::string RandomLine(std::mt19937& random) {
  const size_t target = random() % (kMaxLineBytes + 1);
  std::string line;
  while (line.size() < target) {
    const std::string piece = kPieces[random() % kPieceCount];
    if (line.size() + piece.size() > kMaxLineBytes) break;
    line += piece;
  }
  return line;
}

long LinesPerStyle() {
  const char* count = std::getenv("OVELIN_FUZZ_LINES");
  if (count == nullptr || *count == '\0') return 5000;
  return std::strtol(count, nullptr, 10);
}

TEST(ParseFuzz, RandomLinesKeepTreeInvariants) {
  const long lines = LinesPerStyle();
  for (int style : {0, 3, 4}) {
    const QVMOptions options(style);
    std::mt19937 random(static_cast<unsigned>(20240611 + style));
    EquationLine line;
    for (long n = 0; n < lines; ++n) {
      const std::string text = RandomLine(random);
      line.SetText(CString(text), options);
      const std::string fault = CheckTree(line);
      ASSERT_TRUE(fault.empty()) << fault << " in style " << style << " for \"" << text << "\"";
    }
  }
}

// Long lines of chained operators, brackets and constructs, mixed at
// random, reach the nesting cap in every combination.
const char* const kChainPieces[] = {
    "x^", "a/", "a,", "x\\", "3root", "aC", "adiv", "sqrt", "sin", "(",  ")",
    "|",  "[",  "]",  "x2",  "-->",   "int(", "log2", "2E3",  "-",   "_", " ",
};

constexpr size_t kChainPieceCount = sizeof(kChainPieces) / sizeof(kChainPieces[0]);

// Mostly piece a, sometimes b, now and then any piece.
const char* PickChainPiece(std::mt19937& random, size_t a, size_t b) {
  const unsigned roll = random() % 16;
  return kChainPieces[roll < 12 ? a : roll < 15 ? b : random() % kChainPieceCount];
}

TEST(ParseFuzz, LongChainedLinesKeepTreeInvariants) {
  for (int style : {0, 4}) {
    const QVMOptions options(style);
    std::mt19937 random(static_cast<unsigned>(20240612 + style));
    EquationLine line;
    for (int n = 0; n < 12; ++n) {
      const size_t a = random() % kChainPieceCount;
      const size_t b = random() % kChainPieceCount;
      std::string text;
      while (text.size() < 3000) text += PickChainPiece(random, a, b);
      line.SetText(CString(text), options);
      const std::string fault = CheckTree(line);
      ASSERT_TRUE(fault.empty()) << fault << " in style " << style << " for \"" << text << "\"";
    }
  }
}

// The invariants hold for the mended shapes too.
TEST(ParseFuzz, KnownHardLinesKeepTreeInvariants) {
  const char* const lines[] = {
      "),1 ", "int(a,b,c)", "1/(a+b)^2", "a/b^", "x^", "\\", "(x^2,y^2)", "1,2,3,4,5",
      "[F(x)](a,b)", "sigma(i=1,n)", "lim(x->0-)", "|a|/2", "a)/(b", "(/)", "/", ",", "^^^",
      "sqrt", "root", "C", "3root 8", "int(0,1)(2,3)", "box(int(a)(b))",
  };
  for (int style : {0, 3, 4}) {
    const QVMOptions options(style);
    for (const char* text : lines) {
      EquationLine line;
      line.SetText(text, options);
      EXPECT_EQ(CheckTree(line), "") << text << " in style " << style;
    }
  }
}

}  // namespace
