// eqprobe: a console tool for tests and for people checking the engine.
//   eqprobe dump [--style N] TEXT   prints the token tree dump of TEXT,
//                                   parsed as one line with the option set
//                                   of default style N (0 when not given).
// The dump is written byte for byte (CR LF line ends, ANSI characters).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "engine/EquationLine.h"
#include "options/QVMOptions.h"

namespace {

constexpr int kUsageError = 2;

int Usage() {
  std::fputs("usage: eqprobe dump [--style N] TEXT\n", stderr);
  return kUsageError;
}

// Reads a style number; false for anything but a whole decimal number.
bool ParseStyle(const char* text, int& style) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < -1000 || value > 1000) return false;
  style = static_cast<int>(value);
  return true;
}

int Dump(int argc, char** argv) {
  int style = 0;
  int next = 2;
  if (next < argc && std::strcmp(argv[next], "--style") == 0) {
    if (next + 1 >= argc || !ParseStyle(argv[next + 1], style)) return Usage();
    next += 2;
  }
  if (next + 1 != argc) return Usage();
  QVMOptions options(style);
  EquationLine line;
  line.SetText(argv[next], options);
  const CString dump = line.DumpTree();
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::fwrite(dump.GetString(), 1, static_cast<size_t>(dump.GetLength()), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "dump") == 0) return Dump(argc, argv);
  return Usage();
}
