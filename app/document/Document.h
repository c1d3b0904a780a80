// QVM400Doc: the equation document, kept three ways at once: the text the
// user typed, the parsed equation list and the document's own option set.
// The document never owns a text box: the application's one equation text
// box serves every document, and the main frame hands its text over after
// every change.
// Choices of ours: the export size of a document comes from measuring that
// document (MeasureOwnExtent), not from whichever view painted last.
// Embedded in another program's document, it serves its equation through
// QVM400SrvrItem and updates its container through the class library. Files are compound files whose stream
// "Contents" holds the archive (DocumentArchive.h); a damaged file leaves the
// document and the text box as they were.
#pragma once

#include <memory>
#include <vector>

#include "engine/EquationList.h"
#include "engine/Extent.h"
#include "framework/OleServer.h"
#include "options/IniFile.h"
#include "options/QVMOptions.h"

class CBitmap;
class CDC;
struct SymbolCommand;
struct WrapForm;
struct AppendMark;

class QVM400Doc : public COleServerDoc {
  DECLARE_DYNCREATE(QVM400Doc)
 public:
  QVM400Doc();
  ~QVM400Doc() override;

  // The road of an edit: stores, splits and re-parses the changed lines,
  // marks the document modified and updates its views.
  // The update hint SetEquationText sends its views.
  static constexpr LPARAM kHintTextEdited = 1;
  // The longest equation text a document holds: its text is one string,
  // and its file stores each line with a 32-bit length.
  static constexpr int kMaxTextLength = 0x7FFFFFFF;
  void SetEquationText(const CString& text);
  // The normalised text: twenty lines joined by CR LF.
  CString GetEquationText();
  ExtentRecord& MeasureEquation(ExtentRecord& out, CDC* dc);
  // Draws with the top-left corner at (x, y), in the context's units.
  void DrawEquation(CDC* dc, int x, int y);
  // Measures this document in 0.01 mm on a screen context, for the
  // clipboard, the exports and the embedded item; records it as the
  // application's last extent too.
  ExtentRecord MeasureOwnExtent();
  // With the option "Get Font From Word" on, takes the font name and size
  // another program left in the font settings; a missing or empty name or
  // a size of 0 or less leaves the font as it is. A change marks the
  // document modified; TRUE when the font changed.
  BOOL ApplyWordFont(QVIniFile& fontIni);

  // --- pictures (DocumentPictures.cpp) ---
  // An extent in 0.01 mm as screen pixels.
  static CSize PicturePixels(const ExtentRecord& extent);
  // The equation on a white bitmap of the extent's pixel size; null when
  // no bitmap could be made.
  std::unique_ptr<CBitmap> MakeBitmapPicture(const ExtentRecord& extent);
  // A METAFILEPICT block (MM_ANISOTROPIC, the extent in 0.01 mm) owning a
  // memory metafile of the equation; null on failure.
  HGLOBAL MakeMetafilePicture(const ExtentRecord& extent);
  // Bitmap and metafile on the clipboard at once (Copy with nothing selected).
  void CopyPicture();
  // Exports in this document's own extent; FALSE (and no file) on failure.
  BOOL ExportEmf(const CString& path);
  BOOL ExportBmp(const CString& path);
  BOOL ExportGif(const CString& path);
  BOOL ExportEmf(const CString& path, const ExtentRecord& extent);
  BOOL ExportBmp(const CString& path, const ExtentRecord& extent);
  BOOL ExportGif(const CString& path, const ExtentRecord& extent);
  // Saves or exports by the extension (any case), asking before replacing a
  // file; says why when it cannot. TRUE when written.
  BOOL SaveAs(const CString& path, const CString& extension);

  // The line of the text box's caret (0-based); 20 without a box.
  static int CaretLine();

  BOOL OnNewDocument() override;
  // The symbol insert commands are routed from their table (SymbolCommands.h).
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  // Stores the current form; loads any form and puts the loaded text into
  // the text box.
  void Serialize(CArchive& archive) override;

  QVMOptions Options;
  CString EquationText;
  QVEquationList Equation;
  // The bands of the picture the last SetEquationText changed, measured on
  // the screen; every view repaints these on the update that follows.
  std::vector<ListBand> EditedBands;

  // --- commands ---
  void OnResetToDefault();
  void OnResetEquation();
  void OnLineBold() { ToggleLineFormat(&LineFormat::Bold); }
  void OnLineItalic() { ToggleLineFormat(&LineFormat::Italic); }
  void OnLineUnderline() { ToggleLineFormat(&LineFormat::Underline); }
  void OnUpdateLineBold(CCmdUI* cmdUI) { UpdateLineFormat(cmdUI, &LineFormat::Bold); }
  void OnUpdateLineItalic(CCmdUI* cmdUI) { UpdateLineFormat(cmdUI, &LineFormat::Italic); }
  void OnUpdateLineUnderline(CCmdUI* cmdUI) { UpdateLineFormat(cmdUI, &LineFormat::Underline); }
  void OnAlignEqualSigns();
  void OnUpdateAlignEqualSigns(CCmdUI* cmdUI);
  void OnEditCut();
  void OnEditCopy();
  void OnEditPaste();
  void OnCopyAsMetafile();
  void OnCopyAsBitmap();
  void OnFileSaveAs();
  void OnPaletteHeader() {}
  // --- preferences sheet (DocumentPreferences.cpp) ---
  // The six-page sheet on this document's options; OK applies the pages
  // that were shown and lays the equation out again.
  void EditPreferences();
  void OnEditOptions();
  // Replaces the box's selection with the command's text, as typing would.
  void InsertSymbol(const SymbolCommand& command);

  // --- structure inserts (StructureCommands.cpp) ---
  // Each replaces the box's selection (undoable there) and asks for the
  // focus back; the wrap and append families are routed from their tables.
  void WrapSelection(const WrapForm& form);
  void AppendToSelection(const AppendMark& mark);
  void OnInsertDiv();
  void OnInsertLimit();
  void OnInsertBounds();
  void OnInsertSum() { InsertSumOrProduct("sigma"); }
  void OnInsertProduct() { InsertSumOrProduct("product"); }
  void OnInsertNthRoot();
  void OnInsertScientific();
  void OnInsertDerivativeAtPoint();
  void OnInsertIntegral();
  void OnInsertMatrix();
  void OnInsertVector();
  void OnInsertPiecewise();

 private:
  void ToggleLineFormat(bool LineFormat::* flag);
  void UpdateLineFormat(CCmdUI* cmdUI, bool LineFormat::* flag);
  // Modified, views updated, focus back to the text box.
  void ChangedByCommand();
  // EM_REPLACESEL (undoable) with `text`, then the focus back to the box.
  void ReplaceEditSelection(const CString& text);
  // The first character of the separator option.
  CString SeparatorText() const;
  void InsertSumOrProduct(const char* kind);

  // The embedded item that containers draw, measure and store.
  COleServerItem* OnGetEmbeddedItem() override;

  DECLARE_MESSAGE_MAP()
};
