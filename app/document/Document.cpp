// QVM400Doc: the equation text, its road from the text box to the views,
// line formats, resets and the edit commands.
#include "app/document/Document.h"

#include "app/App.h"
#include "app/document/DocumentArchive.h"
#include "app/document/ServerItem.h"
#include "app/frame/StructureTexts.h"
#include "app/frame/SymbolCommands.h"
#include "controls/TextHelpers.h"
#include "framework/Dc.h"
#include "resources/resource.h"

IMPLEMENT_DYNCREATE(QVM400Doc, COleServerDoc)

namespace {

// Points to 0.01 mm for the font size another program hands over.
constexpr double kHimetricPerPoint = 35.2777755;
// A LOGFONT face name holds 31 characters and the terminator.
constexpr int kMaxFaceName = 31;

}  // namespace

BEGIN_MESSAGE_MAP(QVM400Doc, COleServerDoc)
  ON_COMMAND(ID_RESET_TO_DEFAULT, OnResetToDefault)
  ON_COMMAND(ID_RESET_EQUATION, OnResetEquation)
  ON_COMMAND(ID_LINE_BOLD, OnLineBold)
  ON_UPDATE_COMMAND_UI(ID_LINE_BOLD, OnUpdateLineBold)
  ON_COMMAND(ID_LINE_ITALIC, OnLineItalic)
  ON_UPDATE_COMMAND_UI(ID_LINE_ITALIC, OnUpdateLineItalic)
  ON_COMMAND(ID_LINE_UNDERLINE, OnLineUnderline)
  ON_UPDATE_COMMAND_UI(ID_LINE_UNDERLINE, OnUpdateLineUnderline)
  ON_COMMAND(ID_ALIGN_EQUAL_SIGNS, OnAlignEqualSigns)
  ON_UPDATE_COMMAND_UI(ID_ALIGN_EQUAL_SIGNS, OnUpdateAlignEqualSigns)
  ON_COMMAND(ID_EDIT_CUT, OnEditCut)
  ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
  ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
  ON_COMMAND(ID_COPY_AS_METAFILE, OnCopyAsMetafile)
  ON_COMMAND(ID_COPY_AS_BITMAP, OnCopyAsBitmap)
  ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
  ON_COMMAND(ID_PALETTE_CALCULUS, OnPaletteHeader)
  ON_COMMAND(ID_PALETTE_GREEK_LOWER, OnPaletteHeader)
  ON_COMMAND(ID_PALETTE_SYMBOLS, OnPaletteHeader)
  ON_COMMAND(ID_PALETTE_FORMATTING, OnPaletteHeader)
  ON_COMMAND(ID_PALETTE_EQUATION_NUMBERS, OnPaletteHeader)
  ON_COMMAND(ID_EDIT_PREFERENCES, EditPreferences)
  ON_COMMAND(ID_EDIT_OPTIONS, OnEditOptions)
  // Structure inserts with a handler of their own (wrap and append: OnCmdMsg).
  ON_COMMAND(ID_INSERT_DIV, OnInsertDiv)
  ON_COMMAND(ID_INSERT_LIMIT, OnInsertLimit)
  ON_COMMAND(ID_INSERT_BOUNDS, OnInsertBounds)
  ON_COMMAND(ID_INSERT_SUM, OnInsertSum)
  ON_COMMAND(ID_INSERT_PRODUCT, OnInsertProduct)
  ON_COMMAND(ID_INSERT_NTH_ROOT, OnInsertNthRoot)
  ON_COMMAND(ID_INSERT_SCIENTIFIC, OnInsertScientific)
  ON_COMMAND(ID_INSERT_DERIVATIVE_AT_POINT, OnInsertDerivativeAtPoint)
  ON_COMMAND(ID_INSERT_INTEGRAL, OnInsertIntegral)
  ON_COMMAND(ID_INSERT_MATRIX, OnInsertMatrix)
  ON_COMMAND(ID_INSERT_VECTOR, OnInsertVector)
  ON_COMMAND(ID_INSERT_PIECEWISE, OnInsertPiecewise)
END_MESSAGE_MAP()

QVM400Doc::QVM400Doc() { EnableCompoundFile(TRUE); }
QVM400Doc::~QVM400Doc() = default;

void QVM400Doc::SetEquationText(const CString& text) {
  EquationText = text;
  Equation.SetText(text, Options);
  SetModifiedFlag(TRUE);
  CWindowDC screen(nullptr);
  screen.SetMapMode(MM_HIMETRIC);
  EditedBands = Equation.ChangedBands(screen, Options);
  UpdateAllViews(nullptr, kHintTextEdited, nullptr);
}

CString QVM400Doc::GetEquationText() {
  EquationText = Equation.GetText();
  return EquationText;
}

ExtentRecord& QVM400Doc::MeasureEquation(ExtentRecord& out, CDC* dc) {
  out = dc ? Equation.Measure(*dc, Options) : ExtentRecord{};
  return out;
}

// The corner is the top-left one because the callers set TA_TOP | TA_LEFT.
void QVM400Doc::DrawEquation(CDC* dc, int x, int y) {
  if (dc) Equation.Draw(*dc, x, y, Options);
}

ExtentRecord QVM400Doc::MeasureOwnExtent() {
  CWindowDC screen(nullptr);
  screen.SetMapMode(MM_HIMETRIC);
  ExtentRecord extent;
  MeasureEquation(extent, &screen);
  GetQVMApp()->EquationExtent = extent;
  return extent;
}

