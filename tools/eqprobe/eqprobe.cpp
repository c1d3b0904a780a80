// eqprobe: a console tool for tests and for people checking the engine.
//   eqprobe dump [--style N] TEXT   prints the token tree dump of TEXT,
//                                   parsed as one line with the option set
//                                   of default style N (0 when not given).
//   eqprobe measure [--style N] TEXT
//                                   prints the line's extent record, measured
//                                   as the view measures (Windows only).
//   eqprobe render [--style N] TEXT OUT.bmp|OUT.emf
//                                   draws the line as the view does: into a
//                                   96-dpi bitmap in 0.01 mm units with its
//                                   top-left corner at (500, -500), or into
//                                   an enhanced metafile (Windows only).
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

#ifdef _WIN32
#include "engine/LineRender.h"
#endif

namespace {

constexpr int kUsageError = 2;

int Usage() {
  std::fputs("usage: eqprobe dump [--style N] TEXT\n"
             "       eqprobe measure [--style N] TEXT\n"
             "       eqprobe render [--style N] TEXT OUT.bmp|OUT.emf\n",
             stderr);
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

// Reads "[--style N]" at argv[2]; `next` becomes the first argument after it.
bool ParseOptions(int argc, char** argv, int& style, int& next) {
  style = 0;
  next = 2;
  if (next < argc && std::strcmp(argv[next], "--style") == 0) {
    if (next + 1 >= argc || !ParseStyle(argv[next + 1], style)) return false;
    next += 2;
  }
  return true;
}

int Dump(int argc, char** argv) {
  int style = 0, next = 0;
  if (!ParseOptions(argc, argv, style, next) || next + 1 != argc) return Usage();
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

#ifdef _WIN32
int Measure(int argc, char** argv) {
  int style = 0, next = 0;
  if (!ParseOptions(argc, argv, style, next) || next + 1 != argc) return Usage();
  QVMOptions options(style);
  EquationLine line;
  line.SetText(argv[next], options);
  const ExtentRecord r = MeasureLineOnScreen(line, options);
  std::printf("width %d height %d align %d adjust %d raise %d raised %d margin %d\n", r.width,
              r.height, r.align, r.adjust, r.raise, r.raised ? 1 : 0, r.margin);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

bool EndsWith(const char* text, const char* end) {
  const size_t n = std::strlen(text), m = std::strlen(end);
  return n >= m && _stricmp(text + n - m, end) == 0;
}

int Render(int argc, char** argv) {
  int style = 0, next = 0;
  if (!ParseOptions(argc, argv, style, next) || next + 2 != argc) return Usage();
  const char* out = argv[next + 1];
  QVMOptions options(style);
  EquationLine line;
  line.SetText(argv[next], options);
  if (EndsWith(out, ".emf")) {
    HENHMETAFILE emf = RecordLine(line, options, out);
    if (!emf) return 1;
    ::DeleteEnhMetaFile(emf);
    return 0;
  }
  if (!EndsWith(out, ".bmp")) return Usage();
  const auto canvas = RenderLine(line, options);
  return canvas && canvas->Save(out) ? 0 : 1;
}
#else
int Measure(int, char**) {
  std::fputs("eqprobe: measuring needs Windows (run the Windows build under Wine)\n", stderr);
  return 1;
}
int Render(int argc, char** argv) { return Measure(argc, argv); }
#endif

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "dump") == 0) return Dump(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "measure") == 0) return Measure(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "render") == 0) return Render(argc, argv);
  return Usage();
}
