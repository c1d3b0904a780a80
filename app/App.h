// QVM400App: the program's application object. It owns the settings stores,
// the default option set, the last measured extent and the equation text box
// object; runs the start-up sequence; gives the focus back to the text box
// when idle; and handles the application-wide commands.
// Choices of ours: a plain file path on the command line opens that file and
// shows the window (only the shell's DDE start waits hidden), and a file that
// does not open leaves the program running without it; commands that
// close documents ask before discarding one that is modified and not
// embedded, and stop when the user cancels or an update fails. Started for
// embedding, it opens no untitled document (one would keep the server alive
// after its containers let go) and stays hidden until a container shows an
// object.
#pragma once

#include <vector>

#include "app/help/LanguageManager.h"
#include "engine/Extent.h"
#include "framework/App.h"
#include "framework/Ole.h"
#include "app/startup/StartupManager.h"
#include "controls/QVEdit.h"
#include "options/IniFile.h"
#include "options/OptionHolders.h"
#include "options/QVMOptions.h"

class CMainFrame;
class QVM400Doc;

class QVM400App : public CWinApp {
 public:
  QVM400App();
  ~QVM400App() override;

  BOOL InitInstance() override;
  BOOL OnIdle(LONG count) override;

  // The first template whose document name is `name`, byte for byte.
  CDocTemplate* FindTemplate(const char* name) const;

  // --- start-up steps, in their order (public so tests can run them) ---
  void LoadSettings();
  // The two templates, each joined to its template server.
  void AddTemplates();
  BOOL CreateMainFrame();
  // The end of start-up: what the command line asks for; FALSE ends.
  BOOL StartFromCommandLine(CCommandLineInfo& info);

  // Puts a document's text into the text box (when the box exists); while
  // a document opens, once its picture is drawn.
  void ShowInEquationEdit(const CString& text);
  // The text box's window, or null while there is none; holding the text of
  // the document last shown.
  HWND EquationEditWindow();
  // Every open goes through here: see EquationTextHold.
  CDocument* OpenDocumentFile(const char* fileName) override;

  // Before documents are closed: asks to save each modified one that is not
  // embedded; with `updateEmbedded` embedded ones update their container.
  // FALSE when the user cancelled or an update failed.
  BOOL PrepareDocumentsForClose(bool updateEmbedded);

  QVEdit* EquationEdit = nullptr;
  BYTE RefocusEdit = 1;
  QVIniFile PreferenceIni, ControlIni, FontIni;
  ExtentRecord EquationExtent;
  QVMOptions DefaultOptions;
  QVOptionString LanguageOption;
  QVLanguageManager LanguageManager;
  COleTemplateServer TemplateServer[2];
  BYTE RunningEmbedded = 0;
  BYTE RunStartupServices = 0;
  StartupManager Startup;

  // --- commands ---
  void OnFileUpdate() {}
  void OnAppExit();
  void OnUpdateAndReturn();
  void OnCancelChanges();
  void OnUpdateEmbeddedCommand(CCmdUI* cmdUI);
  void OnResetOptions();
  void OnWriteDefaultConfiguration();
  void OnCheckForUpdates();
  void OnUpdateCheckForUpdates(CCmdUI* cmdUI);
  void OnRegisterNewsletter();
  void OnRegisterTutorials();

  // --- about boxes, help files and manuals, language ---
  void OnAppAbout();
  void OnAboutMarvolk();
  void OnReadHelpFile();
  void OnReadManual();
  void OnReadQuickrefCard();
  void OnReadWhatsNewCard();
  void OnUpdateReadHelpFile(CCmdUI* cmdUI);
  void OnUpdateReadManual(CCmdUI* cmdUI);
  void OnUpdateReadQuickrefCard(CCmdUI* cmdUI);
  void OnUpdateReadWhatsNewCard(CCmdUI* cmdUI);
  void OnLanguage();
  void OnUpdateLanguage(CCmdUI* cmdUI);

  // The program's folder, with its trailing "\".
  static CString ProgramDirectory();
  // Opens a file of the program's folder with its associated program; a
  // missing reader or file is reported.
  void OpenProgramFile(const char* name);

 private:
  friend class EquationTextHold;
  void OpenStore(QVIniFile& store, const char* fileName);
  // The default options into `store` and to disk; false when the file
  // could not be written.
  bool WriteConfiguration(QVIniFile& store, bool writeDefaults);
  void ApplyInterfaceLanguage();
  // Marks the start as embedded; File New is skipped.
  void StartEmbedded(CCommandLineInfo& info);
  // Writes or removes both servers' registration.
  void UpdateServerRegistry(BOOL registering);
  // The documents of the template named `name`, in order.
  std::vector<CDocument*> DocumentsOf(const char* name) const;
  void PutInEquationEdit(const CString& text);
  // Puts a held text into the box.
  void ShowHeldText();

  int equationTextHolds_ = 0;
  bool equationTextHeld_ = false;
  CString heldEquationText_;

  DECLARE_MESSAGE_MAP()
};

// Wine's edit control takes about half a second to lay out a million
// characters. While a document opens, the text box's text is held back;
// when the last hold ends, the main window (when shown) is painted first,
// and then the box gets the text: the picture does not wait for the box.
class EquationTextHold {
 public:
  explicit EquationTextHold(QVM400App& app) : app_(app) { ++app_.equationTextHolds_; }
  ~EquationTextHold();
  EquationTextHold(const EquationTextHold&) = delete;
  EquationTextHold& operator=(const EquationTextHold&) = delete;

 private:
  QVM400App& app_;
};

// The application object as the program's own class.
QVM400App* GetQVMApp();
