// The document file through the program's own roads: Save, Save As, Open,
// the recent-file list, dropped files and the command line; damaged files
// and failed saves.
#include <filesystem>

#include <shlobj.h>

#include "app/document/DocManager.h"
#include "framework/FileDialog.h"
#include "framework/RecentFileList.h"
#include "framework/OleStorage.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/portable/DocumentArchiveBytes.h"
#include "tests/portable/SerializeBytes.h"
#include "tests/win/StorageTestSupport.h"

namespace {

using namespace archive_bytes;

// A document manager whose file dialog answers with a name the test chose.
class ChosenNameDocManager : public QVDocManager {
 public:
  BOOL DoPromptFileName(CString& fileName, UINT, DWORD, BOOL, CDocTemplate*) override {
    ++prompts;
    if (nextName.IsEmpty()) return FALSE;
    fileName = nextName;
    return TRUE;
  }
  CString nextName;
  int prompts = 0;
};

// Save As asks through its own file dialog: the hook answers it the same way.
ChosenNameDocManager* g_chosenNames = nullptr;

INT_PTR AnswerFileDialog(CFileDialog& dialog) {
  ++g_chosenNames->prompts;
  if (g_chosenNames->nextName.IsEmpty()) return IDCANCEL;
  dialog.SetPathName(g_chosenNames->nextName);
  return IDOK;
}

class DocumentFile : public AppTest {
 protected:
  void BeforeTemplates() override {
    manager = new ChosenNameDocManager;
    app->m_pDocManager = manager;
    g_chosenNames = manager;
    previousHook_ = CFileDialog::SetFileDialogHook(AnswerFileDialog);
  }
  void TearDown() override {
    CFileDialog::SetFileDialogHook(previousHook_);
    AppTest::TearDown();
    g_chosenNames = nullptr;
  }
  void Command(UINT id) { frame->SendMessage(WM_COMMAND, id, 0); }
  // A document with `text`, saved at `path` and closed.
  void SaveDocument(const std::string& path, const char* text) {
    QVM400Doc* doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    doc->SetEquationText(text);
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    doc->OnCloseDocument();
  }
  // Drops `paths` on the main frame as the shell does.
  void Drop(const std::vector<std::string>& paths);

  ChosenNameDocManager* manager = nullptr;

 private:
  CFileDialog::Hook previousHook_ = nullptr;
};

void DocumentFile::Drop(const std::vector<std::string>& paths) {
  size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& path : paths) size += path.size() + 1;
  HGLOBAL memory = ::GlobalAlloc(GHND, size);
  auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  char* names = reinterpret_cast<char*>(drop + 1);
  for (const std::string& path : paths) {
    path.copy(names, path.size());
    names += path.size() + 1;
  }
  ::GlobalUnlock(memory);
  frame->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);  // frees it
}

bool SamePath(const CString& a, const std::string& b) { return a.CompareNoCase(b.c_str()) == 0; }

int FilesIn(const TempFolder& folder) {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path()))
    ++count;
  return count;
}

TEST_F(DocumentFile, SaveWritesTheContentsStreamOfAnEmptyDocumentByteForByte) {
  const std::string path = appData.File("empty.qvm");
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  manager->nextName = path.c_str();
  Command(ID_FILE_SAVE);  // untitled: asks for a name
  EXPECT_EQ(manager->prompts, 1);
  const std::wstring wide(path.begin(), path.end());
  ASSERT_EQ(StgIsStorageFile(wide.c_str()), S_OK);
  EXPECT_EQ(ContentsStream(path), CurrentForm());
  EXPECT_TRUE(SamePath(doc->GetPathName(), path));
  EXPECT_FALSE(doc->IsModified());

  // A second Save writes to the same file without asking.
  doc->SetEquationText("a");
  Command(ID_FILE_SAVE);
  EXPECT_EQ(manager->prompts, 1);
  EXPECT_EQ(ContentsStream(path), CurrentForm(EquationListBytes({LineRecord("a")})));
  EXPECT_TRUE(TakeShownBoxes().empty());
}

