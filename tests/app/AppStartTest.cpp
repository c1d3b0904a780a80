// The application object: start-up settings, templates, command-line
// starts, idle refocus, the commands that close documents and the option
// file commands.
#include <filesystem>

#include "app/document/DocManager.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"

namespace {

using AppStart = AppTest;

CCommandLineInfo ParsedCommandLine(std::initializer_list<const char*> args) {
  std::vector<const char*> argv = {"ovelin.exe"};
  argv.insert(argv.end(), args);
  CCommandLineInfo info;
  info.ParseArguments(static_cast<int>(argv.size()), argv.data());
  return info;
}

// A saved document at `path` with `text`, closed again.
void WriteDocument(QVM400App* app, const std::string& path, const char* text) {
  app->OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr);
  auto* doc = static_cast<CMainFrame*>(app->m_pMainWnd)->GetActiveEquationDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetEquationText(text);
  ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
  doc->OnCloseDocument();
}

TEST_F(AppStart, FreshStartRecordsTheLanguageAndOpensOneDocument) {
  const std::string settings = TempFolder::Read(SettingsFile("QVM400"));
  EXPECT_NE(settings.find("[General]"), std::string::npos);
  EXPECT_NE(settings.find("Language=ENG"), std::string::npos);
  EXPECT_EQ(app->LanguageOption.GetValue(), "ENG");
  EXPECT_EQ(app->DefaultOptions.VerticalSpacing.Value, QVMOptions(0).VerticalSpacing.Value);

  CCommandLineInfo info = ParsedCommandLine({});
  ASSERT_TRUE(app->StartFromCommandLine(info));
  EXPECT_EQ(app->GetOpenDocumentCount(), 1);
  ASSERT_NE(ActiveDocument(), nullptr);
  EXPECT_EQ(ActiveDocument()->GetTitle(), "Ovelin41");
  EXPECT_EQ(BoxText(), EmptyEquationText());
  EXPECT_EQ(app->RunStartupServices, 1);
  EXPECT_EQ(app->RunningEmbedded, 0);
  EXPECT_TRUE(TakeShownBoxes().empty());
}

TEST_F(AppStart, StoredLanguageIsKept) {
  delete app;
  TempFolder::Write(SettingsFile("QVM400"), "[General]\nLanguage=DEU\n");
  app = new QVM400App;
  app->LoadSettings();
  EXPECT_EQ(app->LanguageOption.GetValue(), "DEU");
  EXPECT_NE(TempFolder::Read(SettingsFile("QVM400")).find("Language=DEU"), std::string::npos);
  app->m_pMainWnd = nullptr;
  frame = nullptr;
}

TEST_F(AppStart, TemplatesAreFoundByTheirDocumentName) {
  CDocTemplate* first = app->FindTemplate("Ovelin4");
  CDocTemplate* second = app->FindTemplate("QVP");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(first->m_nIDResource, static_cast<UINT>(IDR_QVM400TYPE));
  EXPECT_EQ(second->m_nIDResource, static_cast<UINT>(IDR_QVPTYPE));
  EXPECT_EQ(first->m_nIDServerResource, static_cast<UINT>(IDR_SRVR_EMBEDDED));
  EXPECT_EQ(app->FindTemplate("ovelin4"), nullptr);
  EXPECT_EQ(app->FindTemplate("Ovelin"), nullptr);
  CString field;
  first->GetDocString(field, CDocTemplate::regFileTypeName);
  EXPECT_EQ(field, "Ovelin 4 Equation");
}

TEST(QVDocManager, FileNewWithoutTemplatesReportsFailure) {
  TakeShownBoxes();
  QVDocManager manager;
  manager.OnFileNew();
  const auto boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Failed to create empty document.");
}

// A file named on the command line is opened; only the DDE start waits.
TEST_F(AppStart, CommandLineStarts) {
  const std::string path = appData.File("start.qvm");
  WriteDocument(app, path, "a+b");
  ASSERT_EQ(app->GetOpenDocumentCount(), 0);

  CCommandLineInfo open = ParsedCommandLine({path.c_str()});
  ASSERT_TRUE(app->StartFromCommandLine(open));
  ASSERT_EQ(app->GetOpenDocumentCount(), 1);
  ASSERT_NE(ActiveDocument(), nullptr);
  EXPECT_EQ(ActiveDocument()->EquationText, TwentyLines({"a+b"}));
  EXPECT_EQ(BoxText(), TwentyLines({"a+b"}));
  app->CloseAllDocuments(TRUE);

  CCommandLineInfo dde = ParsedCommandLine({"/dde"});
  ASSERT_TRUE(app->StartFromCommandLine(dde));
  EXPECT_EQ(app->GetOpenDocumentCount(), 0);
  EXPECT_FALSE(frame->IsWindowVisible());

  // A file that does not open is reported, and the program goes on without it.
  TakeShownBoxes();
  CCommandLineInfo missing = ParsedCommandLine({appData.File("missing.qvm").c_str()});
  EXPECT_TRUE(app->StartFromCommandLine(missing));
  EXPECT_EQ(app->GetOpenDocumentCount(), 0);
  EXPECT_EQ(TakeShownBoxes().size(), 1u);
}

