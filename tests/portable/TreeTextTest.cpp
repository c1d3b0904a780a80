// Hand-written trees, settings by name and the render case file.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "engine/TreeText.h"
#include "tests/portable/TempFolder.h"
#include "tests/portable/EngineTestSupport.h"

namespace {

std::string TreeDump(const std::string& notation, bool expectOk = true) {
  const QVMOptions options(0);
  EquationLine line;
  std::string error;
  EXPECT_EQ(BuildTree(line, notation, options, &error), expectOk) << notation << ": " << error;
  return line.DumpTree().str();
}

TEST(TreeText, BuildsRowsTextsAndMarks) {
  EXPECT_EQ(TreeDump("SQRT{NUMBER\"2\"} BRACKETS\",\"@4{VARIABLE\"x\"}{NUMBER\"1\"}"),
            WithCrLf("0 - TK_SQRT align = 0, adjust = 0\n"
                     " 1 0 - TK_NUMBER align = 0, adjust = 0 \"2\"\n"
                     "1 - TK_BRACKETS align = 0, adjust = 0 \",_\"\n"
                     " 1 0 - TK_VARIABLE align = 0, adjust = 0 \"x\"\n"
                     " 2 0 - TK_NUMBER align = 0, adjust = 0 \"1\"\n"));
}

TEST(TreeText, EscapesGiveAnyByte) {
  EXPECT_EQ(TreeDump("GREEK\"\\x70\" QUOTED\"\\\"a\\\\\""),
            WithCrLf("0 - TK_GREEK align = 0, adjust = 0 \"p\"\n"
                     "1 - TK_QUOTED align = 0, adjust = 0 \"\"a\\\"\n"));
}

TEST(TreeText, SetsScriptLevelsAsAParseDoes) {
  const QVMOptions options(0);
  EquationLine line;
  ASSERT_TRUE(BuildTree(line, "VARIABLE\"x\" POWER{VARIABLE\"y\" POWER{NUMBER\"2\"}}", options));
  const QVMToken* inner = line.Root().GetAt(1)->row1.GetAt(1)->row1.GetAt(0);
  EXPECT_DOUBLE_EQ(inner->scriptLevel, 2.0);
  EXPECT_TRUE(line.NeedsRemeasure());
}

TEST(TreeText, RejectsBadNotation) {
  for (const char* bad : {"NOSUCHKIND", "NUMBER\"1", "SQRT{NUMBER\"1\"", "NUMBER\"1\"}", "number"})
    TreeDump(bad, false);
  std::string deep;
  for (int i = 0; i < 100; ++i) deep += "SQRT{";
  TreeDump(deep, false);
}

TEST(TreeText, AppliesSettingsByName) {
  QVMOptions options(0);
  std::string error;
  ASSERT_TRUE(ApplySettings(options, "MultiplyStyle=2 switch2=0 Bold=1 DrawScale=1.5 style=3", &error))
      << error;
  EXPECT_EQ(options.Style, 3);
  EXPECT_EQ(options.MultiplyStyle.Value, 2);
  EXPECT_FALSE(options.ParseSwitches[2]);
  EXPECT_TRUE(options.CurrentLineFormat.Bold);
  EXPECT_DOUBLE_EQ(options.DrawScale, 1.5);
  for (const char* bad : {"NoSuchOption=1", "style=9", "switch40=1", "MultiplyStyle", "DrawScale=x"})
    EXPECT_FALSE(ApplySettings(options, bad, &error)) << bad;
}

TEST(RenderCases, TheCaseFileCoversEveryConstruct) {
  std::vector<RenderCase> cases;
  std::string error;
  ASSERT_TRUE(ReadRenderCases(OVELIN_RENDER_CASES, cases, &error)) << error;
  EXPECT_GE(cases.size(), 60u);
  std::set<std::string> names;
  std::set<int> kinds;
  for (const RenderCase& c : cases) {
    EXPECT_TRUE(names.insert(c.name).second) << "two cases named " << c.name;
    QVMOptions options;
    QVEquationList list;
    ASSERT_TRUE(PrepareRenderList(c, options, list, &error)) << c.name << ": " << error;
    for (auto& line : list.Engines) {
      const std::string dumpLine = line->DumpTree().str();
      for (int k = 0; k < kTokenKindCount; ++k)
        if (dumpLine.find(std::string(TokenKindName(static_cast<TokenKind>(k))) + " ") !=
            std::string::npos)
          kinds.insert(k);
    }
  }
  // Every kind that takes room or draws, except the list's spacer and the
  // kinds no pass makes.
  for (TokenKind k : {TK_NUMBER, TK_POWER, TK_FUNCTION, TK_ARCSINCOSTAN, TK_SQRT, TK_ROOT,
                      TK_CODEDRAW2, TK_UNIT, TK_SYMBOL, TK_SPACEDSYMBOL, TK_GREEK, TK_MODIFIER,
                      TK_ADD, TK_SUBTRACT, TK_MULTIPLY, TK_RAW, TK_QUOTED, TK_SPACE, TK_VARIABLE,
                      TK_SUBSCRIPT, TK_ABVECTOR, TK_EQUAL, TK_LCVECTOR, TK_BRACKETS, TK_FRACTION,
                      TK_COLUMN, TK_IVRIGHT, TK_IVLEFT, TK_IVBOTH, TK_GREATER, TK_LESS, TK_DEGREE,
                      TK_TAB, TK_MATRIX, TK_ARC, TK_LONGDIV, TK_PERMUTATION, TK_COMBINATION,
                      TK_WHOLENUMBER, TK_WDSYMBOL, TK_SMALLFRACTION, TK_UNBOLDSYMBOL})
    EXPECT_TRUE(kinds.count(k)) << "no render case has " << TokenKindName(k);
}

TEST(RenderCases, MalformedLinesAreReported) {
  std::vector<RenderCase> cases;
  std::string error;
  EXPECT_FALSE(ReadRenderCases("no/such/file.txt", cases, &error));
  EXPECT_FALSE(error.empty());
  TempFolder folder;
  // A further line needs a text case above it and takes no settings.
  for (const char* text : {"  |  | =c\n", "a |  | tree:NUMBER\"1\"\n  |  | =c\n",
                           "a |  | x=1\n  | Bold=1 | =c\n"}) {
    const std::string path = folder.File("bad.txt");
    std::ofstream(path) << text;
    cases.clear();
    EXPECT_FALSE(ReadRenderCases(path, cases, &error)) << text;
  }
}

// Nameless lines add lines to the case above; the list gets them as its
// lines, the settings' line format on each.
TEST(RenderCases, FurtherLinesBelongToTheCaseAbove) {
  TempFolder folder;
  const std::string path = folder.File("cases.txt");
  std::ofstream(path) << "two | Bold=1 | a=b\n    |   | =c\n    |   |\nnext |  | x\n";
  std::vector<RenderCase> cases;
  std::string error;
  ASSERT_TRUE(ReadRenderCases(path, cases, &error)) << error;
  ASSERT_EQ(cases.size(), 2u);
  EXPECT_EQ(cases[0].equation, "a=b\r\n=c\r\n");
  QVMOptions options;
  QVEquationList list;
  ASSERT_TRUE(PrepareRenderList(cases[0], options, list, &error)) << error;
  EXPECT_EQ(list.Lines[1], "=c");
  EXPECT_TRUE(list.Formats[19].Bold);
  // A tree goes into line 1 and stays there through the list's SetText.
  ASSERT_TRUE(PrepareRenderList({"t", "", "tree:NUMBER\"7\""}, options, list, &error)) << error;
  list.SetText(list.GetText(), options);
  EXPECT_EQ(list.Engines[0]->Root().TextAt(0), "7");
}

}  // namespace
