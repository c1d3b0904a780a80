// A local COM server written straight on the COM API, without the class
// library: when the framework's server fails across processes, this one
// tells whether Wine's COM or our own code is at fault.
// "/Register" and "/Unregister" write and remove its keys under
// HKCU\Software\Classes (and HKEY_CLASSES_ROOT where that view lacks them);
// "/Embedding" serves one object and ends when it is released.
#include <objidl.h>
#include <windows.h>

#include <string>

#include "tests/ole/ProofIds.h"

namespace {

DWORD g_objects = 0;
DWORD g_locks = 0;

void CheckQuit() {
  if (g_objects == 0 && g_locks == 0) PostQuitMessage(0);
}

// A rectangle in a Windows metafile, 2000 x 1000 in 0.01 mm.
HGLOBAL MakePicture() {
  HDC dc = CreateMetaFileA(nullptr);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetWindowExtEx(dc, kProofWidth, -kProofHeight, nullptr);
  Rectangle(dc, 0, 0, kProofWidth, -kProofHeight);
  HMETAFILE metafile = CloseMetaFile(dc);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT));
  auto* picture = static_cast<METAFILEPICT*>(GlobalLock(memory));
  picture->mm = MM_ANISOTROPIC;
  picture->xExt = kProofWidth;
  picture->yExt = kProofHeight;
  picture->hMF = metafile;
  GlobalUnlock(memory);
  return memory;
}

class ProofObject : public IDataObject, public IPersistStorage {
 public:
  ProofObject() { ++g_objects; }
  virtual ~ProofObject() {
    --g_objects;
    CheckQuit();
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDataObject)
      *out = static_cast<IDataObject*>(this);
    else if (iid == IID_IPersistStorage || iid == IID_IPersist)
      *out = static_cast<IPersistStorage*>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // IDataObject: a metafile picture only.
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (format->cfFormat != CF_METAFILEPICT || !(format->tymed & TYMED_MFPICT))
      return DV_E_FORMATETC;
    medium->tymed = TYMED_MFPICT;
    medium->hMetaFilePict = MakePicture();
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    return format->cfFormat == CF_METAFILEPICT ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

  // IPersistStorage: the text in stream "Contents".
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override {
    *id = kProofClassId;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE InitNew(IStorage*) override {
    text_ = "new";
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override;
  HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL) override;
  HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }

 private:
  ULONG refs_ = 1;
  std::string text_;
};

HRESULT ProofObject::Load(IStorage* storage) {
  IStream* stream = nullptr;
  HRESULT result =
      storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
  if (FAILED(result)) return result;
  char buffer[256];
  ULONG read = 0;
  result = stream->Read(buffer, sizeof(buffer), &read);
  stream->Release();
  text_.assign(buffer, read);
  return result;
}

// Writes "loaded:<text>" so the client sees the text went both ways.
HRESULT ProofObject::Save(IStorage* storage, BOOL) {
  IStream* stream = nullptr;
  HRESULT result = storage->CreateStream(
      L"Contents", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
  if (FAILED(result)) return result;
  const std::string out = "saved:" + text_;
  result = stream->Write(out.data(), static_cast<ULONG>(out.size()), nullptr);
  stream->Release();
  return result;
}

class ProofFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* object = new ProofObject;
    const HRESULT result = object->QueryInterface(iid, out);
    object->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      ++g_locks;
    } else {
      --g_locks;
      CheckQuit();
    }
    return S_OK;
  }
};

std::string ClassText() {
  wchar_t wide[64];
  StringFromGUID2(kProofClassId, wide, 64);
  char narrow[64];
  WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof(narrow), nullptr, nullptr);
  return narrow;
}

bool SetServerKey(HKEY root, const std::string& classes, const std::string& command) {
  const std::string key = classes + "CLSID\\" + ClassText() + "\\LocalServer32";
  return RegSetKeyValueA(root, key.c_str(), nullptr, REG_SZ, command.c_str(),
                         static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
}

// Per user; where the merged class view does not show per-user classes
// (Wine 8), also under HKEY_CLASSES_ROOT itself.
bool Register() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string command = std::string("\"") + path + "\" /Embedding";
  if (!SetServerKey(HKEY_CURRENT_USER, "Software\\Classes\\", command)) return false;
  HKEY seen = nullptr;
  const std::string merged = "CLSID\\" + ClassText();
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, merged.c_str(), 0, KEY_READ, &seen) == ERROR_SUCCESS) {
    RegCloseKey(seen);
    return true;
  }
  return SetServerKey(HKEY_CLASSES_ROOT, "", command);
}

bool Unregister() {
  const std::string user = "Software\\Classes\\CLSID\\" + ClassText();
  const std::string merged = "CLSID\\" + ClassText();
  RegDeleteTreeA(HKEY_CLASSES_ROOT, merged.c_str());
  return RegDeleteTreeA(HKEY_CURRENT_USER, user.c_str()) == ERROR_SUCCESS;
}

int Serve() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  static ProofFactory factory;
  DWORD cookie = 0;
  if (FAILED(CoRegisterClassObject(kProofClassId, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE,
                                   &cookie)))
    return 3;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  CoRevokeClassObject(cookie);
  CoUninitialize();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string flag = argc > 1 ? argv[1] : "";
  if (lstrcmpiA(flag.c_str(), "/Register") == 0) return Register() ? 0 : 1;
  if (lstrcmpiA(flag.c_str(), "/Unregister") == 0) return Unregister() ? 0 : 1;
  if (lstrcmpiA(flag.c_str(), "/Embedding") == 0 || lstrcmpiA(flag.c_str(), "-Embedding") == 0)
    return Serve();
  return 1;
}
