// Tables of the wrap and append commands and the texts of the insert dialogs.
#include "app/frame/StructureTexts.h"

#include <cmath>

#include "controls/NumberText.h"
#include "engine/OptionAccess.h"
#include "resources/resource.h"

namespace {

// clang-format off
constexpr WrapForm kWrapForms[] = {
  // id                      open     close  empty     caretBack
  {ID_INSERT_SQRT,           "sqrt(", ")",   "sqrt()", true},
  {ID_INSERT_ARC,            "arc(",  ")",   "arc()",  true},
  {ID_INSERT_ARROW_BOTH,     "<->(",  ")",   "<->()",  true},
  {ID_INSERT_ARROW_LEFT,     "<--(",  ")",   "<--()",  true},
  {ID_INSERT_ARROW_RIGHT,    "-->(",  ")",   "-->()",  true},
  {ID_INSERT_SUBSCRIPT,      "\\(",   ")",   "\\()",   true},
  {ID_INSERT_SUPERSCRIPT,    "^(",    ")",   "^()",    true},
  {ID_INSERT_BOX,            "box(",  ")",   "box",    false},
  {ID_INSERT_UNDERBAR,       "(",     ")_",  "_",      false},
};

constexpr AppendMark kAppendMarks[] = {
  // id                      mark
  {ID_INSERT_DEGREE,         "`"},
  {ID_INSERT_HAT,            "^^"},
  {ID_INSERT_DOT,            ":"},
  {ID_INSERT_DOUBLE_DOT,     "::"},
};
// clang-format on

// An entry as the construct writes it: an empty one as one blank.
CString Entry(const CString& text) { return "(" + (text.IsEmpty() ? CString(" ") : text) + ")"; }

// (e1),(e2),...,(en); with n of 0 one blank entry, so nothing unbound is read.
CString EntryList(const CString* entries, int count) {
  if (count < 1) return Entry(CString());
  CString text;
  for (int i = 1; i <= count; ++i) text += (i > 1 ? "," : "") + Entry(entries[i]);
  return text;
}

}  // namespace

std::span<const WrapForm> WrapForms() { return kWrapForms; }
std::span<const AppendMark> AppendMarks() { return kAppendMarks; }

const WrapForm* FindWrapForm(UINT id) {
  for (const WrapForm& form : kWrapForms)
    if (form.id == id) return &form;
  return nullptr;
}

const AppendMark* FindAppendMark(UINT id) {
  for (const AppendMark& mark : kAppendMarks)
    if (mark.id == id) return &mark;
  return nullptr;
}

CString WrapText(const WrapForm& form, const CString& selected) {
  if (selected.IsEmpty()) return form.empty;
  return form.open + selected + form.close;
}

int LastEntryInUse(const CString* entries, int count) {
  for (int i = count; i >= 1; --i)
    if (!entries[i].IsEmpty()) return i;
  return 0;
}

CString MatrixText(const CString (*cells)[9], int rowCount, int columnCount) {
  // An empty grid counts as one blank cell.
  const int rows = rowCount < 1 || columnCount < 1 ? 1 : rowCount;
  const int columns = rowCount < 1 || columnCount < 1 ? 1 : columnCount;
  CString text = "[";
  for (int c = 1; c <= columns; ++c) {
    for (int r = 1; r <= rows; ++r) text += (r > 1 ? "," : "") + Entry(cells[r][c]);
    text += c < columns ? "  " : " ]";
  }
  return text;
}

CString VectorText(const CString* components, int count) {
  return "( " + EntryList(components, count) + " )";
}

CString PiecewiseText(const CString* functions, const CString* domains, int count) {
  return "= {  " + EntryList(functions, count) + "    " + EntryList(domains, count) + "#";
}

CString IntegralText(const CString& lower, const CString& upper, const CString& separator) {
  if (lower.IsEmpty() && upper.IsEmpty()) return "int";
  return "int(" + lower + separator + upper + ")";
}

std::optional<CString> ScientificText(const CString& mantissa, const CString& exponent,
                                      const CString& decimal) {
  if (!mantissa.IsEmpty() || !exponent.IsEmpty()) return mantissa + "E" + exponent;
  if (decimal.IsEmpty()) return CString("1.2E5");
  // The engine's own number settings: six decimals, trailing zeros trimmed.
  const NumberTextFormat format = EngineNumberFormat(false);
  const double value = format.ParseNumber(decimal);
  if (value == 0) return std::nullopt;
  // The magnitude's logarithm: a negative value keeps its sign on the mantissa.
  int power = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  // Below 1e-308 the power of ten itself underflows: scale in two steps.
  constexpr int kSafePower = 300;
  double digits = power < -kSafePower
                      ? value * std::pow(10.0, kSafePower) / std::pow(10.0, power + kSafePower)
                      : value / std::pow(10.0, power);
  // log10 may land a hair beside a whole power, and six decimals may round
  // 9.9999999 up to 10: keep the mantissa's magnitude within [1, 10).
  const double rounded = std::round(std::fabs(digits) * 1e6) / 1e6;
  if (rounded >= 10) {
    digits /= 10;
    ++power;
  } else if (rounded < 1) {
    digits *= 10;
    --power;
  }
  return format.FormatNumber(digits) + "E" + format.FormatNumber(power);
}