TEST_F(AppStart, IdleRefocusWaitsForTheSecondIdleCall) {
  ASSERT_NE(NewDocument(), nullptr);
  ::SetFocus(nullptr);
  app->RefocusEdit = 1;
  app->OnIdle(0);
  EXPECT_EQ(app->RefocusEdit, 1);
  app->OnIdle(1);
  EXPECT_EQ(app->RefocusEdit, 0);
  EXPECT_EQ(::GetFocus(), app->EquationEdit->GetSafeHwnd());
}

TEST_F(AppStart, MainFrameFocusMarksTheProgramRunning) {
  app->RefocusEdit = 0;
  frame->SendMessage(WM_SETFOCUS, 0, 0);
  EXPECT_EQ(app->RefocusEdit, 1);
  EXPECT_NE(TempFolder::Read(SettingsFile("QVM4ADJ")).find("Running=1"), std::string::npos);
}

// Cancel Changes and Update and Return ask before a modified document that
// is not embedded is thrown away.
TEST_F(AppStart, CloseCommandsAskBeforeDiscardingAModifiedDocument) {
  for (UINT command : {ID_CANCEL_CHANGES, ID_UPDATE_AND_RETURN}) {
    QVM400Doc* doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    doc->SetEquationText("keep me");
    TakeShownBoxes();
    QueueBoxAnswers({IDCANCEL});
    app->OnCmdMsg(command, CN_COMMAND, nullptr, nullptr);
    auto boxes = TakeShownBoxes();
    ASSERT_EQ(boxes.size(), 1u) << command;
    EXPECT_EQ(boxes[0].text, "Save changes to " + std::string(doc->GetTitle()) + "?");
    EXPECT_EQ(app->GetOpenDocumentCount(), 1) << command;

    QueueBoxAnswers({IDNO});
    app->OnCmdMsg(command, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(TakeShownBoxes().size(), 1u) << command;
    EXPECT_EQ(app->GetOpenDocumentCount(), 0) << command;
  }
  EXPECT_NE(TempFolder::Read(SettingsFile("QVM4ADJ")).find("Running=0"), std::string::npos);

  // Exit closes the main window, which asks too.
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetEquationText("keep me too");
  QueueBoxAnswers({IDCANCEL});
  app->OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr, nullptr);
  EXPECT_EQ(TakeShownBoxes().size(), 1u);
  EXPECT_EQ(app->GetOpenDocumentCount(), 1);
  EXPECT_NE(frame->GetSafeHwnd(), nullptr);
}

TEST_F(AppStart, FailedUpdateOfAnEmbeddedDocumentStopsTheClose) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->m_bEmbedded = TRUE;
  doc->SetEquationText("embedded");
  app->RunningEmbedded = 1;
  app->OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr, nullptr);
  EXPECT_EQ(app->GetOpenDocumentCount(), 1);
  // Without a container to save into, the update fails and says so.
  const auto boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Failed to update the embedded object in its container.");
  // Cancel Changes throws an embedded document's changes away unasked.
  app->OnCmdMsg(ID_CANCEL_CHANGES, CN_COMMAND, nullptr, nullptr);
  EXPECT_EQ(app->GetOpenDocumentCount(), 0);
  EXPECT_TRUE(TakeShownBoxes().empty());
}

TEST_F(AppStart, ResetOptionsWritesFactoryDefaultsBesideTheProgram) {
  QVIniFile probe;
  const std::string path(probe.ProgramFolderPath("QVM3_Default"));
  std::filesystem::remove(path);
  app->DefaultOptions.VerticalSpacing.Value = app->DefaultOptions.VerticalSpacing.Default + 5;

  QueueBoxAnswers({IDCANCEL});
  app->RefocusEdit = 0;
  app->OnCmdMsg(ID_RESET_OPTIONS, CN_COMMAND, nullptr, nullptr);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(app->RefocusEdit, 1);
  auto boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "About to reset all options to original default values");
  EXPECT_EQ(boxes[0].caption, "Ovelin 4");

  app->OnCmdMsg(ID_RESET_OPTIONS, CN_COMMAND, nullptr, nullptr);
  boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text,
            "All options have been reset to factory defaults\n\nOvelin must be restarted to load "
            "new options.");
  QVIniFile written;
  written.AssignPath(path.c_str());
  ASSERT_TRUE(written.LoadFromDisk());
  EXPECT_EQ(written.ReadInt("Options", "VerticalSpacing"),
            app->DefaultOptions.VerticalSpacing.Default);
  // The running program keeps its options.
  EXPECT_EQ(app->DefaultOptions.VerticalSpacing.Value,
            app->DefaultOptions.VerticalSpacing.Default + 5);

  app->OnCmdMsg(ID_WRITE_DEFAULT_CONFIG, CN_COMMAND, nullptr, nullptr);
  boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "A default configuration file has been written to\n" + path +
                               "\n\nRead the installation instructions for details\non how to "
                               "use this feature.");
  written.AssignPath(path.c_str());
  ASSERT_TRUE(written.LoadFromDisk());
  EXPECT_EQ(written.ReadInt("Options", "VerticalSpacing"),
            app->DefaultOptions.VerticalSpacing.Value);
  std::filesystem::remove(path);
}

}  // namespace
