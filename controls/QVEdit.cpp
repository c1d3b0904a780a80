// QVEdit.
#include "controls/QVEdit.h"

IMPLEMENT_DYNAMIC(QVEdit, CEdit)

BEGIN_MESSAGE_MAP(QVEdit, CEdit)
  ON_WM_CHAR()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_CONTROL_REFLECT(EN_MAXTEXT, OnMaxText)
END_MESSAGE_MAP()

namespace {

// What Ctrl+Enter types.
constexpr UINT kLineFeed = 0x0A;

}  // namespace

QVEdit::~QVEdit() = default;

void QVEdit::OnChar(UINT ch, UINT, UINT) {
  switch (ch) {
    case VK_TAB:
      PostMessage(WM_CHAR, kAlignmentMark, 0);
      return;
    case VK_RETURN:
    case kLineFeed:
      return;  // lines break only through programmatic text
    case VK_SPACE:
      if (::GetKeyState(VK_CONTROL) < 0) {
        PostMessage(WM_CHAR, kNoSpace, 0);
        return;
      }
      break;
    default:
      break;
  }
  Default();
}

bool QVEdit::CaretOnLastLine() const { return LineFromChar(-1) >= GetLineCount() - 1; }

// Enter on the last line has nowhere to go: the beep tells the user that
// the next characters stay on this line.
bool QVEdit::RemapKey(UINT message, UINT key) {
  if (key == VK_TAB) return true;
  if (key != VK_RETURN) return false;
  if (message == WM_KEYDOWN && CaretOnLastLine()) {
    if (enterAddsLines_)
      AddLineAtEnd();
    else
      ::MessageBeep(MB_OK);
  } else
    PostMessage(message, VK_DOWN, 0);
  return true;
}

void QVEdit::AddLineAtEnd() {
  const int end = GetWindowTextLength();
  SetSel(end, end);
  ReplaceSel("\r\n", TRUE);
}

void QVEdit::OnKeyDown(UINT key, UINT, UINT) {
  if (!RemapKey(WM_KEYDOWN, key)) Default();
}

void QVEdit::OnKeyUp(UINT key, UINT, UINT) {
  if (!RemapKey(WM_KEYUP, key)) Default();
}

// The box is full: what did not fit was not inserted.
void QVEdit::OnMaxText() { ::MessageBeep(MB_OK); }
