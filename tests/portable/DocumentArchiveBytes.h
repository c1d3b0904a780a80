// Document archives written out by hand, field by field: the current form,
// the older marked form and the raw layout; for tests of the document file.
#pragma once

#include <string>
#include <vector>

#include "tests/portable/OptionArchiveBytes.h"

namespace archive_bytes {

// One line record of the equation list: text, Bold, Italic, Underline,
// UseColour, Colour.
inline std::string LineRecord(const std::string& text, bool bold = false, bool italic = false,
                              bool underline = false, bool useColour = false,
                              uint32_t colour = 0xFF0000) {
  return S(text) + B(bold) + B(italic) + B(underline) + B(useColour) + Le32(colour);
}

// The list's version and twenty records, `records` first, empty ones after.
inline std::string EquationListBytes(const std::vector<std::string>& records = {}) {
  std::string bytes = Le16(1);
  for (size_t i = 0; i < 20; ++i) bytes += i < records.size() ? records[i] : LineRecord("");
  return bytes;
}

// "QVM", version 1, the list, the options, "/QVM/".
inline std::string CurrentForm(const std::string& list = EquationListBytes(),
                               const std::string& options = DefaultArchive()) {
  return S("QVM") + Le16(1) + list + options + S("/QVM/");
}

// A marker of the older form, version 1, twenty texts, options, closing.
inline std::string OlderForm(const std::string& marker, const std::vector<std::string>& texts,
                             const std::string& options) {
  std::string bytes = S(marker) + Le16(1);
  for (size_t i = 0; i < 20; ++i) bytes += S(i < texts.size() ? texts[i] : "");
  return bytes + options + S("/" + marker + "/");
}

// A text of the raw layout: an unsigned length byte and the bytes.
inline std::string RawText(const std::string& text) {
  return std::string(1, static_cast<char>(static_cast<unsigned char>(text.size()))) + text;
}

// The raw layout's fields after its 21 texts.
struct RawOptions {
  int32_t lowerCase = 0, displayVect = 0, doubleCaps = 0, tabWidth = 0, verticalSpacing = 0;
  int32_t sixFlags[6] = {};       // RaiseDecimal ... GreekItalic
  int32_t greekAndLetters[27] = {};  // GreekBold, LettersA to LettersZ
  std::string fontName = "Times";
  int32_t fontSize = 12;
  int32_t multiply = 0;
  int32_t unused = 0;
  int32_t fontColour = 0;
};

inline std::string RawTexts(const std::vector<std::string>& texts) {
  std::string bytes;
  for (size_t i = 0; i < 21; ++i) bytes += RawText(i < texts.size() ? texts[i] : "");
  return bytes;
}

inline std::string RawFields(const RawOptions& o) {
  std::string bytes(1, '\x5A');  // the dropped byte
  for (int32_t v : {o.lowerCase, o.displayVect, o.doubleCaps, o.tabWidth, o.verticalSpacing})
    bytes += I(v);
  for (int32_t v : o.sixFlags) bytes += I(v);
  for (int32_t v : o.greekAndLetters) bytes += I(v);
  bytes += RawText(o.fontName) + I(o.fontSize) + I(o.multiply) + I(o.unused) + I(o.fontColour);
  return bytes;
}

}  // namespace archive_bytes