// A missing name or size leaves the font whole, so a machine without the
// other program never gets a nameless or sizeless font; the document keeps
// the font it takes (it is saved with it), so taking one marks it modified
// and parses the lines again with it.
BOOL QVM400Doc::ApplyWordFont(QVIniFile& fontIni) {
  if (!Options.UseWordFont.Value) return FALSE;
  const CString name = fontIni.ReadValue("Font Info", "Name");
  if (name.IsEmpty() || name == "No Font") return FALSE;
  const int points = fontIni.ReadInt("Font Info", "Size");
  if (points <= 0) return FALSE;
  QVLogFont font = Options.Font.GetValue();
  font.SetFaceName(name.Left(kMaxFaceName));
  // In double first: a huge size in the file must not overflow the int.
  font.Size = TruncateGdiLength(points * kHimetricPerPoint);
  font.HoldInRange();
  const QVLogFont& current = Options.Font.Value;
  if (font.Size == current.Size && CString(font.LogFont.lfFaceName) == current.LogFont.lfFaceName)
    return FALSE;
  Options.Font.SetValue(font);
  Equation.ForceReparse();
  Equation.SetText(GetEquationText(), Options);
  SetModifiedFlag(TRUE);
  return TRUE;
}

int QVM400Doc::CaretLine() {
  HWND edit = GetQVMApp()->EquationEditWindow();
  if (!edit) return QVEquationList::kLineCount;
  return static_cast<int>(::SendMessageA(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0));
}

BOOL QVM400Doc::OnNewDocument() {
  if (!COleServerDoc::OnNewDocument()) return FALSE;
  QVM400App* app = GetQVMApp();
  Options = app->DefaultOptions;
  app->ShowInEquationEdit(GetEquationText());
  return TRUE;
}

// The loaded options may differ from those the lines were parsed with, so
// every line is parsed again; the document stays unmodified.
void QVM400Doc::Serialize(CArchive& archive) {
  if (archive.IsStoring()) {
    StoreDocumentArchive(archive, Equation, Options);
    return;
  }
  LoadDocumentArchive(archive, Equation, Options);
  Equation.ForceReparse();
  Equation.SetText(GetEquationText(), Options);
  if (QVM400App* app = GetQVMApp()) app->ShowInEquationEdit(EquationText);
}

COleServerItem* QVM400Doc::OnGetEmbeddedItem() { return new QVM400SrvrItem(this); }

void QVM400Doc::ChangedByCommand() {
  SetModifiedFlag(TRUE);
  UpdateAllViews(nullptr, 0, nullptr);
  GetQVMApp()->RefocusEdit = 1;
}

// The options start again from the defaults; every line is parsed again
// with them the next time it gets its text.
void QVM400Doc::OnResetToDefault() {
  Options = GetQVMApp()->DefaultOptions;
  Equation.ForceReparse();
  ChangedByCommand();
}

void QVM400Doc::OnResetEquation() {
  OnResetToDefault();
  GetQVMApp()->RefocusEdit = 1;
}

void QVM400Doc::ToggleLineFormat(bool LineFormat::* flag) {
  const int line = CaretLine();
  if (line >= 0 && line < QVEquationList::kLineCount) {
    bool& value = Equation.Formats[line].*flag;
    value = !value;
  }
  ChangedByCommand();
}

void QVM400Doc::UpdateLineFormat(CCmdUI* cmdUI, bool LineFormat::* flag) {
  const int line = CaretLine();
  const bool on = line >= 0 && line < QVEquationList::kLineCount && Equation.Formats[line].*flag;
  cmdUI->SetCheck(on ? 1 : 0);
}

void QVM400Doc::OnAlignEqualSigns() {
  Options.AlignEquals.Value = !Options.AlignEquals.Value;
  SetModifiedFlag(TRUE);
  UpdateAllViews(nullptr, 0, nullptr);
}

void QVM400Doc::OnUpdateAlignEqualSigns(CCmdUI* cmdUI) {
  cmdUI->SetCheck(Options.AlignEquals.Value ? 1 : 0);
}

BOOL QVM400Doc::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (nCode == CN_COMMAND) {
    const SymbolCommand* symbol = FindSymbolCommand(nID);
    const WrapForm* wrap = FindWrapForm(nID);
    const AppendMark* mark = FindAppendMark(nID);
    if (symbol || wrap || mark) {
      if (pHandlerInfo) {
        pHandlerInfo->pTarget = this;
        return TRUE;
      }
      if (symbol) InsertSymbol(*symbol);
      if (wrap) WrapSelection(*wrap);
      if (mark) AppendToSelection(*mark);
      return TRUE;
    }
  }
  return CDocument::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// EM_REPLACESEL keeps the edit undoable and reports the change, which
// carries the new text to this document.
void QVM400Doc::InsertSymbol(const SymbolCommand& command) { ReplaceEditSelection(command.text); }

void QVM400Doc::ReplaceEditSelection(const CString& text) {
  QVM400App* app = GetQVMApp();
  if (HWND edit = app->EquationEditWindow())
    ::SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.GetString()));
  app->RefocusEdit = 1;
}

void QVM400Doc::OnEditCut() {
  if (HWND edit = GetQVMApp()->EquationEditWindow()) ::SendMessageA(edit, WM_CUT, 0, 0);
}

void QVM400Doc::OnEditPaste() {
  if (HWND edit = GetQVMApp()->EquationEditWindow()) ::SendMessageA(edit, WM_PASTE, 0, 0);
}

// Selected text goes to the clipboard as text; with nothing selected the
// whole equation goes as pictures.
void QVM400Doc::OnEditCopy() {
  HWND edit = GetQVMApp()->EquationEditWindow();
  if (edit && !GetEditSelectedText(edit).IsEmpty())
    ::SendMessageA(edit, WM_COPY, 0, 0);
  else
    CopyPicture();
}
