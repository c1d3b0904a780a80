// The token tree dump: one line per token, indented by the path of child
// rows; the golden form of the engine's tests.
#include "engine/Token.h"

namespace {

const char* MarkText(int32_t mark) {
  switch (mark) {
    case kMarkDot: return ".";
    case kMarkColon: return ":";
    case kMarkCaret: return "^";
    case kMarkUnderscore: return "_";
    default: return "";
  }
}

}  // namespace

void TokenRow::Dump(CString& out, const CString& prefix) const {
  for (int i = 0; i < GetSize(); ++i) {
    out += prefix;
    out.AppendFormat("%d - ", i);
    GetAt(i)->Dump(out, prefix);
  }
}

CString TokenRow::DumpTree() const {
  CString out;
  Dump(out, CString());
  return out;
}

// Kind, box, text with its mark, stretch; then row 1 and row 2 (each only
// when it has tokens, so a fraction with an empty numerator still shows
// its denominator).
void QVMToken::Dump(CString& out, const CString& prefix) const {
  out += TokenKindName(kind);
  out.AppendFormat(" align = %d, adjust = %d", extent.align, extent.adjust);
  if (!text.IsEmpty()) {
    out += " \"";
    out += text;
    out += MarkText(mark);
    out += "\"";
  }
  if (stretch != 0) out.AppendFormat(" %d ", stretch);
  out += "\r\n";
  if (!row1.IsEmpty()) row1.Dump(out, prefix + " 1 ");
  if (!row2.IsEmpty()) row2.Dump(out, prefix + " 2 ");
}

CString QVMToken::DumpTree() const {
  CString out("0 - ");
  Dump(out, CString());
  return out;
}
