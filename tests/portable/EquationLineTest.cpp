// The parse driver of one line: when it parses, what it leaves behind, and
// that no input can crash or stall it.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "tests/portable/EngineTestSupport.h"

namespace {

TEST(EquationLine, SameTextParsesOnce) {
  const QVMOptions options(0);
  EquationLine line;
  line.SetText("a+b", options);
  ASSERT_EQ(line.Root().GetSize(), 3);
  QVMToken* first = line.Root().GetAt(0);
  first->SetText("changed");  // survives only if no parse runs
  line.SetNeedsRemeasure(false);
  line.SetText("a+b", options);
  EXPECT_EQ(line.Root().GetAt(0), first);
  EXPECT_EQ(line.Root().TextAt(0), "changed");
  EXPECT_FALSE(line.NeedsRemeasure());
}

TEST(EquationLine, ReparseFlagForcesParse) {
  const QVMOptions options(0);
  EquationLine line;
  line.SetText("a+b", options);
  line.Root().GetAt(0)->SetText("changed");
  line.SetNeedsRemeasure(false);
  line.SetReparse();
  EXPECT_TRUE(line.NeedsReparse());
  line.SetText("a+b", options);
  EXPECT_EQ(line.Root().TextAt(0), "a");
  EXPECT_FALSE(line.NeedsReparse());
  EXPECT_TRUE(line.NeedsRemeasure());
}

TEST(EquationLine, ChangedTextParsesAgain) {
  const QVMOptions options(0);
  EquationLine line;
  line.SetText("a+b", options);
  line.SetText("a+c", options);
  EXPECT_EQ(line.GetText(), "a+c");
  EXPECT_EQ(line.Root().TextAt(2), "c");
  // Byte for byte: a text differing after a NUL is a different text.
  line.SetText(CString("a\0x", 3), options);
  EXPECT_EQ(line.GetText().GetLength(), 3);
}

TEST(EquationLine, FreshLineAndEmptyText) {
  const QVMOptions options(0);
  EquationLine line;
  EXPECT_FALSE(line.NeedsReparse());
  EXPECT_FALSE(line.NeedsRemeasure());
  EXPECT_EQ(line.Root().GetSize(), 0);
  // An empty text equals the stored one: nothing to parse.
  line.SetText("", options);
  EXPECT_FALSE(line.NeedsRemeasure());
  line.SetReparse();
  line.SetText("", options);
  EXPECT_EQ(line.Root().GetSize(), 0);
  EXPECT_TRUE(line.NeedsRemeasure());
}

TEST(EquationLine, ParseLeavesTokensReadyForLayout) {
  const QVMOptions options(0);
  EquationLine line;
  line.SetText("x^2", options);
  for (const QVMToken* token : line.Root()) {
    EXPECT_TRUE(token->needsLayout);
    EXPECT_EQ(token->nestingLevel, 0);
    EXPECT_DOUBLE_EQ(token->scriptLevel, 0.0);
  }
  EXPECT_TRUE(line.Root().NeedsLayout());
}

// Random bytes, random mixes of the language's own characters and every
// prefix of a long text: no fault, no stall, under every style.
std::string RandomText(std::mt19937& random, size_t length, bool fromAlphabet) {
  static const std::string alphabet =
      "()[]{}|#\"'.,;:^_\\/*+-=<>o` \xA0\xA7\xBB\xB1" "0123456789abcxyzsinqfptr";
  std::string text(length, ' ');
  for (char& c : text) {
    c = fromAlphabet ? alphabet[random() % alphabet.size()] : static_cast<char>(random() % 256);
  }
  return text;
}

TEST(EquationLineRobustness, RandomInputNeverCrashesOrHangs) {
  std::mt19937 random(20240611);
  const auto started = std::chrono::steady_clock::now();
  for (int style = 0; style <= 5; ++style) {
    const QVMOptions options(style);
    EquationLine line;
    for (int round = 0; round < 12; ++round) {
      const size_t length = round == 0 ? 10000 : random() % 2000;
      const std::string text = RandomText(random, length, round % 2 == 1);
      line.SetText(CString(text), options);
      EXPECT_EQ(line.GetText().str(), text);
    }
  }
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started);
  EXPECT_LT(seconds.count(), 60.0);
}

TEST(EquationLineRobustness, TruncatedTexts) {
  const QVMOptions options(0);
  const std::string text =
      "qf \"ab\"cd|x|+-sin-1(3) (3) 1.2.3o`\xBB x\\2 |[a]| a-->b 5cm xx sqrt(root(3,x))";
  EquationLine line;
  for (size_t n = 0; n <= text.size(); ++n) line.SetText(CString(text.substr(0, n)), options);
  EXPECT_GT(line.Root().GetSize(), 0);
}

}  // namespace
