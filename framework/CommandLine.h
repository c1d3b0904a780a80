// CCommandLineInfo: what the program was asked to do on its command line.
// Flags start with "/" or "-" and are matched without regard to case:
// "pt" (print to: file, printer, driver, port follow), "p" (print), "dde",
// "embedding", "automation", "register" or "regserver", "unregister" or
// "unregserver", "nologo". The first plain parameter is the file name; a
// file name with no print or DDE flag turns the command into FileOpen.
// Choices of ours: every flag ignores case; unknown flags and parameters
// after the print-to arguments are ignored; an OLE start keeps the shell
// command (a new document unless a file was named).
#pragma once

#include "framework/String.h"

class CCommandLineInfo {
 public:
  enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppRegister, AppUnregister,
         FileNothing = -1 };

  virtual ~CCommandLineInfo() = default;
  // One parameter, without its "/" or "-" when `isFlag`; `isLast` for the last.
  virtual void ParseParam(const char* param, BOOL isFlag, BOOL isLast);

  // Parses a whole argument vector (argv[0] is the program and skipped).
  void ParseArguments(int argc, const char* const* argv);

  BOOL m_bShowSplash = TRUE;
  BOOL m_bRunEmbedded = FALSE;
  BOOL m_bRunAutomated = FALSE;
  int m_nShellCommand = FileNew;
  CString m_strFileName;
  CString m_strPrinterName;
  CString m_strDriverName;
  CString m_strPortName;

 private:
  void ParseFlag(const CString& flag);
  void ParseText(const char* param);
  void ParseLast(BOOL isLast);
};
