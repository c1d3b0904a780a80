// OLE start-up, the server's lifetime, template servers and their keys.
#include "framework/Ole.h"

#include <algorithm>
#include <vector>

#include "framework/App.h"
#include "framework/DocManager.h"
#include "framework/OleServer.h"

IMPLEMENT_DYNAMIC(COleTemplateServer, CObject)

namespace {

int g_lockCount = 0;
BOOL g_userCtrl = TRUE;
bool g_oleInitialised = false;

std::vector<COleTemplateServer*>& Servers() {
  static std::vector<COleTemplateServer*> servers;
  return servers;
}

// One value of the server's registration: <classes>\<key>, value <name>.
struct RegistryValue {
  CString key;
  const char* name;
  CString value;
};

const char kUserClasses[] = "Software\\Classes\\";

bool WriteValue(HKEY root, const char* prefix, const RegistryValue& entry) {
  HKEY handle = nullptr;
  if (::RegCreateKeyExA(root, CString(prefix) + entry.key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG status = ::RegSetValueExA(handle, entry.name, 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(entry.value.GetString()),
                                       static_cast<DWORD>(entry.value.GetLength() + 1));
  ::RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}

bool WriteAll(HKEY root, const char* prefix, const std::vector<RegistryValue>& values) {
  return std::all_of(values.begin(), values.end(),
                     [&](const RegistryValue& entry) { return WriteValue(root, prefix, entry); });
}

CString ReadDefault(HKEY root, const CString& key) {
  char buffer[256] = {};
  DWORD size = sizeof buffer - 1;
  if (::RegGetValueA(root, key, nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
    return CString();
  return buffer;
}

bool KeyExists(HKEY root, const CString& key) {
  HKEY handle = nullptr;
  if (::RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  ::RegCloseKey(handle);
  return true;
}

bool HasSubKeys(HKEY root, const CString& key) {
  HKEY handle = nullptr;
  if (::RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  DWORD subKeys = 0;
  ::RegQueryInfoKeyA(handle, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr, nullptr);
  ::RegCloseKey(handle);
  return subKeys > 0;
}

// Removes the class's keys under <root>\<prefix>. The ProgID may be shared
// by several classes and by the shell's file type: only its class entry
// naming this class goes, and the ProgID itself once nothing is left in it.
void RemoveClass(HKEY root, const char* prefix, const CString& classText, const CString& progId) {
  ::RegDeleteTreeA(root, CString(prefix) + "CLSID\\" + classText);
  if (progId.IsEmpty()) return;
  const CString progKey = CString(prefix) + progId;
  if (ReadDefault(root, progKey + "\\CLSID").CompareNoCase(classText) != 0) return;
  ::RegDeleteTreeA(root, progKey + "\\CLSID");
  ::RegDeleteTreeA(root, progKey + "\\Insertable");
  if (!HasSubKeys(root, progKey)) ::RegDeleteTreeA(root, progKey);
}

CString ProgramPath() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// The keys of a local server without in-place activation.
std::vector<RegistryValue> ServerValues(const CString& classText, CDocTemplate* docTemplate) {
  CString progId, typeName, shortName;
  docTemplate->GetDocString(progId, CDocTemplate::regFileTypeId);
  docTemplate->GetDocString(typeName, CDocTemplate::regFileTypeName);
  if (!docTemplate->GetDocString(shortName, CDocTemplate::docName)) shortName = typeName;
  const CString program = ProgramPath();
  const CString key = "CLSID\\" + classText;
  std::vector<RegistryValue> values = {
      {key, nullptr, typeName},
      {key + "\\LocalServer32", nullptr, "\"" + program + "\" /Embedding"},
      {key + "\\InprocHandler32", nullptr, "ole32.dll"},
      {key + "\\DefaultIcon", nullptr, program + ",0"},
      {key + "\\Insertable", nullptr, ""},
      {key + "\\Verb\\0", nullptr, "&Edit,0,2"},
      {key + "\\Verb\\1", nullptr, "&Open,0,2"},
      {key + "\\MiscStatus", nullptr, "16"},  // OLEMISC_CANTLINKINSIDE: no links
      {key + "\\AuxUserType\\2", nullptr, shortName},
      {key + "\\AuxUserType\\3", nullptr, AfxGetAppName()},
      {key + "\\DataFormats\\GetSet\\0", nullptr, "3,1,32,1"},  // metafile picture, get
  };
  if (!progId.IsEmpty()) {
    values.push_back({key + "\\ProgID", nullptr, progId});
    values.push_back({progId, nullptr, typeName});
    values.push_back({progId + "\\CLSID", nullptr, classText});
    values.push_back({progId + "\\Insertable", nullptr, ""});
  }
  return values;
}

}  // namespace

// --- start-up and lifetime ------------------------------------------------------------

BOOL AfxOleInit() {
  if (g_oleInitialised) return TRUE;
  const HRESULT result = ::OleInitialize(nullptr);
  if (FAILED(result)) return FALSE;
  g_oleInitialised = true;
  return TRUE;
}

void AfxOleTerm() {
  if (!g_oleInitialised) return;
  COleTemplateServer::RevokeAll();
  g_oleInitialised = false;
  ::OleUninitialize();
}

void AfxOleLockApp() { ++g_lockCount; }

// The last release ends a program the user does not control.
void AfxOleUnlockApp() {
  if (g_lockCount > 0) --g_lockCount;
  if (g_lockCount != 0 || g_userCtrl) return;
  CWnd* main = AfxGetMainWnd();
  if (main && main->GetSafeHwnd())
    ::PostMessageA(main->GetSafeHwnd(), WM_CLOSE, 0, 0);
  else
    ::PostQuitMessage(0);
}

BOOL AfxOleCanExitApp() { return g_lockCount == 0; }

void AfxOleSetUserCtrl(BOOL userCtrl) { g_userCtrl = userCtrl; }

BOOL AfxOleGetUserCtrl() { return g_userCtrl; }

CString AfxClassIdText(REFCLSID clsid) {
  wchar_t wide[64] = {};
  ::StringFromGUID2(clsid, wide, 64);
  char narrow[64] = {};
  ::WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
  return narrow;
}

// --- the class factory ----------------------------------------------------------------

// Lives as long as its template server; COM's references only lock the
// program (LockServer), they never delete it.
class COleTemplateServer::Factory final : public IClassFactory {
 public:
  explicit Factory(COleTemplateServer* owner) : owner_(owner) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    return owner_->CreateInstance(outer, iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock)
      AfxOleLockApp();
    else
      AfxOleUnlockApp();
    return S_OK;
  }

 private:
  COleTemplateServer* owner_;
};

// --- COleTemplateServer ---------------------------------------------------------------

COleTemplateServer::COleTemplateServer() : factory_(new Factory(this)) {
  Servers().push_back(this);
}

COleTemplateServer::~COleTemplateServer() {
  Revoke();
  auto& servers = Servers();
  servers.erase(std::remove(servers.begin(), servers.end(), this), servers.end());
  delete factory_;
}

void COleTemplateServer::ConnectTemplate(REFCLSID clsid, CDocTemplate* docTemplate,
                                         BOOL multiInstance) {
  clsid_ = clsid;
  docTemplate_ = docTemplate;
  multiInstance_ = multiInstance;
}

BOOL COleTemplateServer::Register() {
  if (cookie_ || !docTemplate_) return cookie_ != 0;
  const DWORD use = multiInstance_ ? REGCLS_SINGLEUSE : REGCLS_MULTIPLEUSE;
  if (FAILED(::CoRegisterClassObject(clsid_, factory_, CLSCTX_LOCAL_SERVER, use, &cookie_))) {
    cookie_ = 0;
    return FALSE;
  }
  return TRUE;
}

void COleTemplateServer::Revoke() {
  if (cookie_) ::CoRevokeClassObject(cookie_);
  cookie_ = 0;
}

BOOL COleTemplateServer::RegisterAll() {
  BOOL all = TRUE;
  for (COleTemplateServer* server : Servers())
    if (server->docTemplate_ && !server->Register()) all = FALSE;
  return all;
}

void COleTemplateServer::RevokeAll() {
  for (COleTemplateServer* server : Servers()) server->Revoke();
}

COleTemplateServer* COleTemplateServer::FromDocument(const CDocument* doc) {
  if (!doc) return nullptr;
  for (COleTemplateServer* server : Servers())
    if (server->docTemplate_ && server->docTemplate_ == doc->GetDocTemplate()) return server;
  return nullptr;
}

// Per user; mirrored under HKEY_CLASSES_ROOT where the per-user keys are not
// visible there, because COM looks classes up through that view.
BOOL COleTemplateServer::UpdateRegistry(OLE_APPTYPE, const char**, const char**, BOOL registering) {
  if (!docTemplate_) return FALSE;
  const CString classText = AfxClassIdText(clsid_);
  CString progId;
  docTemplate_->GetDocString(progId, CDocTemplate::regFileTypeId);
  if (!registering) {
    RemoveClass(HKEY_CURRENT_USER, kUserClasses, classText, progId);
    RemoveClass(HKEY_CLASSES_ROOT, "", classText, progId);
    return TRUE;
  }
  const std::vector<RegistryValue> values = ServerValues(classText, docTemplate_);
  if (!WriteAll(HKEY_CURRENT_USER, kUserClasses, values)) return FALSE;
  if (KeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + classText + "\\LocalServer32")) return TRUE;
  return WriteAll(HKEY_CLASSES_ROOT, "", values);
}

// A new document of the template, embedded, answering through its object.
HRESULT COleTemplateServer::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  if (!docTemplate_) return E_UNEXPECTED;
  // Guard: no exception may cross into COM.
  try {
    CDocument* doc = docTemplate_->CreateNewDocument();
    if (!doc) return E_OUTOFMEMORY;
    if (!doc->IsKindOf(RUNTIME_CLASS(COleServerDoc))) {
      doc->OnCloseDocument();
      return E_UNEXPECTED;
    }
    auto* serverDoc = static_cast<COleServerDoc*>(doc);
    serverDoc->m_bEmbedded = TRUE;
    serverDoc->m_clsid = clsid_;
    docTemplate_->SetDefaultTitle(doc);
    if (!doc->OnNewDocument()) {
      doc->OnCloseDocument();
      return E_FAIL;
    }
    const HRESULT result = serverDoc->QueryOleInterface(iid, out);
    if (FAILED(result)) doc->OnCloseDocument();
    return result;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
