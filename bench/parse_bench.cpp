// parse_bench: how long one parse of a few long lines takes (style 0),
// best of several runs, in milliseconds; then chains of 100,000 characters,
// which must parse in linear time, and the reading of large settings files.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

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
  }
  return best;
}

// `piece` repeated up to `length` characters.
std::string Chain(const std::string& piece, int length) {
  return Repeat(piece, length / static_cast<int>(piece.size()));
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

void PrintSettings() {
  std::printf("\nsettings files (target: 100,000 keys under 500 ms)\n");
  std::printf("  1 section of 100,000 keys    %9.2f ms\n", IniMilliseconds(1, 100000));
  std::printf("  10,000 sections of 10 keys   %9.2f ms\n", IniMilliseconds(10000, 10));
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
  PrintChains(options);
  PrintSettings();
  return 0;
}
