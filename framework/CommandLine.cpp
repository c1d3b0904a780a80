// CCommandLineInfo parsing.
#include "framework/CommandLine.h"

void CCommandLineInfo::ParseParam(const char* param, BOOL isFlag, BOOL isLast) {
  if (isFlag)
    ParseFlag(param);
  else
    ParseText(param);
  ParseLast(isLast);
}

void CCommandLineInfo::ParseArguments(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const char* param = argv[i];
    const BOOL isFlag = param[0] == '-' || param[0] == '/';
    ParseParam(isFlag ? param + 1 : param, isFlag, i + 1 == argc);
  }
}

void CCommandLineInfo::ParseFlag(const CString& flag) {
  if (flag.CompareNoCase("pt") == 0) {
    m_nShellCommand = FilePrintTo;
  } else if (flag.CompareNoCase("p") == 0) {
    m_nShellCommand = FilePrint;
  } else if (flag.CompareNoCase("dde") == 0) {
    m_nShellCommand = FileDDE;
  } else if (flag.CompareNoCase("embedding") == 0) {
    m_bRunEmbedded = TRUE;
    m_bShowSplash = FALSE;
  } else if (flag.CompareNoCase("automation") == 0) {
    m_bRunAutomated = TRUE;
    m_bShowSplash = FALSE;
  } else if (flag.CompareNoCase("register") == 0 || flag.CompareNoCase("regserver") == 0) {
    m_nShellCommand = AppRegister;
  } else if (flag.CompareNoCase("unregister") == 0 || flag.CompareNoCase("unregserver") == 0) {
    m_nShellCommand = AppUnregister;
  } else if (flag.CompareNoCase("nologo") == 0) {
    m_bShowSplash = FALSE;
  }
}

// Plain parameters: the file name, then the print-to printer, driver, port.
void CCommandLineInfo::ParseText(const char* param) {
  if (m_strFileName.IsEmpty())
    m_strFileName = param;
  else if (m_nShellCommand != FilePrintTo)
    return;
  else if (m_strPrinterName.IsEmpty())
    m_strPrinterName = param;
  else if (m_strDriverName.IsEmpty())
    m_strDriverName = param;
  else if (m_strPortName.IsEmpty())
    m_strPortName = param;
}

void CCommandLineInfo::ParseLast(BOOL isLast) {
  if (!isLast) return;
  if (m_nShellCommand == FileNew && !m_strFileName.IsEmpty()) m_nShellCommand = FileOpen;
  m_bShowSplash = m_bShowSplash && !m_bRunEmbedded && !m_bRunAutomated;
}