TEST_F(DocumentFile, SaveAsOpenAndTheRecentFileListKeepTextsFormatsAndOptions) {
  app->m_pRecentFileList->RemoveAll();
  const std::string path = appData.File("filled.qvm");
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetEquationText(TwentyLines({"x^2+1", "", "y=sqrt(x)"}));
  doc->Equation.Formats[2].Underline = true;
  doc->Equation.Formats[0].UseColour = true;
  doc->Equation.Formats[0].Colour = 0x123456;
  doc->Options.TabWidth.Value = 777;
  doc->Options.UnitsList.Value = "m,s";
  doc->Options.Font.Value.Size = 500;
  const std::string optionBytes = StoreBytes(doc->Options);
  manager->nextName = path.c_str();
  Command(ID_FILE_SAVE_AS);
  EXPECT_TRUE(SamePath((*app->m_pRecentFileList)[0], path));
  app->CloseAllDocuments(TRUE);

  for (UINT command : {static_cast<UINT>(ID_FILE_OPEN), static_cast<UINT>(ID_FILE_MRU_FILE1)}) {
    app->EquationEdit->SetWindowText("");
    Command(command);
    QVM400Doc* opened = ActiveDocument();
    ASSERT_NE(opened, nullptr) << command;
    EXPECT_EQ(opened->EquationText, TwentyLines({"x^2+1", "", "y=sqrt(x)"}));
    EXPECT_EQ(BoxText(), opened->EquationText);
    EXPECT_TRUE(opened->Equation.Formats[2].Underline);
    EXPECT_EQ(opened->Equation.Formats[0].Colour, 0x123456u);
    EXPECT_EQ(StoreBytes(opened->Options), optionBytes);
    EXPECT_FALSE(opened->IsModified());
    EXPECT_TRUE(SamePath(opened->GetPathName(), path));
    app->CloseAllDocuments(TRUE);
  }
  EXPECT_TRUE(TakeShownBoxes().empty());
}

TEST_F(DocumentFile, DroppedFilesOpenAndAnOpenFileIsOnlyActivated) {
  const std::string first = appData.File("first.qvm");
  const std::string second = appData.File("second.qvm");
  SaveDocument(first, "1");
  SaveDocument(second, "2");
  Drop({first, second});
  ASSERT_EQ(app->GetOpenDocumentCount(), 2);
  QVM400Doc* secondDoc = ActiveDocument();
  ASSERT_NE(secondDoc, nullptr);
  EXPECT_EQ(secondDoc->EquationText, TwentyLines({"2"}));

  // Open, drop and the recent-file list all find the open document.
  QVM400Doc* firstDoc = static_cast<QVM400Doc*>(app->OpenDocumentFile(first.c_str()));
  EXPECT_EQ(ActiveDocument(), firstDoc);
  EXPECT_EQ(firstDoc->EquationText, TwentyLines({"1"}));
  Drop({second});
  EXPECT_EQ(ActiveDocument(), secondDoc);
  manager->nextName = first.c_str();
  Command(ID_FILE_OPEN);
  EXPECT_EQ(ActiveDocument(), firstDoc);
  EXPECT_EQ(app->GetOpenDocumentCount(), 2);
  EXPECT_TRUE(TakeShownBoxes().empty());
}

TEST_F(DocumentFile, OlderFlatFilesOpen) {
  const struct {
    const char* name;
    std::string bytes;
    const char* line1;
  } cases[] = {
      {"old.ov3", OlderForm("QVM3DOC", {"a+b", "c"}, DefaultArchive()), "a+b"},
      {"old.ux3", OlderForm("qvp3DOC", {"d"}, DefaultArchive()), "d"},
      {"old.ov2", RawTexts({"raw", "text"}) + RawFields(RawOptions{}), "raw"},
      {"foreign.qvm", std::string("\x05HELLO\x01\x00", 8), "HELLO"},
  };
  for (const auto& c : cases) {
    const std::string path = appData.File(c.name);
    TempFolder::Write(path, c.bytes);
    auto* doc = static_cast<QVM400Doc*>(app->OpenDocumentFile(path.c_str()));
    ASSERT_NE(doc, nullptr) << c.name;
    EXPECT_EQ(doc->Equation.Lines[0], c.line1);
    EXPECT_EQ(BoxText(), doc->EquationText);
    EXPECT_FALSE(doc->IsModified());
  }
  EXPECT_TRUE(TakeShownBoxes().empty());
}

