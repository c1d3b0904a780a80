// eqprobe: a console tool for tests and for people checking the engine.
//   eqprobe dump [--style N] TEXT   prints the token tree dump of TEXT,
//                                   parsed as one line with the option set
//                                   of default style N (0 when not given).
//   eqprobe measure [--style N] TEXT
//   eqprobe measure [--style N] --lines LINE...
//                                   prints the equation's extent record,
//                                   measured as the document measures its
//                                   equation list (Windows only).
//   eqprobe render [--style N] TEXT OUT.bmp|OUT.emf
//   eqprobe render [--style N] --lines LINE... OUT.bmp|OUT.emf
//                                   draws the equation as the view does: into
//                                   a 96-dpi bitmap in 0.01 mm units with its
//                                   top-left corner at (500, -500), or into
//                                   an enhanced metafile (Windows only).
//   eqprobe gallery CASES OUTDIR    renders every case of a render case file
//                                   into OUTDIR/NAME.bmp (Windows only).
// TEXT is one line. After --lines every argument is a line of its own (the
// last one of render is the output file): the lines are joined by CR LF and
// split by the equation list, as the document splits the text box's text.
// For measure and render, a single TEXT starting with "tree:" is a
// hand-written token tree (engine/TreeText.h) instead of equation text.
// The dump is written byte for byte (CR LF line ends, ANSI characters).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "engine/EquationLine.h"
#include "engine/EquationList.h"
#include "engine/TreeText.h"
#include "options/QVMOptions.h"

#ifdef _WIN32
#include "engine/LineRender.h"
#endif

namespace {

constexpr int kUsageError = 2;

int Usage() {
  std::fputs("usage: eqprobe dump [--style N] TEXT\n"
             "       eqprobe measure [--style N] TEXT | --lines LINE...\n"
             "       eqprobe render [--style N] TEXT | --lines LINE... OUT.bmp|OUT.emf\n"
             "       eqprobe gallery CASES OUTDIR\n",
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
// Reads "[--style N] TEXT" or "[--style N] --lines LINE..." followed by
// `extra` further arguments, and sets up the list; `next` becomes the index
// of the first extra argument. 0, or the exit code after a message.
int Prepare(int argc, char** argv, int extra, QVMOptions& options, QVEquationList& list,
            int& next) {
  int style = 0;
  if (!ParseOptions(argc, argv, style, next)) return Usage();
  const bool lines = next < argc && std::strcmp(argv[next], "--lines") == 0;
  const int first = lines ? next + 1 : next;
  next = lines ? argc - extra : first + 1;
  if (next != argc - extra || next <= first) return Usage();
  std::string text = argv[first];
  for (int i = first + 1; i < next; ++i) text += std::string("\r\n") + argv[i];
  const RenderCase c{"", "style=" + std::to_string(style), text};
  std::string error;
  if (PrepareRenderList(c, options, list, &error)) return 0;
  std::fprintf(stderr, "eqprobe: %s\n", error.c_str());
  return 1;
}

int Measure(int argc, char** argv) {
  QVMOptions options;
  QVEquationList list;
  int next = 0;
  if (const int failed = Prepare(argc, argv, 0, options, list, next)) return failed;
  const ExtentRecord r = MeasureListOnScreen(list, options);
  std::printf("width %d height %d align %d adjust %d raise %d raised %d margin %d\n", r.width,
              r.height, r.align, r.adjust, r.raise, r.raised ? 1 : 0, r.margin);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

bool EndsWith(const char* text, const char* end) {
  const size_t n = std::strlen(text), m = std::strlen(end);
  return n >= m && _stricmp(text + n - m, end) == 0;
}

int Render(int argc, char** argv) {
  QVMOptions options;
  QVEquationList list;
  int next = 0;
  if (const int failed = Prepare(argc, argv, 1, options, list, next)) return failed;
  const char* out = argv[next];
  if (EndsWith(out, ".emf")) {
    HENHMETAFILE emf = RecordList(list, options, out);
    if (!emf) return 1;
    ::DeleteEnhMetaFile(emf);
    return 0;
  }
  if (!EndsWith(out, ".bmp")) return Usage();
  const auto canvas = RenderList(list, options);
  return canvas && canvas->Save(out) ? 0 : 1;
}

int Gallery(int argc, char** argv) {
  if (argc != 4) return Usage();
  std::vector<RenderCase> cases;
  std::string error;
  if (!ReadRenderCases(argv[2], cases, &error)) {
    std::fprintf(stderr, "eqprobe: %s\n", error.c_str());
    return 1;
  }
  int failures = 0;
  for (const RenderCase& c : cases) {
    QVMOptions options;
    QVEquationList list;
    const std::string out = std::string(argv[3]) + "/" + c.name + ".bmp";
    std::unique_ptr<LineCanvas> canvas;
    if (!PrepareRenderList(c, options, list, &error) || !(canvas = RenderList(list, options)) ||
        !canvas->Save(out.c_str())) {
      std::fprintf(stderr, "eqprobe: %s: %s\n", c.name.c_str(), error.c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
#else
int Measure(int, char**) {
  std::fputs("eqprobe: measuring needs Windows (run the Windows build under Wine)\n", stderr);
  return 1;
}
int Render(int argc, char** argv) { return Measure(argc, argv); }
int Gallery(int argc, char** argv) { return Measure(argc, argv); }
#endif

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "dump") == 0) return Dump(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "measure") == 0) return Measure(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "render") == 0) return Render(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "gallery") == 0) return Gallery(argc, argv);
  return Usage();
}
