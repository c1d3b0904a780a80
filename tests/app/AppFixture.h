// The program's classes in this process: the application object with its
// settings in a temporary application-data folder, its templates and a
// hidden main frame with its bars and equation text box.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/App.h"
#include "app/document/Document.h"
#include "app/document/View.h"
#include "app/frame/MainFrame.h"
#include "tests/portable/TempFolder.h"
#include "tests/window/WinTestSupport.h"

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs before the templates are added (a test's own document manager).
  virtual void BeforeTemplates() {}
  // File New through the application's command.
  QVM400Doc* NewDocument();
  // File New, then `text` as the document's equation (null when New failed).
  QVM400Doc* NewDocumentWith(const char* text);
  QVM400Doc* ActiveDocument() const { return frame->GetActiveEquationDocument(); }
  QVM400View* ViewOf(QVM400Doc* doc) const;
  // Replaces the box's selection as typing would (EN_CHANGE follows).
  void Type(const char* text);
  void SetCaret(int position) { app->EquationEdit->SetSel(position, position); }
  CString BoxText() const { return app->EquationEdit->GetWindowText(); }
  // Saves a new document holding `text` as `name` in the test's folder and
  // closes it; the file's path, or "" when it could not be saved.
  std::string SaveEquationFile(const char* name, const char* text);
  // The settings file `name` (without ".ini") in the Marvolk folder.
  std::string SettingsFile(const char* name) const;

  TempFolder appData;
  QVM400App* app = nullptr;
  CMainFrame* frame = nullptr;

 private:
  std::string savedAppData_;
};

// An equation with a fraction, a root and a power.
constexpr const char* kQuadraticFormula = "x=(-b+-sqrt(b^2-4ac))/(2a)";

// The dialog this thread shows now (a top-level "#32770" with a caption),
// or null; unlike the active window it does not depend on the focus.
HWND ThisThreadDialog();
// While it lives: runs `look` on the dialog this thread shows after
// `delayMs`, then ends the dialog with `button`; a dialog still open ten
// seconds later is cancelled, so a failing test cannot hang.
class DialogScript {
 public:
  DialogScript(DWORD delayMs, std::function<void(HWND)> look, int button = IDOK);
  ~DialogScript();
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

 private:
  UINT_PTR act_ = 0, rescue_ = 0;
};

// The client area of `window` as it shows once redrawn (or, without
// `redrawFirst`, as it shows now), row by row.
std::vector<COLORREF> ShownPixels(HWND window, bool redrawFirst = true);

// Paints `view` into a 400 x 300 memory DC, as WM_PAINT would.
void PaintView(QVM400View* view);

// Twenty empty lines.
CString EmptyEquationText();
// `lines` joined by CR LF and filled up to twenty lines.
CString TwentyLines(std::initializer_list<const char*> lines);
// Twelve lines of `piece` 300 times and "y": wider and taller than a view.
CString WideLines(const char* piece);

// The text of the tallest equation the program holds; drawn at the largest
// font size it is far beyond the 16-bit coordinates of a Windows metafile.
std::string TallestEquation();
// Plays `picture` (MM_ANISOTROPIC, extents in 0.01 mm) of TallestEquation
// into a tall rectangle as a container or a paster does: every line shows
// in its band, the first on top.
void ExpectTallestEquationUpright(const METAFILEPICT& picture);
