// CDocTemplate, CMultiDocTemplate, CDocManager.
#include "framework/DocManager.h"

#include <shlobj.h>

#include <vector>

#include "framework/App.h"
#include "framework/FileDialog.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)
IMPLEMENT_DYNAMIC(CDocManager, CObject)

namespace {


bool EndsWithNoCase(const CString& text, const CString& tail) {
  return text.GetLength() >= tail.GetLength() &&
         text.Right(tail.GetLength()).CompareNoCase(tail) == 0;
}

// The menu and accelerators of resource `id` that are not loaded yet, each
// from the language module when it has them, else from the program.
void LoadMenuAndKeys(UINT id, HMENU& menu, HACCEL& keys) {
  const char* name = MAKEINTRESOURCEA(id);
  HINSTANCE instance = AfxFindResourceHandle(name, MAKEINTRESOURCEA(4));  // RT_MENU
  if (!menu && ::FindResourceA(instance, name, MAKEINTRESOURCEA(4)))
    menu = ::LoadMenuA(instance, name);
  instance = AfxFindResourceHandle(name, MAKEINTRESOURCEA(9));  // RT_ACCELERATOR
  if (!keys && ::FindResourceA(instance, name, MAKEINTRESOURCEA(9)))
    keys = ::LoadAcceleratorsA(instance, name);
}

CString ProgramPath() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// Sets the default value of HKCU\Software\Classes\<key>.
bool SetClassesValue(const CString& key, const CString& value, const char* name = nullptr) {
  HKEY handle = nullptr;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Classes\\" + key, 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
    return false;
  const LONG status =
      ::RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()),
                       static_cast<DWORD>(value.GetLength() + 1));
  ::RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}

CString GetClassesValue(const CString& key) {
  char buffer[512] = {};
  LONG size = sizeof buffer;
  if (::RegQueryValueA(HKEY_CURRENT_USER, "Software\\Classes\\" + key, buffer, &size) !=
      ERROR_SUCCESS)
    return CString();
  return buffer;
}

// Writes the default value unless it is there already; true when it wrote.
bool PutClassesValue(const CString& key, const CString& value) {
  return GetClassesValue(key) != value && SetClassesValue(key, value);
}

void DeleteClassesKey(const CString& key) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\" + key);
}

}  // namespace

// --- CDocTemplate --------------------------------------------------------------------

CDocTemplate::CDocTemplate(UINT resourceId, const CRuntimeClass* docClass,
                           const CRuntimeClass* frameClass, const CRuntimeClass* viewClass)
    : m_nIDResource(resourceId),
      m_pDocClass(docClass),
      m_pFrameClass(frameClass),
      m_pViewClass(viewClass) {
  LoadTemplate();
}

CDocTemplate::~CDocTemplate() {
  // Documents still open lose their template, not their memory.
  while (!docs_.IsEmpty()) docs_.RemoveHead()->m_pDocTemplate = nullptr;
  if (m_hMenuShared) ::DestroyMenu(m_hMenuShared);
  if (m_hAccelTable) ::DestroyAcceleratorTable(m_hAccelTable);
  if (m_hMenuEmbedding) ::DestroyMenu(m_hMenuEmbedding);
  if (m_hAccelEmbedding) ::DestroyAcceleratorTable(m_hAccelEmbedding);
}

void CDocTemplate::LoadTemplate() {
  m_strDocStrings.LoadString(m_nIDResource);
  LoadMenuAndKeys(m_nIDResource, m_hMenuShared, m_hAccelTable);
}

void CDocTemplate::SetServerInfo(UINT embeddingId, UINT inPlaceId) {
  m_nIDServerResource = embeddingId;
  m_nIDServerInPlaceResource = inPlaceId;
  if (embeddingId) LoadMenuAndKeys(embeddingId, m_hMenuEmbedding, m_hAccelEmbedding);
}

BOOL CDocTemplate::GetDocString(CString& value, DocStringIndex index) const {
  value.Empty();
  int start = 0;
  for (int field = 0; field <= index; ++field) {
    if (start > m_strDocStrings.GetLength()) return FALSE;
    int end = m_strDocStrings.Find('\n', start);
    if (end < 0) end = m_strDocStrings.GetLength();
    if (field == index) value = m_strDocStrings.Mid(start, end - start);
    start = end + 1;
  }
  return !value.IsEmpty();
}

