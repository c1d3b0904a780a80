// QVEdit: an edit box whose Tab, Enter and Ctrl+Space keys type the
// equation language's own characters: Tab types the alignment mark 0xBB,
// Ctrl+Space the no-space character 0xA0, and Enter moves the caret one
// line down instead of breaking the line. The remapped character or key is
// posted to the box, so it arrives as an ordinary message after the
// current one. Everything else is the edit control's own behaviour.
// Choices of ours: Ctrl+Enter, which the edit control would take as a line
// break, is swallowed like Enter; Enter on the last line, where there is no
// line to move to, beeps, unless the box is told to add a line there (a
// list of any length, where an emptied box must still take several lines);
// so does anything typed or pasted that the box's text limit refuses, which
// the edit control would drop without a sound.
#pragma once

#include "framework/Controls.h"

class QVEdit : public CEdit {
  DECLARE_DYNAMIC(QVEdit)
 public:
  static constexpr UINT kAlignmentMark = 0xBB;
  static constexpr UINT kNoSpace = 0xA0;

  QVEdit() = default;
  ~QVEdit() override;

  // Enter on the last line adds a line after it instead of beeping.
  void LetEnterAddLines() { enterAddsLines_ = true; }

 protected:
  void OnChar(UINT ch, UINT repeat, UINT flags);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnKeyUp(UINT key, UINT repeat, UINT flags);
  void OnMaxText();
  // Tab is swallowed, Enter becomes the Down key; true when handled.
  bool RemapKey(UINT message, UINT key);
  bool CaretOnLastLine() const;
  void AddLineAtEnd();

  bool enterAddsLines_ = false;

  DECLARE_MESSAGE_MAP()
};
