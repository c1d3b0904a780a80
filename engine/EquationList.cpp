// The equation list: splitting, joining and the archive form.
#include "engine/EquationList.h"

#include "framework/Archive.h"

IMPLEMENT_SERIAL(QVEquationList, CObject, 0)

QVEquationList::QVEquationList() {
  for (auto& engine : Engines) engine = std::make_unique<EquationLine>();
}

QVEquationList::~QVEquationList() = default;

// One pass over the text: each line is copied once, from a view of what is
// left (copying the rest at every break cost a copy of the whole text per
// line). The lines are built aside, so `text` may be one of `lines`.
void QVEquationList::SplitText(const CString& text, CString (&lines)[kLineCount]) {
  std::string_view rest = text.str();
  CString split[kLineCount];
  for (int i = 0; i < kLineCount - 1 && !rest.empty(); ++i) {
    const size_t breakAt = rest.find('\r');
    split[i] = CString(rest.substr(0, breakAt));
    if (breakAt == std::string_view::npos) {
      rest = {};
      break;
    }
    // A bare carriage return is a line break of its own: it never takes the
    // next character with it.
    const size_t taken = rest.substr(breakAt + 1).starts_with('\n') ? 2 : 1;
    rest.remove_prefix(breakAt + taken);
  }
  // The last line keeps all that is left, line breaks included; a leading
  // break only separates it from line nineteen.
  if (rest.starts_with("\r\n")) rest.remove_prefix(2);
  split[kLineCount - 1] = CString(rest);
  for (int i = 0; i < kLineCount; ++i) lines[i] = std::move(split[i]);
}

void QVEquationList::SetText(const CString& text, const QVMOptions& options) {
  SplitText(text, Lines);
  for (int i = 0; i < kLineCount; ++i) Engines[i]->SetText(Lines[i], options);
}

CString QVEquationList::GetText() const {
  CString text = Lines[0];
  for (int i = 1; i < kLineCount; ++i) text += "\r\n" + Lines[i];
  return text;
}

void QVEquationList::ForceReparse() {
  for (auto& engine : Engines) engine->SetReparse();
}

// Version 1, then per line its text, Bold, Italic, Underline, UseColour and
// Colour; a version below 1 reads nothing more. A loaded list is laid out
// afresh.
void QVEquationList::Serialize(CArchive& archive) {
  if (archive.IsStoring()) {
    archive << kArchiveVersion;
    for (int i = 0; i < kLineCount; ++i) {
      const LineFormat& f = Formats[i];
      archive << Lines[i] << f.Bold << f.Italic << f.Underline << f.UseColour
              << static_cast<uint32_t>(f.Colour);
    }
    return;
  }
  int16_t version = 0;
  archive >> version;
  if (version < 1) return;
  for (int i = 0; i < kLineCount; ++i) {
    LineFormat& f = Formats[i];
    uint32_t colour = 0;
    archive >> Lines[i] >> f.Bold >> f.Italic >> f.Underline >> f.UseColour >> colour;
    f.Colour = colour;
  }
  InvalidateLayout();
}
