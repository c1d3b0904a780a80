// parse_bench: how long one parse of a few long lines takes (style 0),
// best of several runs, in milliseconds; then chains and families of lines
// of 25,000 and 100,000 characters, which must parse in linear time, and
// the reading of large settings files.
//   parse_bench            the figures
//   parse_bench --families the families alone
//   parse_bench --search   looks for families of lines whose parse grows
//                          faster than linearly (takes some minutes)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "engine/EquationLine.h"
#include "options/IniFile.h"
#include "options/QVMOptions.h"

namespace {

std::string Repeat(const std::string& piece, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += piece;
  return text;
}

double BestMilliseconds(const std::string& text, const QVMOptions& options, int runs = 5) {
  double best = 1e9;
  for (int run = 0; run < runs; ++run) {
    EquationLine line;
    const auto start = std::chrono::steady_clock::now();
    line.SetText(CString(text), options);
    const auto stop = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double, std::milli>(stop - start).count());
    if (best > 1000) break;  // a slow parse is slow enough once
  }
  return best;
}

// `piece` repeated up to `length` characters.
std::string Chain(const std::string& piece, int length) {
  return Repeat(piece, length / static_cast<int>(piece.size()));
}

// A family of lines: `piece` repeated, then, for a nested family, the
// closing brackets of the opening ones it typed, as many times.
struct Family {
  std::string piece;
  std::string closers;
};

std::string FamilyLine(const Family& family, int length) {
  const int size = static_cast<int>(family.piece.size() + family.closers.size());
  const int count = length / size;
  return Repeat(family.piece, count) + Repeat(family.closers, count);
}

std::string FamilyName(const Family& family) {
  std::string name = "\"" + family.piece + "\"";
  if (!family.closers.empty()) name += " then \"" + family.closers + "\"";
  return name;
}

// Milliseconds to read settings text of `sections` sections of `keys` keys.
double IniMilliseconds(int sections, int keys) {
  std::string text;
  for (int s = 0; s < sections; ++s) {
    text += "[Section" + std::to_string(s) + "]\r\n";
    for (int k = 0; k < keys; ++k) text += "Key" + std::to_string(k) + "=" + std::to_string(k) + "\r\n";
  }
  CIniFile ini;
  const auto start = std::chrono::steady_clock::now();
  ini.MergeText(text.data(), text.size());
  const auto stop = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::milli>(stop - start).count();
}

void PrintChains(const QVMOptions& options) {
  std::printf("\nchains (target at 100,000 characters: under 300 ms natively, 1 s under Wine;\n"
              "linear: four times the length takes about four times as long)\n");
  std::printf("  %-10s %12s %12s\n", "piece", "25,000", "100,000");
  for (const char* piece : {"a/", "a,", "1/(", "int(", "root", "div ", "sigma("}) {
    const std::string name = std::string("\"") + piece + "\"";
    std::printf("  %-10s %9.2f ms %9.2f ms\n", name.c_str(), BestMilliseconds(Chain(piece, 25000), options, 1),
                BestMilliseconds(Chain(piece, 100000), options, 1));
  }
}

// Families that once grew faster than linearly (found by --search, one or
// two of each kind): an exponent group reaching to the row's end taken by
// the "/" before it, stray closing brackets beside operators and infix
// words, nested groups, chains of script marks, opening brackets never
// closed among infix words, and separators beside fractions.
// clang-format off
const Family kFamilies[] = {
  {"x^a/", ""},   {"/^", ""},     {"^/", ""},     {"/)", ""},    {",)", ""},
  {"),", ""},     {"/]", ""},     {")root", ""},  {")div", ""},  {"/root", ""},
  {"/|", ""},     {"/x", ""},     {"/sqrt(", ""}, {"^a", ""},    {"\\_", ""},
  {"1/(", ")"},   {"/(", ")"},    {",(", ")"},    {",[", "]"},   {"^(", ")"},
  {"(root", ")"},  {"^//", ""},    {"/|^", "|"},   {"sqrt(rootroot", ""},
  {"rootroot(", ""}, {"(divdiv", ""}, {", /", ""},    {",^/", ""},
};
// clang-format on

// 100,000 characters' target in milliseconds, natively and under Wine.
#ifdef _WIN32
constexpr double kLongLineTarget = 1000;
#else
constexpr double kLongLineTarget = 300;
#endif

// Processor time of this thread: less disturbed by a busy machine than the
// clock on the wall. Under Wine a thread's processor time advances in steps
// of 10 ms, as long as a short family's whole parse: there the performance
// counter times it, and a quiet machine is needed.
double ThreadMilliseconds() {
#ifdef _WIN32
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
#else
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
#endif
}

double BestCpuMilliseconds(const std::string& text, const QVMOptions& options, int runs) {
  double best = 1e9;
  for (int run = 0; run < runs; ++run) {
    EquationLine line;
    const double start = ThreadMilliseconds();
    line.SetText(CString(text), options);
    best = std::min(best, ThreadMilliseconds() - start);
  }
  return best;
}

// Each family's two lengths are parsed in turn, kFamilyRuns times, and
// each length keeps its best processor time: on a shared machine the clock
// on the wall counts the time others ran, and a burst of load then lands on
// one length, not on both.
constexpr int kFamilyRuns = 5;

