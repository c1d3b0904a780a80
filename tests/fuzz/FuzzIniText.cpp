// libFuzzer target: the INI store's reading of file text on arbitrary bytes;
// what it read is written out and read again.
// Writes its seed texts when asked (FuzzSeeds.h).
#include <cstdint>
#include <cstring>
#include <string>

#include "options/IniFile.h"
#include "tests/fuzz/FuzzSeeds.h"

namespace {

void WriteSeeds(const std::string& folder) {
  static const char* const kSeeds[] = {
      "[Options]\r\nFontSize=12\r\nFace=Times New Roman\r\n\r\n[Recent]\r\nFile1=C:\\a.qvm\r\n",
      "; comment\n[A]\nx=1\ny = 2 \n=empty name\nnoequals\n[B]\n[A]\nx=3\n",
      "[Unclosed\nkey=value=more\n\n[]\n=\n",
  };
  int n = 0;
  for (const char* text : kSeeds) WriteSeedFile(folder + "/seed" + std::to_string(n++) + ".ini", text, std::strlen(text));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  WriteSeedsWhenAsked(WriteSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CIniFile ini;
  ini.MergeText(text.c_str(), text.size());
  const CString written = ini.ToText();
  CIniFile again;
  again.MergeText(written, static_cast<size_t>(written.GetLength()));
  if (ini.GetSectionCount() > 0) ini.ReadValue(ini.GetSectionName(0), "x");
  return 0;
}