CStringArray CDocTemplate::GetFilterExtensions() const {
  CStringArray extensions;
  CString list;
  GetDocString(list, filterExt);
  int pos = 0;
  for (CString ext = list.Tokenize(";", pos); pos >= 0; ext = list.Tokenize(";", pos)) {
    ext.Trim();
    if (!ext.IsEmpty()) extensions.Add(ext);
  }
  return extensions;
}

void CDocTemplate::AddDocument(CDocument* doc) {
  docs_.AddTail(doc);
  doc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* doc) {
  if (POSITION pos = docs_.Find(doc)) docs_.RemoveAt(pos);
  doc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument() {
  auto* doc = static_cast<CDocument*>(AfxCreateObjectOf(m_pDocClass, RUNTIME_CLASS(CDocument)));
  if (!doc) return nullptr;
  AddDocument(doc);
  return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* doc, CFrameWnd* other) {
  CCreateContext context;
  context.m_pCurrentFrame = other;
  context.m_pCurrentDoc = doc;
  context.m_pNewViewClass = m_pViewClass;
  context.m_pNewDocTemplate = this;
  auto* frame =
      static_cast<CFrameWnd*>(AfxCreateObjectOf(m_pFrameClass, RUNTIME_CLASS(CFrameWnd)));
  if (!frame) return nullptr;
  if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
    return nullptr;  // the frame has deleted itself
  return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, BOOL makeVisible) {
  frame->InitialUpdateFrame(doc, makeVisible);
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(const char* pathName, CDocument*& match) {
  match = nullptr;
  const CString path(pathName);
  for (POSITION pos = GetFirstDocPosition(); pos;) {
    CDocument* doc = GetNextDoc(pos);
    if (!doc->GetPathName().IsEmpty() && doc->GetPathName().CompareNoCase(path) == 0) {
      match = doc;
      return yesAlreadyOpen;
    }
  }
  for (const CString& ext : GetFilterExtensions())
    if (EndsWithNoCase(path, ext)) return yesAttemptNative;
  return yesAttemptForeign;
}

BOOL CDocTemplate::SaveAllModified() {
  for (POSITION pos = GetFirstDocPosition(); pos;)
    if (!GetNextDoc(pos)->SaveModified()) return FALSE;
  return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL) {
  std::vector<CDocument*> docs;
  for (POSITION pos = GetFirstDocPosition(); pos;) docs.push_back(GetNextDoc(pos));
  for (CDocument* doc : docs)
    if (docs_.Find(doc)) doc->OnCloseDocument();
}

// --- CMultiDocTemplate -----------------------------------------------------------------

CMultiDocTemplate::CMultiDocTemplate(UINT resourceId, const CRuntimeClass* docClass,
                                     const CRuntimeClass* frameClass,
                                     const CRuntimeClass* viewClass)
    : CDocTemplate(resourceId, docClass, frameClass, viewClass) {}

void CMultiDocTemplate::SetDefaultTitle(CDocument* doc) {
  CString title;
  if (GetDocString(title, docName))
    title.AppendFormat("%u", m_nUntitledCount + 1);
  else
    title.LoadString(AFX_IDS_UNTITLED);
  doc->SetTitle(title);
}

// A new document (null path) or one read from a file, in a new frame.
CDocument* CMultiDocTemplate::OpenDocumentFile(const char* pathName, BOOL makeVisible) {
  CDocument* doc = CreateNewDocument();
  if (!doc) {
    AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC, MB_ICONEXCLAMATION);
    return nullptr;
  }
  const BOOL autoDelete = doc->m_bAutoDelete;
  doc->m_bAutoDelete = FALSE;  // a failed frame must not take the document along
  CFrameWnd* frame = CreateNewFrame(doc, nullptr);
  doc->m_bAutoDelete = autoDelete;
  if (!frame) {
    AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC, MB_ICONEXCLAMATION);
    delete doc;
    return nullptr;
  }
  if (!pathName) {
    SetDefaultTitle(doc);
    if (!makeVisible) doc->m_bEmbedded = TRUE;
    if (!doc->OnNewDocument()) {
      frame->DestroyWindow();  // closes the document with its last view
      return nullptr;
    }
    ++m_nUntitledCount;
  } else {
    if (!doc->OnOpenDocument(pathName)) {
      frame->DestroyWindow();
      return nullptr;
    }
    doc->SetPathName(pathName);
  }
  InitialUpdateFrame(frame, doc, makeVisible);
  return doc;
}

// --- CDocManager -------------------------------------------------------------------------