void PrintFamilies(const QVMOptions& options) {
  std::printf("\nfamilies (targets: 100,000 characters under 300 ms natively, 1 s under Wine;\n"
              "the ratio 100,000 / 25,000 at most 5; %s, best of %d)\n",
#ifdef _WIN32
              "time on the performance counter",
#else
              "processor time",
#endif
              kFamilyRuns);
  std::printf("  %-28s %12s %12s %7s\n", "line made of", "25,000", "100,000", "ratio");
  for (const Family& family : kFamilies) {
    const std::string shortLine = FamilyLine(family, 25000);
    const std::string longLine = FamilyLine(family, 100000);
    double small = 1e9;
    double large = 1e9;
    for (int run = 0; run < kFamilyRuns; ++run) {
      small = std::min(small, BestCpuMilliseconds(shortLine, options, 1));
      large = std::min(large, BestCpuMilliseconds(longLine, options, 1));
    }
    std::printf("  %-28s %9.2f ms %9.2f ms %7.2f%s\n", FamilyName(family).c_str(), small, large,
                large / small, large > kLongLineTarget || large / small > 5 ? "  over" : "");
  }
}

void PrintSettings() {
  std::printf("\nsettings files (target: 100,000 keys under 500 ms)\n");
  std::printf("  1 section of 100,000 keys    %9.2f ms\n", IniMilliseconds(1, 100000));
  std::printf("  10,000 sections of 10 keys   %9.2f ms\n", IniMilliseconds(10000, 10));
}

// ------------------------------------------------------------------ search

// How much longer four times the length takes, from `length` characters.
double GrowthRatio(const Family& family, int length, const QVMOptions& options, int runs) {
  const double small = BestCpuMilliseconds(FamilyLine(family, length), options, runs);
  const double large = BestCpuMilliseconds(FamilyLine(family, 4 * length), options, runs);
  return large / std::max(small, 1e-3);
}

// The language's marks, brackets, words, numbers and letters.
const char* const kSearchPieces[] = {
    "^", "\\", "/",     ",",    "_",      "'",        "!",     "|",   "(", ")", "[", "]", "{",
    "}", " ",  "sqrt(", "root", "int(", "sigma(", "product(", "lim(", "div", "1", "12", "a", "x",
};

// The closing brackets of the opening ones typed in `piece`, innermost first.
std::string ClosersOf(const std::string& piece) {
  std::string closers;
  for (char c : piece) {
    if (c == '(') closers.insert(closers.begin(), ')');
    if (c == '[') closers.insert(closers.begin(), ']');
    if (c == '{') closers.insert(closers.begin(), '}');
    if (c == '|') closers.insert(closers.begin(), '|');
  }
  return closers;
}

// Every concatenation of one to three pieces, repeated, and the nested form
// of those that open brackets.
std::vector<Family> Candidates() {
  std::vector<Family> families;
  std::vector<std::string> pieces(std::begin(kSearchPieces), std::end(kSearchPieces));
  std::vector<std::string> level = {""};
  for (int n = 1; n <= 3; ++n) {
    std::vector<std::string> next;
    for (const std::string& head : level)
      for (const std::string& piece : pieces) next.push_back(head + piece);
    for (const std::string& piece : next) {
      families.push_back({piece, ""});
      const std::string closers = ClosersOf(piece);
      if (!closers.empty()) families.push_back({piece, closers});
    }
    level.swap(next);
  }
  return families;
}

// Screens every candidate at 2,000 and 8,000 characters and looks again,
// at 4,000 and 16,000, at those that grew more than five times; prints the
// ones that still do, with that ratio.
int Search(int part, int parts) {
  const QVMOptions options(0);
  const std::vector<Family> families = Candidates();
  std::fprintf(stderr, "%zu candidate families\n", families.size());
  for (size_t n = static_cast<size_t>(part); n < families.size(); n += static_cast<size_t>(parts)) {
    const Family& family = families[n];
    if (GrowthRatio(family, 2000, options, 2) <= 5) continue;
    const double ratio = GrowthRatio(family, 4000, options, 3);
    if (ratio <= 5) continue;
    std::printf("  %-28s %7.2f\n", FamilyName(family).c_str(), ratio);
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // Each figure is the best of several parses in this process. glibc hands
  // large freed blocks back to the system at once and keeps smaller ones,
  // so a short line's later parses would find their memory in place and a
  // long line's fault in every page again: keep freed memory, so that both
  // lengths are timed alike (a first parse's page faults grow with the
  // line's memory, linearly).
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
  if (argc >= 2 && std::strcmp(argv[1], "--search") == 0) {
    // "--search PART PARTS" shares the search among several processes.
    const int parts = argc >= 4 ? std::max(1, std::atoi(argv[3])) : 1;
    return Search(argc >= 4 ? std::atoi(argv[2]) % parts : 0, parts);
  }
  const QVMOptions options(0);
  if (argc >= 2 && std::strcmp(argv[1], "--families") == 0) {
    PrintFamilies(options);
    return 0;
  }
  const struct {
    const char* name;
    std::string text;
  } lines[] = {
      {"1000 x \"a/\"", Repeat("a/", 1000)},
      {"1000 x \"x^\"", Repeat("x^", 1000)},
      {"1000 x \"a,\"", Repeat("a,", 1000)},
      {"30000 x \"(\"", std::string(30000, '(')},
      {"1000 x \"(a+b)/c \"", Repeat("(a+b)/c ", 1000)},
  };
  for (const auto& line : lines)
    std::printf("%-22s %9.2f ms\n", line.name, BestMilliseconds(line.text, options));
  PrintChains(options);
  PrintFamilies(options);
  PrintSettings();
  return 0;
}
