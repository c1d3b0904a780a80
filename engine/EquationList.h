// QVEquationList: the document's equation, twenty lines of text, each with
// its own line engine and line format. It splits the document's text into
// lines and joins it again, hands each line engine its text (so only changed
// lines are parsed again) and stores itself in the document file.
// Choices of ours: a carriage return takes the character after it along only
// when that is a line feed; text beyond the twentieth line is kept in line
// twenty, never dropped.
#pragma once

#include <memory>

#include "engine/EquationLine.h"
#include "engine/Extent.h"
#include "framework/Object.h"
#include "framework/String.h"
#include "options/QVMOptions.h"

class CArchive;

class QVEquationList : public CObject {
  DECLARE_SERIAL(QVEquationList)

 public:
  static constexpr int kLineCount = 20;
  static constexpr WORD kArchiveVersion = 1;

  QVEquationList();
  ~QVEquationList() override;

  // Splits `text` at line breaks and passes each line to its engine.
  void SetText(const CString& text, const QVMOptions& options);
  // The twenty texts joined by CR LF.
  CString GetText() const;
  void Serialize(CArchive& archive) override;

  // Sets the re-parse flag of every line engine (after an option change).
  void ForceReparse();

  CString Lines[kLineCount];
  int32_t Offsets[kLineCount] = {};
  std::unique_ptr<EquationLine> Engines[kLineCount];
  LineFormat Formats[kLineCount];

  // The texts of `text` as the list splits them.
  static void SplitText(const CString& text, CString (&lines)[kLineCount]);
};