CDocManager::~CDocManager() {
  while (!templates_.IsEmpty()) delete templates_.RemoveHead();
}

void CDocManager::AddDocTemplate(CDocTemplate* docTemplate) {
  if (!templates_.Find(docTemplate)) templates_.AddTail(docTemplate);
}

int CDocManager::GetOpenDocumentCount() const {
  int count = 0;
  for (POSITION pos = GetFirstDocTemplatePosition(); pos;)
    count += GetNextDocTemplate(pos)->GetDocumentCount();
  return count;
}

// Opens with the template that fits the file best; a file already open
// only gets its window activated.
CDocument* CDocManager::OpenDocumentFile(const char* fileName) {
  char full[MAX_PATH * 2] = {};
  const DWORD length = ::GetFullPathNameA(fileName, sizeof full, full, nullptr);
  const CString path = length > 0 && length < sizeof full ? CString(full) : CString(fileName);
  CDocTemplate* best = nullptr;
  CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
  CDocument* open = nullptr;
  for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
    CDocTemplate* docTemplate = GetNextDocTemplate(pos);
    CDocument* match = nullptr;
    const CDocTemplate::Confidence confidence = docTemplate->MatchDocType(path, match);
    if (confidence > bestMatch) {
      bestMatch = confidence;
      best = docTemplate;
      open = match;
    }
    if (confidence == CDocTemplate::yesAlreadyOpen) break;
  }
  if (open) {
    POSITION view = open->GetFirstViewPosition();
    if (view)
      if (CFrameWnd* frame = open->GetNextView(view)->GetParentFrame()) frame->ActivateFrame();
    return open;
  }
  return best ? best->OpenDocumentFile(path) : nullptr;
}

BOOL CDocManager::SaveAllModified() {
  for (POSITION pos = GetFirstDocTemplatePosition(); pos;)
    if (!GetNextDocTemplate(pos)->SaveAllModified()) return FALSE;
  return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL endSession) {
  for (POSITION pos = GetFirstDocTemplatePosition(); pos;)
    GetNextDocTemplate(pos)->CloseAllDocuments(endSession);
}

void CDocManager::OnFileNew() {
  if (templates_.IsEmpty()) {
    AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC, MB_ICONEXCLAMATION);
    return;
  }
  templates_.GetHead()->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen() {
  CString fileName;
  if (!DoPromptFileName(fileName, 0, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, nullptr)) return;
  if (CWinApp* app = AfxGetApp())
    app->OpenDocumentFile(fileName);
  else
    OpenDocumentFile(fileName);
}

// Filters from the templates ("Name (*.a;*.b)|*.a;*.b|") and All Files.
BOOL CDocManager::DoPromptFileName(CString& fileName, UINT titleId, DWORD flags,
                                   BOOL openFileDialog, CDocTemplate* docTemplate) {
  CString filter;
  CString defaultExt;
  for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
    CDocTemplate* each = GetNextDocTemplate(pos);
    if (docTemplate && each != docTemplate) continue;
    CString name;
    const CStringArray extensions = each->GetFilterExtensions();
    if (!each->GetDocString(name, CDocTemplate::filterName) || extensions.IsEmpty()) continue;
    CString patterns;
    for (const CString& ext : extensions) patterns += (patterns.IsEmpty() ? "*" : ";*") + ext;
    if (name.Find('(') < 0) name += " (" + patterns + ")";
    filter += name + "|" + patterns + "|";
    if (defaultExt.IsEmpty()) defaultExt = extensions[0].Mid(1);
  }
  filter += AfxLoadString(AFX_IDS_ALL_FILES_FILTER) + "|*.*||";
  CWinApp* app = AfxGetApp();
  CFileDialog dialog(openFileDialog, defaultExt.IsEmpty() ? nullptr : defaultExt.GetString(),
                     fileName, flags, filter, app ? app->m_pMainWnd : nullptr);
  CString title;
  if (titleId && title.LoadString(titleId)) dialog.m_ofn.lpstrTitle = title;
  if (dialog.DoModal() != IDOK) return FALSE;
  fileName = dialog.GetPathName();
  return !fileName.IsEmpty();
}

