// QVEquationList: the document's equation, twenty lines of text, each with
// its own line engine and line format. It splits the document's text into
// lines and joins it again, hands each line engine its text (so only changed
// lines are parsed again), lines up the relation signs of its lines,
// measures and draws them stacked, and stores itself in the document file.
// Choices of ours: a carriage return takes the character after it along only
// when that is a line feed; text beyond the twentieth line is kept in line
// twenty, never dropped; alignment spacers that would take no room are left
// out, so a line that needs no shift draws as on its own; the line format
// the options carried before a measure or draw is put back after it.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "engine/EquationLine.h"
#include "engine/Extent.h"
#include "framework/Object.h"
#include "framework/String.h"
#include "options/QVMOptions.h"

#ifdef _WIN32
#include "engine/TextMemory.h"
#endif

class CArchive;
class CDC;

// Puts back the options' current line format at the end of a scope.
class LineFormatScope {
 public:
  explicit LineFormatScope(QVMOptions& options)
      : options_(options), saved_(options.CurrentLineFormat) {}
  ~LineFormatScope() { options_.CurrentLineFormat = saved_; }
  LineFormatScope(const LineFormatScope&) = delete;
  LineFormatScope& operator=(const LineFormatScope&) = delete;

 private:
  QVMOptions& options_;
  LineFormat saved_;
};

// Where a root row's spacers stand and how wide they are, by index.
std::vector<std::pair<int, int32_t>> SpacerLayout(const TokenRow& row);

// A stretch of the list's picture from `top` down to `bottom`, in 0.01 mm
// below the list's top edge.
struct ListBand {
  int32_t top = 0;
  int32_t bottom = 0;
};

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

#ifdef _WIN32
  // One box for all lines, their relation signs lined up; fills Offsets.
  // An empty list measures like the text "3".
  ExtentRecord Measure(CDC& dc, QVMOptions& options);
  // Draws the lines stacked, placed by the context's text alignment (left
  // and top or bottom); leaves the alignment at TA_BOTTOM | TA_LEFT. Lines
  // wholly outside the context's clipping are skipped (never on a metafile).
  void Draw(CDC& dc, int32_t x, int32_t y, QVMOptions& options);
  // Measures, and gives the bands of the picture that differ from what it
  // was at the last call (the old places and the new): lines whose text,
  // format, spacers or place changed. All of it at the first call, or when
  // the box's left margin changed. A view that invalidates these
  // bands after an edit repaints only what the edit changed.
  std::vector<ListBand> ChangedBands(CDC& dc, QVMOptions& options);
  // The box measured at the last ChangedBands.
  const ExtentRecord& PicturedExtent() const { return pictured_; }
#endif

  // Takes the old spacers out, finds each line's signs and, with
  // AlignEquals set, puts spacers in that line the signs up; `moved`, when
  // given, tells which lines' spacers differ from before.
  void AlignRelations(QVMOptions& options, bool (*moved)[kLineCount] = nullptr);
  // The shifts of every line from the signs all lines found.
  void ChooseAlignmentColumn();
  // Marks every token, row and line for layout.
  void InvalidateLayout();

  CString Lines[kLineCount];
  int32_t Offsets[kLineCount] = {};
  std::unique_ptr<EquationLine> Engines[kLineCount];
  LineFormat Formats[kLineCount];

  // The texts of `text` as the list splits them.
  static void SplitText(const CString& text, CString (&lines)[kLineCount]);

 private:
  void JoinContinuationLines();
  // Marks the root rows of the lines whose spacers moved for layout: the
  // tokens whose measure reads their place, or with `everyToken` all.
  void RelayoutMovedLines(const bool (&moved)[kLineCount], bool everyToken = false);
#ifdef _WIN32
  // Every line with text measured with its own format.
  void MeasureLines(CDC& dc, QVMOptions& options);
  // Heights and offsets of the measured lines, into one record.
  ExtentRecord StackLines(CDC& dc, QVMOptions& options);
  void ForgetStaleLayout(const QVMOptions& options);
  void ForgetLineLayout(int line);
#endif
  // What the kept layout was measured with.
  LineFormat laidOutFormats_[kLineCount];
  double laidOutScale_ = 1.0;
#ifdef _WIN32
  uint64_t laidOutContext_ = 0;
  // Text extents and metrics shared by all lines.
  TextMemory textMemory_;
  // What each line showed at the last ChangedBands.
  struct LinePicture {
    CString text;
    LineFormat format;
    std::vector<std::pair<int, int32_t>> spacers;
    ListBand band;
    int32_t underlineWidth = 0;
  };
  std::vector<LinePicture> pictures_;
  ExtentRecord pictured_;
  std::vector<LinePicture> TakePictures(const ExtentRecord& box) const;
#endif
};
