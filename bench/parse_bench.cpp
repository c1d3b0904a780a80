// parse_bench: how long one parse of a few long lines takes (style 0),
// best of several runs, in milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "engine/EquationLine.h"
#include "options/QVMOptions.h"

namespace {

std::string Repeat(const std::string& piece, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += piece;
  return text;
}

double BestMilliseconds(const std::string& text, const QVMOptions& options) {
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    EquationLine line;
    const auto start = std::chrono::steady_clock::now();
    line.SetText(CString(text), options);
    const auto stop = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double, std::milli>(stop - start).count());
  }
  return best;
}

}  // namespace

int main() {
  const QVMOptions options(0);
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
  return 0;
}