BOOL CDocManager::ParseDDECommand(const char* command, CString& verb, CStringArray& args) {
  CString text(command);
  text.Trim();
  if (text.GetLength() < 2 || text[0] != '[' || text[text.GetLength() - 1] != ']') return FALSE;
  text = text.Mid(1, text.GetLength() - 2);
  const int open = text.Find('(');
  if (open < 0) {
    verb = text.Trim();
    return !verb.IsEmpty();
  }
  verb = text.Left(open).Trim();
  if (text[text.GetLength() - 1] != ')') return FALSE;
  const CString list = text.Mid(open + 1, text.GetLength() - open - 2);
  int i = 0;
  while (i < list.GetLength()) {
    while (i < list.GetLength() && (list[i] == ' ' || list[i] == ',')) ++i;
    if (i >= list.GetLength()) break;
    if (list[i] != '"') return FALSE;
    const int close = list.Find('"', i + 1);
    if (close < 0) return FALSE;  // an unterminated argument (a cut command)
    args.Add(list.Mid(i + 1, close - i - 1));
    i = close + 1;
  }
  return !verb.IsEmpty();
}

// [open("path")] shows the main window and opens the file;
// [print("path")] and [printto("path", ...)] print it and close it again.
BOOL CDocManager::OnDDECommand(char* command) {
  CString verb;
  CStringArray args;
  if (!ParseDDECommand(command, verb, args)) return FALSE;
  CWinApp* app = AfxGetApp();
  if (verb.CompareNoCase("open") == 0 && args.GetSize() >= 1) {
    if (app && app->m_pMainWnd && !app->m_pMainWnd->IsWindowVisible()) {
      app->m_pMainWnd->ShowWindow(SW_SHOWNORMAL);
      app->m_pMainWnd->UpdateWindow();
    }
    if (app)
      app->OpenDocumentFile(args[0]);
    else
      OpenDocumentFile(args[0]);
    return TRUE;
  }
  if ((verb.CompareNoCase("print") == 0 || verb.CompareNoCase("printto") == 0) &&
      args.GetSize() >= 1) {
    CDocument* doc = OpenDocumentFile(args[0]);
    if (!doc) return TRUE;
    if (app && app->m_pMainWnd) app->m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
    doc->OnCloseDocument();
    return TRUE;
  }
  return FALSE;
}

// Per-user file types: the type id with its name, icon and open command
// (through DDE when the application accepts it), and each extension.
// Only a start that changed an association tells the shell: its notice
// starts a process that rereads every association (Wine's menu builder).
void CDocManager::RegisterShellFileTypes(BOOL compatible) {
  const CString program = ProgramPath();
  CWinApp* app = AfxGetApp();
  const bool dde = app && app->m_atomApp;
  bool changed = false;
  auto put = [&changed](const CString& key, const CString& value) {
    if (PutClassesValue(key, value)) changed = true;
  };
  for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
    CDocTemplate* docTemplate = GetNextDocTemplate(pos);
    CString typeId;
    CString typeName;
    if (!docTemplate->GetDocString(typeId, CDocTemplate::regFileTypeId)) continue;
    docTemplate->GetDocString(typeName, CDocTemplate::regFileTypeName);
    put(typeId, typeName);
    put(typeId + "\\DefaultIcon", program + ",0");
    if (dde) {
      put(typeId + "\\shell\\open\\command", "\"" + program + "\" /dde");
      put(typeId + "\\shell\\open\\ddeexec", "[open(\"%1\")]");
      put(typeId + "\\shell\\open\\ddeexec\\application", app->m_strExeName);
      put(typeId + "\\shell\\open\\ddeexec\\topic", "system");
    } else {
      put(typeId + "\\shell\\open\\command", "\"" + program + "\" \"%1\"");
    }
    if (compatible) {
      put(typeId + "\\shell\\print\\command", "\"" + program + "\" /p \"%1\"");
      put(typeId + "\\shell\\printto\\command",
          "\"" + program + "\" /pt \"%1\" \"%2\" \"%3\" \"%4\"");
    }
    for (const CString& ext : docTemplate->GetFilterExtensions()) {
      // Another program's extension stays with that program.
      const CString current = GetClassesValue(ext);
      if (current.IsEmpty() && SetClassesValue(ext, typeId)) changed = true;
    }
  }
  if (changed) ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void CDocManager::UnregisterShellFileTypes() {
  for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
    CDocTemplate* docTemplate = GetNextDocTemplate(pos);
    CString typeId;
    if (!docTemplate->GetDocString(typeId, CDocTemplate::regFileTypeId)) continue;
    for (const CString& ext : docTemplate->GetFilterExtensions())
      if (GetClassesValue(ext) == typeId) DeleteClassesKey(ext);
    DeleteClassesKey(typeId);
  }
  ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
