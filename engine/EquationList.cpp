// The equation list: splitting, joining and the archive form.
#include "engine/EquationList.h"

#include "framework/Archive.h"

IMPLEMENT_SERIAL(QVEquationList, CObject, 0)

QVEquationList::QVEquationList() {
  for (auto& engine : Engines) engine = std::make_unique<EquationLine>();
}

QVEquationList::~QVEquationList() = default;

void QVEquationList::SplitText(const CString& text, CString (&lines)[kLineCount]) {
  CString rest = text;
  for (int i = 0; i < kLineCount - 1; ++i) {
    const int breakAt = rest.Find('\r');
    if (breakAt < 0) {
      lines[i] = rest;
      rest.Empty();
      continue;
    }
    lines[i] = rest.Left(breakAt);
    // A bare carriage return is a line break of its own: it never takes the
    // next character with it.
    const int taken = rest.GetAt(breakAt + 1) == '\n' ? 2 : 1;
    rest = rest.Mid(breakAt + taken);
  }
  // The last line keeps all that is left, line breaks included; a leading
  // break only separates it from line nineteen.
  if (rest.Left(2) == "\r\n") rest = rest.Mid(2);
  lines[kLineCount - 1] = rest;
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
