// engine_bench: how long the equation engine takes on a fixed corpus of
// everyday equations (bench/corpus.txt), all in one process, style 0.
//   per equation: parse (a changed line 1), measure (the list's measure) and
//   draw (the list's draw as the view calls it, which measures again), each
//   the median of several passes over the corpus; figures are the median,
//   the 95th percentile and the largest over the corpus;
//   the road of an edit: a twenty-line document where one character of one
//   line changes: the text split and the line parsed, all lines measured and
//   drawn, as the view does after every keystroke.
// Natively only the parse is timed (measuring needs a device context).
// Usage: engine_bench [CORPUS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine/EquationList.h"
#include "options/QVMOptions.h"

#ifdef _WIN32
#include "engine/LineRender.h"
#endif

namespace {

constexpr int kPasses = 5;        // passes over the corpus; per equation the median
constexpr int kEdits = 400;       // edits timed on the twenty-line document
constexpr double kEquationBudgetMs = 1.0;  // parse and measure of one equation
constexpr double kEditBudgetMs = 2.0;      // median road of an edit

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

#ifdef _WIN32
// The twenty lines joined by CR LF, as the text box holds them.
CString Join(const std::vector<std::string>& lines) {
  CString text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += CString(lines[i].c_str());
  }
  return text;
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
// measured, then drawn.
std::vector<double> TimeEdits(const std::vector<std::string>& corpus, QVMOptions& options,
                              bool atStart) {
  std::vector<std::string> lines(corpus.begin(), corpus.begin() + QVEquationList::kLineCount);
  LineCanvas canvas(CSize(kCanvasSize, kCanvasSize));
  QVEquationList list;
  list.SetText(Join(lines), options);
  list.Measure(canvas.Dc(), options);
  std::vector<double> ms;
  for (int edit = 0; edit < kEdits; ++edit) {
    EditLine(lines, edit, atStart);
    const CString text = Join(lines);
    const auto start = Clock::now();
    list.SetText(text, options);
    list.Measure(canvas.Dc(), options);
    canvas.Dc().SetTextAlign(TA_TOP | TA_LEFT);
    list.Draw(canvas.Dc(), kViewMargin, -kViewMargin, options);
    ms.push_back(Since(start));
  }
  return ms;
}

// The equations whose parse and measure take longer than the budget.
void ReportSlow(const std::vector<std::string>& corpus, const std::vector<double>& ms) {
  int slow = 0;
  for (size_t i = 0; i < corpus.size(); ++i)
    if (ms[i] > kEquationBudgetMs) {
      std::printf("  over %.1f ms: %.3f ms  %s\n", kEquationBudgetMs, ms[i], corpus[i].c_str());
      ++slow;
    }
  std::printf("  %d of %zu equations over %.1f ms to parse and measure\n", slow, corpus.size(),
              kEquationBudgetMs);
}
#endif

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : OVELIN_BENCH_CORPUS;
  const std::vector<std::string> corpus = ReadCorpus(path);
  if (corpus.size() < static_cast<size_t>(QVEquationList::kLineCount)) {
    std::fprintf(stderr, "engine_bench: cannot read a corpus of 20 or more equations from %s\n", path);
    return 1;
  }
  QVMOptions options(0);
  std::printf("engine_bench: %zu equations, median of %d passes each\n", corpus.size(), kPasses);
  PrintFigures("parse", TimeParse(corpus, options));
#ifdef _WIN32
  const DrawFigures drawing = TimeDrawing(corpus, options);
  PrintFigures("measure", drawing.measure);
  PrintFigures("draw (measures again)", drawing.draw);
  PrintFigures("parse + measure", drawing.parseAndMeasure);
  ReportSlow(corpus, drawing.parseAndMeasure);
  const std::vector<double> edits = TimeEdits(corpus, options, false);
  std::printf("road of an edit, twenty lines, one character changed (%d edits):\n", kEdits);
  PrintFigures("at a line's end", edits);
  PrintFigures("at its start (column moves)", TimeEdits(corpus, options, true));
  std::printf("  target: median under %.1f ms: %s\n", kEditBudgetMs,
              Percentile(edits, 0.5) < kEditBudgetMs ? "met" : "MISSED");
#else
  std::printf("(measure, draw and the road of an edit need the Windows build)\n");
#endif
  return 0;
}
