// QVEdit.
#include "controls/QVEdit.h"

IMPLEMENT_DYNAMIC(QVEdit, CEdit)

BEGIN_MESSAGE_MAP(QVEdit, CEdit)
  ON_WM_CHAR()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
END_MESSAGE_MAP()

QVEdit::~QVEdit() = default;

void QVEdit::OnChar(UINT ch, UINT, UINT) {
  switch (ch) {
    case VK_TAB:
      PostMessage(WM_CHAR, kAlignmentMark, 0);
      return;
    case VK_RETURN:
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

bool QVEdit::RemapKey(UINT message, UINT key) {
  if (key == VK_TAB) return true;
  if (key != VK_RETURN) return false;
  PostMessage(message, VK_DOWN, 0);
  return true;
}

void QVEdit::OnKeyDown(UINT key, UINT, UINT) {
  if (!RemapKey(WM_KEYDOWN, key)) Default();
}

void QVEdit::OnKeyUp(UINT key, UINT, UINT) {
  if (!RemapKey(WM_KEYUP, key)) Default();
}
