// Command-line parsing into CCommandLineInfo.
#include <gtest/gtest.h>

#include <vector>

#include "framework/CommandLine.h"

namespace {

CCommandLineInfo Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "ovelin.exe");
  CCommandLineInfo info;
  info.ParseArguments(static_cast<int>(args.size()), args.data());
  return info;
}

TEST(CommandLine, ShellCommands) {
  struct Case {
    std::vector<const char*> args;
    int command;
    const char* file;
  };
  const Case cases[] = {
      {{}, CCommandLineInfo::FileNew, ""},
      {{"C:\\eq.qvm"}, CCommandLineInfo::FileOpen, "C:\\eq.qvm"},
      {{"/p", "a.qvm"}, CCommandLineInfo::FilePrint, "a.qvm"},
      {{"-P", "a.qvm"}, CCommandLineInfo::FilePrint, "a.qvm"},
      {{"/dde"}, CCommandLineInfo::FileDDE, ""},
      {{"/Register"}, CCommandLineInfo::AppRegister, ""},
      {{"-regserver"}, CCommandLineInfo::AppRegister, ""},
      {{"/Unregister"}, CCommandLineInfo::AppUnregister, ""},
      {{"/UNREGSERVER"}, CCommandLineInfo::AppUnregister, ""},
      {{"/unknown", "b.qvm"}, CCommandLineInfo::FileOpen, "b.qvm"},
      {{"first.qvm", "second.qvm"}, CCommandLineInfo::FileOpen, "first.qvm"},
  };
  for (const Case& c : cases) {
    const CCommandLineInfo info = Parse(c.args);
    EXPECT_EQ(info.m_nShellCommand, c.command) << (c.args.empty() ? "" : c.args[0]);
    EXPECT_STREQ(info.m_strFileName, c.file);
  }
}

TEST(CommandLine, OleStartsKeepTheShellCommandAndHideTheSplash) {
  const CCommandLineInfo embedded = Parse({"-Embedding"});
  EXPECT_TRUE(embedded.m_bRunEmbedded);
  EXPECT_FALSE(embedded.m_bRunAutomated);
  EXPECT_FALSE(embedded.m_bShowSplash);
  EXPECT_EQ(embedded.m_nShellCommand, CCommandLineInfo::FileNew);
  const CCommandLineInfo automated = Parse({"/automation"});
  EXPECT_TRUE(automated.m_bRunAutomated);
  EXPECT_FALSE(automated.m_bShowSplash);
  EXPECT_TRUE(Parse({}).m_bShowSplash);
  EXPECT_FALSE(Parse({"/nologo"}).m_bShowSplash);
}

TEST(CommandLine, PrintToTakesPrinterDriverAndPort) {
  const CCommandLineInfo info = Parse({"/pt", "a.qvm", "Printer", "Driver", "LPT1:", "extra"});
  EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FilePrintTo);
  EXPECT_STREQ(info.m_strFileName, "a.qvm");
  EXPECT_STREQ(info.m_strPrinterName, "Printer");
  EXPECT_STREQ(info.m_strDriverName, "Driver");
  EXPECT_STREQ(info.m_strPortName, "LPT1:");
}

}  // namespace
