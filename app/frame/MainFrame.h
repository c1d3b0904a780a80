// CMainFrame: the program's main window, an MDI frame around the document
// windows. It carries the standard toolbar, the status bar, the dialog bar
// with the one equation text box and the left-docked "Shortcuts" bar whose
// buttons open the symbol and structure palettes. It hands every change of
// the text box to the active document and writes the document's normalised
// text back, answers the shell's DDE execute requests, and whenever it gets
// the focus re-reads the font settings and tells other programs that it runs.
// Choices of ours: the normalised text goes back into the box only when it
// differs from what the box holds, since writing a window text empties the
// box's undo buffer; a DDE command is read no further than its memory block
// and a block that cannot be locked is refused. The keyboard window's
// visibility and layout outlive a frame, so a new frame shows the keyboard
// again; it first opens beside the frame, clear of the bars, and then
// stays where the user moves it.
#pragma once

#include "controls/Flyout.h"
#include "controls/Label.h"
#include "framework/ControlBars.h"
#include "framework/Frame.h"

class QVM400Doc;

// The main frame's helper for layered windows (one for the program).
extern CLayeredWindowHelper theLayeredWindowHelper;

class CMainFrame : public CMDIFrameWnd {
  DECLARE_DYNCREATE(CMainFrame)
 public:
  // A DDE command is cut to this many characters.
  static constexpr int kMaxDDECommand = 519;
  // Layout of the on-screen keyboard shown by the frame.
  static constexpr int kDefaultKeyboardPage = 5;

  CMainFrame() = default;
  ~CMainFrame() override = default;

  // The document of the active document window, or null.
  QVM400Doc* GetActiveEquationDocument() const;

  // The road of an edit: the box's text to the active document and back.
  void OnEquationEditChange();

  CToolBar& ToolBar() { return m_wndToolBar; }
  CStatusBar& StatusBar() { return m_wndStatusBar; }
  CDialogBar& EquationBar() { return m_wndDlgBar; }
  QVFlyoutTrueColor& ShortcutsBar() { return m_wndShortcuts; }

  // Program-wide state of the on-screen keyboard window.
  static BYTE ScreenKeyboardVisible;
  static int ScreenKeyboardPage;

 protected:
  int OnCreate(LPCREATESTRUCTA cs);
  void OnSetFocus(CWnd* old);
  void OnWindowNew() {}
  LRESULT OnDDEExecute(WPARAM client, LPARAM data);
  LRESULT OnUpdateAvailable(WPARAM, LPARAM);
  void OnScreenKeyboard();
  void OnUpdateScreenKeyboard(CCmdUI* cmdUI);

  // --- creation steps, in their order ---
  BOOL CreateToolBar();
  BOOL CreateStatusBar();
  BOOL CreateEquationBar();
  BOOL CreateShortcutsBar();
  BOOL AttachEquationEdit();
  void AddShortcutPalettes();
  void StartWithEmptyEquation();

  // The on-screen keyboard window: made once, when first shown (a new frame
  // finds it made), shown without activation in a layout, hidden; it goes
  // with the frame.
  void CreateScreenKeyboard();
  void ShowScreenKeyboard(int layout);
  void PlaceScreenKeyboard();
  void HideScreenKeyboard();
  void OnDestroy();

  // Member order decides destruction: "Shortcuts", toolbar, status, dialog bar.
  CDialogBar m_wndDlgBar;
  CStatusBar m_wndStatusBar;
  CToolBar m_wndToolBar;
  QVFlyoutTrueColor m_wndShortcuts;
  bool m_keyboardPlaced = false;  // the keyboard window was put beside the frame

  DECLARE_MESSAGE_MAP()
};
