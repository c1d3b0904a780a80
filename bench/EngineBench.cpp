// engine_bench: how long the equation engine takes on a fixed corpus of
// everyday equations (bench/corpus.txt), all in one process, style 0.
//   per equation: parse (a changed line 1), measure (the list's measure) and
//   draw (the list's draw as the view calls it, which measures again), each
//   the median of several passes over the corpus; figures are the median,
//   the 95th percentile and the largest over the corpus;
//   the road of an edit: a twenty-line document where one character of one
//   line changes: the text split and the line parsed, all lines measured and
//   drawn where the edit changed the picture, as the view does after every
//   keystroke (it invalidates the bands the list reports changed); once for the first twenty
//   everyday lines of the corpus, once for twenty heavy ones (sums,
//   integrals, limits, matrices, roots, vectors).
//   a long document opened: twenty lines of 50,000 characters (sixteen of
//   corpus equations joined by blanks, four long chains), parsed, measured
//   and drawn once in a fresh list, as the program does when it opens one
//   (bench/open_bench.py times the whole program doing so).
// Natively only the parse is timed (measuring needs a device context).
// Usage: engine_bench [--long] [CORPUS]   (--long: the long document only)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/EquationList.h"
#include "options/QVMOptions.h"

#ifdef _WIN32
#include "engine/LineRender.h"
#endif

namespace {

constexpr int kPasses = 5;        // passes over the corpus; per equation the median
#ifdef _WIN32  // measuring, drawing and the edits need a device context
constexpr int kEdits = 400;       // edits timed on the twenty-line document
// Targets: one equation parsed, measured and drawn; the road of an edit.
constexpr double kEquationMedianMs = 0.1;
constexpr double kEquationMaxMs = 0.5;
constexpr double kEditMedianMs = 1.0;
constexpr double kEditP95Ms = 2.0;

// The heavy document: twenty lines of the corpus with sums, integrals,
// limits, matrices, roots and vectors.
const char* const kHeavyLines[] = {
    "(a+b)^n=sigma(k=0,n)nCk a^(n-k)b^k",
    "f'(x)=lim(h->0)(f(x+h)-f(x))/h",
    "lim(x->inf)(1+1/x)^x=e",
    "int(-inf,inf)e^(-x^2)dx=sqrt(pi)",
    "int(0,1)int(0,1)xy dx dy=1/4",
    "L=int(a,b)sqrt(1+(dy/dx)^2)dx",
    "f(x)=sigma(n=0,inf)(f^(n)(a))/n!(x-a)^n",
    "sigma(k=1,n)k^2=(n(n+1)(2n+1))/6",
    "s^2=1/(n-1)sigma(i=1,n)(x\\i-x_)^2",
    "x=(-b+-sqrt(b^2-4ac))/(2a)",
    "d=sqrt((x2-x1)^2+(y2-y1)^2)",
    "sqrt(1+sqrt(1+sqrt(1+x)))",
    "f(x)=1/(sigma sqrt(2pi))e^(-(x-mu)^2/(2sigma^2))",
    "gamma=1/sqrt(1-v^2/c^2)",
    "(a,b c,d)^-1=1/(ad-bc)(d,-b -c,a)",
    "(1,2 3,4)(5,6 7,8)=(19,22 43,50)",
    "R=(cos theta,-sin theta sin theta,cos theta)",
    "A=[1,0,0 0,1,0 0,0,1]",
    "-->(AB)+-->(BC)=-->(AC)",
    "|-->(v)|=sqrt(vx^2+vy^2)",
};
#endif

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::vector<std::string> ReadCorpus(const char* path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  }
  return lines;
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const size_t at = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(at, values.size() - 1)];
}

void PrintFigures(const char* what, const std::vector<double>& ms) {
  std::printf("  %-28s median %7.3f ms   p95 %7.3f ms   max %7.3f ms\n", what,
              Percentile(ms, 0.5), Percentile(ms, 0.95), Percentile(ms, 1.0));
}


// Times `step` for every equation in kPasses passes: per equation the
// median of its passes.
template <typename Step>
std::vector<double> PerEquation(const std::vector<std::string>& corpus, Step step) {
  std::vector<std::vector<double>> samples(corpus.size());
  for (int pass = 0; pass < kPasses; ++pass)
    for (size_t i = 0; i < corpus.size(); ++i) samples[i].push_back(step(corpus[i]));
  std::vector<double> medians;
  for (const auto& s : samples) medians.push_back(Percentile(s, 0.5));
  return medians;
}