// A file that fails to load is reported once; the open document, the text
// box and the program stay as they were.
TEST_F(DocumentFile, DamagedFilesAreReportedAndChangeNothing) {
  const std::string good = appData.File("good.qvm");
  SaveDocument(good, "a+b");
  auto* open = static_cast<QVM400Doc*>(app->OpenDocumentFile(good.c_str()));
  ASSERT_NE(open, nullptr);
  const CString box = BoxText();
  const std::string full = CurrentForm(EquationListBytes({LineRecord("damaged")}));
  const std::string flat = appData.File("flat.qvm");
  TempFolder::Write(flat, full.substr(0, full.size() - 20));
  const std::string compound = appData.File("compound.qvm");
  WriteDocumentFile(compound.c_str(), [&](CArchive& ar) { ar.Write(full.data(), 150); });
  CCommandLineInfo info;
  info.m_nShellCommand = CCommandLineInfo::FileOpen;
  for (const std::string& path : {flat, compound}) {
    TakeShownBoxes();
    EXPECT_EQ(app->OpenDocumentFile(path.c_str()), nullptr) << path;
    info.m_strFileName = path.c_str();
    EXPECT_TRUE(app->StartFromCommandLine(info));  // the program goes on
    Drop({path});
    const auto boxes = TakeShownBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    for (const auto& shown : boxes) {
      EXPECT_NE(shown.text.find(path), std::string::npos) << shown.text;
      EXPECT_EQ(shown.type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    }
    EXPECT_EQ(app->GetOpenDocumentCount(), 1);
    EXPECT_EQ(ActiveDocument(), open);
    EXPECT_EQ(open->EquationText, TwentyLines({"a+b"}));
    EXPECT_FALSE(open->IsModified());
    EXPECT_EQ(BoxText(), box);
  }
}

// The embedded road: a damaged "Contents" stream in a container's storage
// leaves the document as it was.
TEST_F(DocumentFile, DamagedStorageLeavesTheDocumentAsItWas) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetEquationText("kept");
  const std::string path = appData.File("embedded.qvm");
  const std::string full = CurrentForm();
  WriteDocumentFile(path.c_str(), [&](CArchive& ar) { ar.Write(full.data(), 300); });
  const std::wstring wide(path.begin(), path.end());
  IStorage* storage = nullptr;
  ASSERT_EQ(StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                           &storage),
            S_OK);
  EXPECT_THROW(doc->LoadFromStorage(storage), CArchiveException);
  storage->Release();
  EXPECT_EQ(doc->Equation.Lines[0], "kept");
}

// Saving never destroys the file that was there: a locked file and a folder
// that went away both leave everything as it was, with one message.
TEST_F(DocumentFile, FailedSavesKeepTheOldFile) {
  TempFolder folder;
  const std::string path = folder.File("locked.qvm");
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetEquationText("old");
  ASSERT_TRUE(doc->DoSave(path.c_str()));
  const std::string before = TempFolder::Read(path);
  doc->SetEquationText("new");

  HANDLE lock = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  TakeShownBoxes();
  Command(ID_FILE_SAVE);
  ::CloseHandle(lock);
  EXPECT_EQ(TakeShownBoxes().size(), 1u);
  EXPECT_EQ(TempFolder::Read(path), before);
  EXPECT_EQ(FilesIn(folder), 1);  // no temporary file left behind
  EXPECT_TRUE(doc->IsModified());

  const std::string gone = folder.File("gone\\lost.qvm");
  manager->nextName = gone.c_str();
  Command(ID_FILE_SAVE_AS);
  EXPECT_EQ(TakeShownBoxes().size(), 1u);
  EXPECT_TRUE(SamePath(doc->GetPathName(), path));
  EXPECT_TRUE(doc->IsModified());

  Command(ID_FILE_SAVE);  // once the file is free again, Save works
  EXPECT_TRUE(TakeShownBoxes().empty());
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(ContentsStream(path), CurrentForm(EquationListBytes({LineRecord("new")})));
}

}  // namespace
