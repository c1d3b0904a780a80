// libFuzzer target: the INI store's reading of file text on arbitrary bytes;
// what it read is written out and read again.
// OVELIN_FUZZ_WRITE_SEEDS=DIR makes it write seed texts there and stop.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "options/IniFile.h"

namespace {

void WriteSeeds(const std::string& folder) {
  static const char* const kSeeds[] = {
      "[Options]\r\nFontSize=12\r\nFace=Times New Roman\r\n\r\n[Recent]\r\nFile1=C:\\a.qvm\r\n",
      "; comment\n[A]\nx=1\ny = 2 \n=empty name\nnoequals\n[B]\n[A]\nx=3\n",
      "[Unclosed\nkey=value=more\n\n[]\n=\n",
  };
  int n = 0;
  for (const char* text : kSeeds) {
    if (FILE* out = std::fopen((folder + "/seed" + std::to_string(n++) + ".ini").c_str(), "wb")) {
      std::fputs(text, out);
      std::fclose(out);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* folder = std::getenv("OVELIN_FUZZ_WRITE_SEEDS")) {
    WriteSeeds(folder);
    std::exit(0);
  }
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