std::vector<double> TimeParse(const std::vector<std::string>& corpus, QVMOptions& options) {
  QVEquationList list;
  list.SetText("x", options);  // the lexicon is built once per line engine
  return PerEquation(corpus, [&](const std::string& text) {
    const auto start = Clock::now();
    list.SetText(CString(text.c_str()), options);
    return Since(start);
  });
}

// The twenty lines joined by CR LF, as the text box holds them.
CString Join(const std::vector<std::string>& lines) {
  CString text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += CString(lines[i].c_str());
  }
  return text;
}

// The long document of bench/open_bench.py: sixteen lines of the corpus's
// equations joined by blanks, each line starting thirteen equations later,
// then four chains, every line 50,000 characters.
std::vector<std::string> LongDocument(const std::vector<std::string>& corpus) {
  constexpr size_t kLength = 50000;
  std::vector<std::string> lines;
  for (size_t n = 0; n < 16; ++n) {
    std::string line;
    for (size_t k = 13 * n; line.size() < kLength; ++k) line += corpus[k % corpus.size()] + " ";
    lines.push_back(line.substr(0, kLength));
  }
  const auto chain = [](const std::string& piece, const std::string& closer) {
    std::string line;
    const size_t count = kLength / (piece.size() + closer.size());
    for (size_t k = 0; k < count; ++k) line += piece;
    for (size_t k = 0; k < count; ++k) line += closer;
    return line;
  };
  lines.push_back(chain("x^a/", ""));
  lines.push_back(chain("1/(", ")"));
  lines.push_back(chain("a/", ""));
  lines.push_back(chain("sigma(", ""));
  return lines;
}

#ifdef _WIN32
// One figure beside its target.
void PrintTarget(const char* what, double ms, double target) {
  std::printf("  target %-34s %7.3f ms  (under %.1f ms: %s)\n", what, ms, target,
              ms < target ? "met" : "MISSED");
}

// One character typed or taken back at the end of a line, or at its start
// (which widens a left-hand side and moves the column every line aligns on).
void EditLine(std::vector<std::string>& lines, int edit, bool atStart) {
  std::string& line = lines[static_cast<size_t>(edit) % lines.size()];
  const bool typing = (edit / static_cast<int>(lines.size())) % 2 == 0;
  if (atStart) line = typing ? "1" + line : line.substr(1);
  else if (typing) line += '1';
  else line.pop_back();
}

struct DrawFigures {
  std::vector<double> measure, draw, parseAndMeasure;
};

// A canvas as large as the view's window would be for a long document.
constexpr int32_t kCanvasSize = 30000;

DrawFigures TimeDrawing(const std::vector<std::string>& corpus, QVMOptions& options) {
  LineCanvas canvas(CSize(kCanvasSize, kCanvasSize));
  QVEquationList list;
  list.SetText("x", options);
  DrawFigures f;
  std::vector<std::vector<double>> measure(corpus.size()), draw(corpus.size()), both(corpus.size());
  for (int pass = 0; pass < kPasses; ++pass)
    for (size_t i = 0; i < corpus.size(); ++i) {
      auto start = Clock::now();
      list.SetText(CString(corpus[i].c_str()), options);
      const double parse = Since(start);
      start = Clock::now();
      list.Measure(canvas.Dc(), options);
      const double measured = Since(start);
      canvas.Dc().SetTextAlign(TA_TOP | TA_LEFT);
      start = Clock::now();
      list.Draw(canvas.Dc(), kViewMargin, -kViewMargin, options);
      draw[i].push_back(Since(start));
      measure[i].push_back(measured);
      both[i].push_back(parse + measured);
    }
  for (size_t i = 0; i < corpus.size(); ++i) {
    f.measure.push_back(Percentile(measure[i], 0.5));
    f.draw.push_back(Percentile(draw[i], 0.5));
    f.parseAndMeasure.push_back(Percentile(both[i], 0.5));
  }
  return f;
}

// The view's road after a keystroke: the text handed over, the list
// measured and the bands it changed found, then drawn where they are.
std::vector<double> TimeEdits(std::vector<std::string> lines, QVMOptions& options, bool atStart) {
  LineCanvas canvas(CSize(kCanvasSize, kCanvasSize));
  QVEquationList list;
  list.SetText(Join(lines), options);
  RepaintChangedBands(canvas, list, options, kViewMargin, -kViewMargin);
  std::vector<double> ms;
  for (int edit = 0; edit < kEdits; ++edit) {
    EditLine(lines, edit, atStart);
    const CString text = Join(lines);
    const auto start = Clock::now();
    list.SetText(text, options);
    RepaintChangedBands(canvas, list, options, kViewMargin, -kViewMargin);
    ms.push_back(Since(start));
  }
  return ms;
}

