// Table of the symbol insert commands and the edit they make.
#include "app/frame/SymbolCommands.h"

#include <algorithm>
#include <string>

#include "resources/resource.h"

namespace {

constexpr CaretRule kAfter = CaretRule::AfterText;

// clang-format off
constexpr SymbolCommand kSymbolCommands[] = {
  // id                            text            caret   palette                        button
  {ID_GREEK_PI,                    "pi",           kAfter, IDR_PALETTE_GREEK_LOWER,       1},
  {ID_GREEK_THETA,                 "th",           kAfter, IDR_PALETTE_GREEK_LOWER,       2},
  {ID_GREEK_ALPHA,                 "al",           kAfter, IDR_PALETTE_GREEK_LOWER,       3},
  {ID_GREEK_BETA,                  "be",           kAfter, IDR_PALETTE_GREEK_LOWER,       4},
  {ID_GREEK_CHI,                   "ch",           kAfter, IDR_PALETTE_GREEK_LOWER,       5},
  {ID_GREEK_DELTA,                 "de",           kAfter, IDR_PALETTE_GREEK_LOWER,       6},
  {ID_GREEK_UPPER_DELTA,           "DE",           kAfter, IDR_PALETTE_GREEK_UPPER,       2},
  {ID_GREEK_PHI,                   "ph",           kAfter, IDR_PALETTE_GREEK_LOWER,       8},
  {ID_GREEK_GAMMA,                 "ga",           kAfter, IDR_PALETTE_GREEK_LOWER,       9},
  {ID_GREEK_LAMBDA,                "la",           kAfter, IDR_PALETTE_GREEK_LOWER,      10},
  {ID_GREEK_MU,                    "mu",           kAfter, IDR_PALETTE_GREEK_LOWER,      11},
  {ID_GREEK_RHO,                   "rh",           kAfter, IDR_PALETTE_GREEK_LOWER,      12},
  {ID_GREEK_SIGMA,                 "si",           kAfter, IDR_PALETTE_GREEK_LOWER,      13},
  {ID_GREEK_UPPER_SIGMA,           "SI",           kAfter, IDR_PALETTE_GREEK_UPPER,       1},
  {ID_GREEK_OMEGA,                 "om",           kAfter, IDR_PALETTE_GREEK_LOWER,      15},
  {ID_GREEK_EPSILON,               "ep",           kAfter, IDR_PALETTE_GREEK_LOWER,       7},
  {ID_GREEK_ZETA,                  "ze",           kAfter, IDR_PALETTE_GREEK_LOWER,      14},
  {ID_GREEK_ETA,                   "et",           kAfter, IDR_PALETTE_GREEK_LOWER,      16},
  {ID_GREEK_IOTA,                  "io",           kAfter, IDR_PALETTE_GREEK_LOWER,      17},
  {ID_GREEK_KAPPA,                 "ka",           kAfter, IDR_PALETTE_GREEK_LOWER,      18},
  {ID_GREEK_NU,                    "nu",           kAfter, IDR_PALETTE_GREEK_LOWER,      19},
  {ID_GREEK_XI,                    "xi",           kAfter, IDR_PALETTE_GREEK_LOWER,      20},
  {ID_GREEK_TAU,                   "ta",           kAfter, IDR_PALETTE_GREEK_LOWER,      21},
  {ID_GREEK_UPSILON,               "up",           kAfter, IDR_PALETTE_GREEK_LOWER,      22},
  {ID_GREEK_UPPER_OMEGA,           "OM",           kAfter, IDR_PALETTE_GREEK_UPPER,       3},
  {ID_GREEK_UPPER_UPSILON,         "UP",           kAfter, IDR_PALETTE_GREEK_UPPER,       9},
  {ID_GREEK_UPPER_THETA,           "TH",           kAfter, IDR_PALETTE_GREEK_UPPER,       5},
  {ID_GREEK_UPPER_PI,              "PI",           kAfter, IDR_PALETTE_GREEK_UPPER,       6},
  {ID_GREEK_UPPER_LAMBDA,          "LA",           kAfter, IDR_PALETTE_GREEK_UPPER,       7},
  {ID_GREEK_UPPER_GAMMA,           "GA",           kAfter, IDR_PALETTE_GREEK_UPPER,       4},
  {ID_GREEK_UPPER_PSI,             "PS",           kAfter, IDR_PALETTE_GREEK_UPPER,      11},
  {ID_GREEK_UPPER_PHI,             "PH",           kAfter, IDR_PALETTE_GREEK_UPPER,      10},
  {ID_GREEK_UPPER_XI,              "XI",           kAfter, IDR_PALETTE_GREEK_UPPER,       8},
  {ID_SYMBOL_LESS_EQUAL,           "<=",           kAfter, IDR_PALETTE_SYMBOLS,           1},
  {ID_SYMBOL_GREATER_EQUAL,        ">=",           kAfter, IDR_PALETTE_SYMBOLS,           2},
  {ID_SYMBOL_NOT_EQUAL,            "<>",           kAfter, IDR_PALETTE_SYMBOLS,           3},
  {ID_SYMBOL_CONGRUENT,            "=~",           kAfter, IDR_PALETTE_SYMBOLS,           4},
  {ID_SYMBOL_APPROX,               "~~",           kAfter, IDR_PALETTE_SYMBOLS,           5},
  {ID_SYMBOL_IDENTICAL,            "-=",           kAfter, IDR_PALETTE_SYMBOLS,           6},
  {ID_SYMBOL_PLUS_MINUS,           "+-",           kAfter, IDR_PALETTE_SYMBOLS,           7},
  {ID_SYMBOL_DIVIDE,               "/ ",           kAfter, IDR_PALETTE_SYMBOLS,           8},
  {ID_SYMBOL_ARROW,                "->",           kAfter, IDR_PALETTE_SYMBOLS,           9},
  {ID_SYMBOL_IMPLIES,              "=>",           kAfter, IDR_PALETTE_SYMBOLS,          10},
  {ID_SYMBOL_INFINITY,             "inf",          kAfter, IDR_PALETTE_SYMBOLS,          11},
  {ID_SYMBOL_TRIANGLE,             "tri",          kAfter, IDR_PALETTE_SYMBOLS,          12},
  {ID_SYMBOL_ANGLE,                "ang",          kAfter, IDR_PALETTE_SYMBOLS,          13},
  {ID_SYMBOL_DOT_PRODUCT,          "dp",           kAfter, IDR_PALETTE_SYMBOLS,          29},
  {ID_SYMBOL_PERPENDICULAR,        "perp",         kAfter, IDR_PALETTE_SYMBOLS,          14},
  {ID_SYMBOL_AND,                  "and",          kAfter, IDR_PALETTE_SYMBOLS,          15},
  {ID_SYMBOL_OR,                   "or",           kAfter, IDR_PALETTE_SYMBOLS,          16},
  {ID_SYMBOL_ELEMENT,              "element",      kAfter, IDR_PALETTE_SYMBOLS,          17},
  {ID_SYMBOL_NOT_ELEMENT,          "notelement",   kAfter, IDR_PALETTE_SYMBOLS,          18},
  {ID_SYMBOL_SUBSET,               "subset",       kAfter, IDR_PALETTE_SYMBOLS,          19},
  {ID_SYMBOL_NOT_SUBSET,           "notsubset",    kAfter, IDR_PALETTE_SYMBOLS,          20},
  {ID_SYMBOL_PROPER_SUBSET,        "propersubset", kAfter, IDR_PALETTE_SYMBOLS,          21},
  {ID_SYMBOL_PROPORTIONAL,         "prop",         kAfter, IDR_PALETTE_SYMBOLS,          22},
  {ID_SYMBOL_THEREFORE,            "tf",           kAfter, IDR_PALETTE_SYMBOLS,          23},
  {ID_SYMBOL_PARTIAL,              "pd",           kAfter, IDR_PALETTE_SYMBOLS,          24},
  {ID_SYMBOL_EXISTS,               "te",           kAfter, IDR_PALETTE_SYMBOLS,          25},
  {ID_SYMBOL_FOR_ALL,              "fa",           kAfter, IDR_PALETTE_SYMBOLS,          26},
  {ID_SYMBOL_NABLA,                "nabla",        kAfter, IDR_PALETTE_SYMBOLS,          27},
  {ID_SYMBOL_ANGSTROM,             "au",           kAfter, IDR_PALETTE_SYMBOLS,          28},
  {ID_EQUATION_NUMBER_0,           " (0) ",        kAfter, IDR_PALETTE_EQUATION_NUMBERS,  1},
  {ID_EQUATION_NUMBER_1,           " (1) ",        kAfter, IDR_PALETTE_EQUATION_NUMBERS,  2},
  {ID_EQUATION_NUMBER_2,           " (2) ",        kAfter, IDR_PALETTE_EQUATION_NUMBERS,  3},
  {ID_EQUATION_NUMBER_3,           " (3) ",        kAfter, IDR_PALETTE_EQUATION_NUMBERS,  4},
  {ID_EQUATION_NUMBER_4,           " (4) ",        kAfter, IDR_PALETTE_EQUATION_NUMBERS,  5},
  {ID_EQUATION_NUMBER_5,           " (5) ",        kAfter, IDR_PALETTE_EQUATION_NUMBERS,  6},
  {ID_EQUATION_NUMBER_6,           " (6) ",        kAfter, IDR_PALETTE_EQUATION_NUMBERS,  7},
  {ID_EQUATION_NUMBER_7,           " (7) ",        kAfter, IDR_PALETTE_EQUATION_NUMBERS,  8},
  {ID_EQUATION_NUMBER_8,           " (8) ",        kAfter, IDR_PALETTE_EQUATION_NUMBERS,  9},
  {ID_EQUATION_NUMBER_9,           " (9) ",        kAfter, IDR_PALETTE_EQUATION_NUMBERS, 10},
};
// clang-format on

}  // namespace

std::span<const SymbolCommand> SymbolCommands() { return kSymbolCommands; }

const SymbolCommand* FindSymbolCommand(UINT id) {
  for (const SymbolCommand& command : kSymbolCommands)
    if (command.id == id) return &command;
  return nullptr;
}

// Replaces the selection as EM_REPLACESEL does and places the caret.
EditState ApplySymbolCommand(const EditState& state, const SymbolCommand& command) {
  const int length = state.text.GetLength();
  // Positions from outside the box's text must not index past it.
  const int start = std::clamp(std::min(state.selStart, state.selEnd), 0, length);
  const int end = std::clamp(std::max(state.selStart, state.selEnd), 0, length);

  EditState result;
  result.text = state.text.Left(start) + command.text + state.text.Mid(end);
  const int insertedLength = static_cast<int>(std::char_traits<char>::length(command.text));
  switch (command.caret) {
    case CaretRule::AfterText:
      result.selStart = result.selEnd = start + insertedLength;
      break;
  }
  return result;
}