// Both edits of one twenty-line document, with their targets.
void ReportDocument(const char* name, const std::vector<std::string>& lines, QVMOptions& options) {
  std::printf("road of an edit, %s document of twenty lines, one character changed (%d edits):\n",
              name, kEdits);
  const std::vector<double> atEnd = TimeEdits(lines, options, false);
  const std::vector<double> atStart = TimeEdits(lines, options, true);
  PrintFigures("at a line's end", atEnd);
  PrintFigures("at its start (column moves)", atStart);
  std::vector<double> all = atEnd;
  all.insert(all.end(), atStart.begin(), atStart.end());
  PrintTarget("median of both", Percentile(all, 0.5), kEditMedianMs);
  PrintTarget("95th percentile of both", Percentile(all, 0.95), kEditP95Ms);
}
#endif

// The long document opened in a fresh list, each step once.
void ReportLongDocument(const std::vector<std::string>& lines, QVMOptions& options) {
  std::printf("a long document opened: twenty lines of 50,000 characters\n");
  QVEquationList list;
#ifdef _WIN32
  // Made first, as the program has its window before it opens a document:
  // Wine starts its desktop process at the first window or context, and
  // the pages of a tree parsed before that fork are all copied on write.
  LineCanvas canvas(CSize(kCanvasSize, kCanvasSize));
#endif
  auto start = Clock::now();
  list.SetText(Join(lines), options);
  std::printf("  parse                        %9.1f ms\n", Since(start));
#ifdef _WIN32
  start = Clock::now();
  list.Measure(canvas.Dc(), options);
  std::printf("  measure                      %9.1f ms\n", Since(start));
  start = Clock::now();
  RepaintChangedBands(canvas, list, options, kViewMargin, -kViewMargin);
  std::printf("  draw what a view shows       %9.1f ms\n", Since(start));
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const bool longOnly = argc > 1 && std::string(argv[1]) == "--long";
  const char* path = argc > 1 + longOnly ? argv[1 + longOnly] : OVELIN_BENCH_CORPUS;
  const std::vector<std::string> corpus = ReadCorpus(path);
  if (corpus.size() < static_cast<size_t>(QVEquationList::kLineCount)) {
    std::fprintf(stderr, "engine_bench: cannot read a corpus of 20 or more equations from %s\n", path);
    return 1;
  }
  QVMOptions options(0);
  if (longOnly) {
    ReportLongDocument(LongDocument(corpus), options);
    return 0;
  }
  std::printf("engine_bench: %zu equations, median of %d passes each\n", corpus.size(), kPasses);
  PrintFigures("parse", TimeParse(corpus, options));
#ifdef _WIN32
  const DrawFigures drawing = TimeDrawing(corpus, options);
  PrintFigures("measure", drawing.measure);
  PrintFigures("draw (measures again)", drawing.draw);
  PrintFigures("parse + measure", drawing.parseAndMeasure);
  std::vector<double> whole;
  for (size_t i = 0; i < corpus.size(); ++i)
    whole.push_back(drawing.parseAndMeasure[i] + drawing.draw[i]);
  PrintFigures("parse + measure + draw", whole);
  PrintTarget("one equation, median", Percentile(whole, 0.5), kEquationMedianMs);
  PrintTarget("one equation, largest", Percentile(whole, 1.0), kEquationMaxMs);
  for (size_t i = 0; i < corpus.size(); ++i)
    if (whole[i] > kEquationMaxMs) std::printf("    %.3f ms  %s\n", whole[i], corpus[i].c_str());
  ReportDocument("everyday", std::vector<std::string>(corpus.begin(), corpus.begin() + QVEquationList::kLineCount), options);
  ReportDocument("heavy", std::vector<std::string>(std::begin(kHeavyLines), std::end(kHeavyLines)), options);
  ReportLongDocument(LongDocument(corpus), options);
#else
  ReportLongDocument(LongDocument(corpus), options);
  std::printf("(measure, draw and the road of an edit need the Windows build)\n");
#endif
  return 0;
}
