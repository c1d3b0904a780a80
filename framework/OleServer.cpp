// OLE documents, server documents and their items.
#include "framework/OleServer.h"

#include <shlobj.h>

#include <new>
#include <string>

#include "framework/App.h"
#include "framework/DocManager.h"
#include "framework/Ole.h"
#include "framework/OleStorage.h"

IMPLEMENT_DYNAMIC(COleDocument, CDocument)
IMPLEMENT_DYNAMIC(COleServerDoc, COleDocument)
IMPLEMENT_DYNAMIC(COleServerItem, CObject)

namespace {


CString Narrow(LPCOLESTR text) {
  if (!text) return CString();
  const int n = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return CString();
  std::string narrow(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), n, nullptr, nullptr);
  return narrow.c_str();
}

// The one format the server renders.
bool IsPictureFormat(const FORMATETC* format) {
  return format && format->cfFormat == CF_METAFILEPICT && (format->tymed & TYMED_MFPICT) &&
         format->dwAspect == DVASPECT_CONTENT;
}

HRESULT CheckPictureFormat(const FORMATETC* format) {
  if (!format) return E_INVALIDARG;
  if (format->cfFormat != CF_METAFILEPICT) return DV_E_FORMATETC;
  if (!(format->tymed & TYMED_MFPICT)) return DV_E_TYMED;
  if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  return S_OK;
}

// True when a frame of any open document is on screen.
bool AnyDocumentShown() {
  CWinApp* app = AfxGetApp();
  for (POSITION templatePos = app ? app->GetFirstDocTemplatePosition() : nullptr; templatePos;) {
    CDocTemplate* docTemplate = app->GetNextDocTemplate(templatePos);
    for (POSITION docPos = docTemplate->GetFirstDocPosition(); docPos;) {
      CDocument* doc = docTemplate->GetNextDoc(docPos);
      for (POSITION viewPos = doc->GetFirstViewPosition(); viewPos;) {
        CFrameWnd* frame = doc->GetNextView(viewPos)->GetParentFrame();
        if (frame && frame->IsWindowVisible()) return true;
      }
    }
  }
  return false;
}

}  // namespace

// --- the COM object of a server document ----------------------------------------------

// One per document, made on first request. It outlives its document when a
// container still holds it: calls then answer OLE_E_NOTRUNNING. Its last
// release tells the document (OnFinalRelease).
class OleServerObject final : public IOleObject, public IDataObject, public IPersistStorage {
 public:
  explicit OleServerObject(COleServerDoc* doc) : doc_(doc) {}
  ~OleServerObject() {
    if (oleAdvise_) oleAdvise_->Release();
    if (dataAdvise_) dataAdvise_->Release();
  }
  OleServerObject(const OleServerObject&) = delete;
  OleServerObject& operator=(const OleServerObject&) = delete;

  void Detach() { doc_ = nullptr; }
  IUnknown* Identity() { return static_cast<IOleObject*>(this); }
  void SendOnDataChange() {
    if (dataAdvise_) dataAdvise_->SendOnDataChange(this, 0, 0);
  }
  void SendOnSave() {
    if (oleAdvise_) oleAdvise_->SendOnSave();
  }
  void SendOnClose() {
    if (oleAdvise_) oleAdvise_->SendOnClose();
  }

  // --- IUnknown ---
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override;

  // --- IOleObject ---
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
    return Call([&](COleServerDoc& doc) { return doc.SetClientSite(site), S_OK; });
  }
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override {
    return Call(
        [&](COleServerDoc& doc) { return doc.OnSetHostNames(Narrow(app), Narrow(object)), S_OK; });
  }
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override {
    return Call(
        [&](COleServerDoc& doc) { return doc.OnClose(static_cast<OLECLOSE>(saveOption)), S_OK; });
  }
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** out) override;
  HRESULT STDMETHODCALLTYPE Update() override {
    return Call([](COleServerDoc&) { return S_OK; });
  }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override {
    return Call([](COleServerDoc&) { return S_OK; });
  }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* id) override { return GetClassID(id); }
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override {
    return oleAdvise_ ? oleAdvise_->Unadvise(connection) : OLE_E_NOCONNECTION;
  }
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return oleAdvise_ ? oleAdvise_->EnumAdvise(out) : S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // --- IDataObject ---
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override {
    return DATA_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    return CheckPictureFormat(format);
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (!out) return E_INVALIDARG;
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                    DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override {
    return dataAdvise_ ? dataAdvise_->Unadvise(connection) : OLE_E_NOCONNECTION;
  }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return dataAdvise_ ? dataAdvise_->EnumAdvise(out) : S_OK;
  }

  // --- IPersistStorage ---
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override {
    if (!id) return E_POINTER;
    return Call([&](COleServerDoc& doc) { return *id = doc.m_clsid, S_OK; });
  }
  HRESULT STDMETHODCALLTYPE IsDirty() override {
    return Call([](COleServerDoc& doc) { return doc.IsModified() ? S_OK : S_FALSE; });
  }
  HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override;
  HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override;
  HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL sameAsLoad) override;
  HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override {
    return Call([](COleServerDoc& doc) { return doc.NotifySaved(), S_OK; });
  }
  HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }

 private:
  // Runs `action` on the document. Guard: no exception may cross into COM.
  template <typename Action>
  HRESULT Call(Action&& action) {
    if (!doc_) return OLE_E_NOTRUNNING;
    try {
      return action(*doc_);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_FAIL;
    }
  }

  ULONG refs_ = 0;
  COleServerDoc* doc_;
  IOleAdviseHolder* oleAdvise_ = nullptr;
  IDataAdviseHolder* dataAdvise_ = nullptr;
  bool initialised_ = false;
};

HRESULT OleServerObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleObject)
    *out = static_cast<IOleObject*>(this);
  else if (iid == IID_IDataObject)
    *out = static_cast<IDataObject*>(this);
  else if (iid == IID_IPersistStorage || iid == IID_IPersist)
    *out = static_cast<IPersistStorage*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

// The last release frees the object first, then tells a living document.
ULONG OleServerObject::Release() {
  const ULONG left = --refs_;
  if (left != 0) return left;
  COleServerDoc* doc = doc_;
  if (doc) doc->object_ = nullptr;
  delete this;
  if (doc) doc->OnFinalRelease();
  return 0;
}

HRESULT OleServerObject::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = nullptr;
  return Call([&](COleServerDoc& doc) {
    *site = doc.m_pClientSite;
    if (*site) (*site)->AddRef();
    return S_OK;
  });
}

// Every verb opens the document in a window; in-place activation is refused
// at once so that no container waits for it.
HRESULT OleServerObject::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) {
  return Call([&](COleServerDoc& doc) -> HRESULT {
    switch (verb) {
      case OLEIVERB_UIACTIVATE:
      case OLEIVERB_INPLACEACTIVATE:
      case OLEIVERB_DISCARDUNDOSTATE:
        return E_NOTIMPL;
      case OLEIVERB_HIDE:
        return doc.OnShowDocument(FALSE), S_OK;
      case OLEIVERB_PRIMARY:
      case OLEIVERB_SHOW:
      case OLEIVERB_OPEN:
      case 1:
        return doc.OnShowDocument(TRUE), S_OK;
      default:
        if (verb < 0) return E_NOTIMPL;
        doc.OnShowDocument(TRUE);
        return OLEOBJ_S_INVALIDVERB;
    }
  });
}

HRESULT OleServerObject::EnumVerbs(IEnumOLEVERB** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return Call([&](COleServerDoc& doc) { return ::OleRegEnumVerbs(doc.m_clsid, out); });
}

HRESULT OleServerObject::GetUserType(DWORD form, LPOLESTR* type) {
  if (!type) return E_POINTER;
  *type = nullptr;
  return Call([&](COleServerDoc& doc) { return ::OleRegGetUserType(doc.m_clsid, form, type); });
}

HRESULT OleServerObject::SetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_INVALIDARG;
  return Call([&](COleServerDoc& doc) {
    COleServerItem* item = doc.GetEmbeddedItem();
    return item && item->OnSetExtent(aspect, CSize(size->cx, size->cy)) ? S_OK : E_FAIL;
  });
}

HRESULT OleServerObject::GetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  return Call([&](COleServerDoc& doc) {
    COleServerItem* item = doc.GetEmbeddedItem();
    CSize extent(0, 0);
    if (!item || !item->OnGetExtent(aspect, extent)) return E_FAIL;
    size->cx = extent.cx;
    size->cy = extent.cy;
    return S_OK;
  });
}

HRESULT OleServerObject::Advise(IAdviseSink* sink, DWORD* connection) {
  if (!sink || !connection) return E_INVALIDARG;
  if (!oleAdvise_ && FAILED(::CreateOleAdviseHolder(&oleAdvise_))) return E_OUTOFMEMORY;
  return oleAdvise_->Advise(sink, connection);
}

HRESULT OleServerObject::GetMiscStatus(DWORD aspect, DWORD* status) {
  if (!status) return E_POINTER;
  *status = 0;
  return Call([&](COleServerDoc& doc) {
    if (FAILED(::OleRegGetMiscStatus(doc.m_clsid, aspect, status))) *status = 0;
    return S_OK;
  });
}

HRESULT OleServerObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!medium) return E_INVALIDARG;
  const HRESULT check = CheckPictureFormat(format);
  if (FAILED(check)) return check;
  return Call([&](COleServerDoc& doc) {
    COleServerItem* item = doc.GetEmbeddedItem();
    HGLOBAL picture = item ? item->GetMetafileData(format->dwAspect) : nullptr;
    if (!picture) return E_FAIL;
    medium->tymed = TYMED_MFPICT;
    medium->hMetaFilePict = picture;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  });
}

HRESULT OleServerObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  FORMATETC picture{CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
  return ::SHCreateStdEnumFmtEtc(1, &picture, out);
}

HRESULT OleServerObject::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                 DWORD* connection) {
  if (!sink || !connection) return E_INVALIDARG;
  // A wildcard format asks for every change; any other must be ours.
  if (format && format->cfFormat != 0 && !IsPictureFormat(format)) return DV_E_FORMATETC;
  if (!doc_) return OLE_E_NOTRUNNING;
  if (!dataAdvise_ && FAILED(::CreateDataAdviseHolder(&dataAdvise_))) return E_OUTOFMEMORY;
  return dataAdvise_->Advise(this, format, flags, sink, connection);
}

HRESULT OleServerObject::InitNew(IStorage* storage) {
  if (!storage) return E_INVALIDARG;
  if (initialised_) return CO_E_ALREADYINITIALIZED;
  return Call([&](COleServerDoc&) {
    initialised_ = true;
    return S_OK;
  });
}

HRESULT OleServerObject::Load(IStorage* storage) {
  if (!storage) return E_INVALIDARG;
  if (initialised_) return CO_E_ALREADYINITIALIZED;
  return Call([&](COleServerDoc& doc) {
    if (!doc.OnLoadEmbedding(storage)) return STG_E_READFAULT;
    initialised_ = true;
    return S_OK;
  });
}

HRESULT OleServerObject::Save(IStorage* storage, BOOL sameAsLoad) {
  if (!storage) return E_INVALIDARG;
  return Call([&](COleServerDoc& doc) {
    return doc.OnSaveEmbedding(storage, sameAsLoad) ? S_OK : STG_E_WRITEFAULT;
  });
}

// --- COleDocument -----------------------------------------------------------------------

namespace {

// Runs a load or save of `doc`; failures are reported as the document's
// own open and save do. FALSE on failure.
template <typename Action>
BOOL RunReported(CDocument& doc, const char* pathName, BOOL saving, Action&& action) {
  try {
    action();
    return TRUE;
  } catch (const CException& e) {
    if (!saving) doc.DeleteContents();
    doc.ReportSaveLoadException(pathName, &e, saving, 0);
  } catch (const std::bad_alloc&) {
    if (!saving) doc.DeleteContents();
    const CMemoryException memory;
    doc.ReportSaveLoadException(pathName, &memory, saving, 0);
  }
  return FALSE;
}

}  // namespace

// Every OLE document holds the server: a container's object or the user's file.
COleDocument::COleDocument() { AfxOleLockApp(); }

COleDocument::~COleDocument() { AfxOleUnlockApp(); }

BOOL COleDocument::OnOpenDocument(const char* pathName) {
  if (!m_bCompoundFile) return CDocument::OnOpenDocument(pathName);
  DeleteContents();
  SetModifiedFlag(TRUE);  // a half-read document must not pass as clean
  const BOOL read = RunReported(*this, pathName, FALSE, [&] {
    ReadDocumentFile(pathName, [this](CArchive& ar) { Serialize(ar); });
  });
  if (read) SetModifiedFlag(FALSE);
  return read;
}

BOOL COleDocument::OnSaveDocument(const char* pathName) {
  if (!m_bCompoundFile) return CDocument::OnSaveDocument(pathName);
  const BOOL written = RunReported(*this, pathName, TRUE, [&] {
    WriteDocumentFile(pathName, [this](CArchive& ar) { Serialize(ar); });
  });
  if (written) SetModifiedFlag(FALSE);
  return written;
}

void COleDocument::LoadFromStorage(IStorage* storage) {
  DeleteContents();
  ReadFromStorage(storage, [this](CArchive& ar) { Serialize(ar); });
}

void COleDocument::SaveToStorage(IStorage* storage) {
  WriteToStorage(storage, [this](CArchive& ar) { Serialize(ar); });
}

// --- COleServerDoc ----------------------------------------------------------------------

COleServerDoc::COleServerDoc() = default;

// A document deleted without OnCloseDocument still cuts its object loose.
COleServerDoc::~COleServerDoc() {
  if (object_) {
    ::CoDisconnectObject(object_->Identity(), 0);
    object_->Detach();
    object_ = nullptr;
  }
  SetClientSite(nullptr);
  if (item_ && item_->m_bAutoDelete) delete item_;
}

COleServerItem* COleServerDoc::GetEmbeddedItem() {
  if (!item_) item_ = OnGetEmbeddedItem();
  return item_;
}

HRESULT COleServerDoc::QueryOleInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (closing_) return OLE_E_NOTRUNNING;
  if (object_) return object_->QueryInterface(iid, out);
  auto* object = new OleServerObject(this);
  const HRESULT result = object->QueryInterface(iid, out);
  if (FAILED(result))
    delete object;  // never referenced: no final release for the document
  else
    object_ = object;
  return result;
}

void COleServerDoc::SetClientSite(IOleClientSite* site) {
  if (site) site->AddRef();
  if (m_pClientSite) m_pClientSite->Release();
  m_pClientSite = site;
}

// A container may be watching before anyone asked for the item: make it.
void COleServerDoc::UpdateAllItems(COleServerItem* sender, LPARAM hint, CObject* hintObject,
                                   DWORD aspect) {
  COleServerItem* item = object_ ? GetEmbeddedItem() : item_;
  if (item && item != sender) item->OnUpdate(sender, hint, hintObject, aspect);
}

// Asks the container to save the object, which calls IPersistStorage::Save.
BOOL COleServerDoc::SaveToContainer() {
  if (!m_bEmbedded || !IsModified()) return TRUE;
  return m_pClientSite && SUCCEEDED(m_pClientSite->SaveObject());
}

BOOL COleServerDoc::OnUpdateDocument() {
  if (SaveToContainer()) return TRUE;
  AfxMessageBox(AFX_IDP_FAILED_TO_UPDATE, MB_ICONEXCLAMATION);
  return FALSE;
}

void COleServerDoc::NotifySaved() {
  if (object_) object_->SendOnSave();
}

void COleServerDoc::NotifyClosed() {
  if (object_) object_->SendOnClose();
}

void COleServerDoc::SendDataChange() {
  if (object_) object_->SendOnDataChange();
}

// Tells the container goodbye, cuts off its proxies and closes; the object
// itself lives on until the container lets go of it.
void COleServerDoc::OnCloseDocument() {
  if (closing_) return;
  closing_ = true;
  if (OleServerObject* object = object_) {
    object->AddRef();
    if (shown_ && m_pClientSite) m_pClientSite->OnShowWindow(FALSE);
    shown_ = false;
    object->SendOnClose();
    ::CoDisconnectObject(object->Identity(), 0);
    object->Detach();
    object_ = nullptr;
    object->Release();
  }
  SetClientSite(nullptr);
  const BOOL autoDelete = m_bAutoDelete;
  COleDocument::OnCloseDocument();  // may delete this
  if (!autoDelete) closing_ = false;
}

BOOL COleServerDoc::SaveModified() {
  if (!m_bEmbedded) return COleDocument::SaveModified();
  return OnUpdateDocument();
}

void COleServerDoc::OnSetHostNames(const char* container, const char* object) {
  m_strHostApp = container;
  m_strHostObj = object;
  if (m_strHostObj.IsEmpty()) return;
  CString name;
  if (m_pDocTemplate) m_pDocTemplate->GetDocString(name, CDocTemplate::docName);
  SetTitle(name.IsEmpty() ? m_strHostObj
                          : AfxFormatResource(AFX_IDS_EMBEDDED_TITLE, name.GetString(),
                                              m_strHostObj.GetString()));
}

void COleServerDoc::OnShowDocument(BOOL show) {
  if (!show) {
    for (POSITION pos = GetFirstViewPosition(); pos;)
      if (CFrameWnd* frame = GetNextView(pos)->GetParentFrame()) frame->ShowWindow(SW_HIDE);
    if (shown_ && m_pClientSite) m_pClientSite->OnShowWindow(FALSE);
    shown_ = false;
    return;
  }
  ShowInFrame();
  if (CWnd* main = AfxGetMainWnd(); main && main->GetSafeHwnd()) {
    main->ShowWindow(main->IsIconic() ? SW_RESTORE : SW_SHOW);
    main->SetForegroundWindow();
  }
  if (m_pClientSite) {
    m_pClientSite->ShowObject();
    if (!shown_) m_pClientSite->OnShowWindow(TRUE);
  }
  shown_ = true;
}

void COleServerDoc::OnDeactivateUI(BOOL) {
  if (!m_bEmbedded || !shown_) return;
  UpdateAllItems(nullptr);
  if (!OnUpdateDocument()) return;
  OnShowDocument(FALSE);
  if (!AnyDocumentShown()) AfxGetApp()->HideApplication();
}

// The document's first frame, made when it has none yet.
void COleServerDoc::ShowInFrame() {
  POSITION pos = GetFirstViewPosition();
  CFrameWnd* frame = pos ? GetNextView(pos)->GetParentFrame() : nullptr;
  if (frame) {
    frame->ActivateFrame();
    return;
  }
  if (!m_pDocTemplate || !AfxGetMainWnd()) return;
  frame = m_pDocTemplate->CreateNewFrame(this, nullptr);
  if (frame) m_pDocTemplate->InitialUpdateFrame(frame, this, TRUE);
}

void COleServerDoc::OnClose(OLECLOSE saveOption) {
  if (saveOption != OLECLOSE_NOSAVE) SaveToContainer();
  OnCloseDocument();
}

void COleServerDoc::OnFinalRelease() {
  if (m_bEmbedded && !closing_) OnCloseDocument();
}

// A storage that cannot be read leaves an empty document, reported to the
// container by the result (a message would wait for a person nobody asked).
BOOL COleServerDoc::OnLoadEmbedding(IStorage* storage) {
  try {
    LoadFromStorage(storage);
  } catch (...) {
    DeleteContents();
    SetModifiedFlag(FALSE);
    return FALSE;
  }
  SetModifiedFlag(FALSE);
  UpdateAllViews(nullptr);
  return TRUE;
}

BOOL COleServerDoc::OnSaveEmbedding(IStorage* storage, BOOL sameAsLoad) {
  try {
    SaveToStorage(storage);
  } catch (...) {
    return FALSE;
  }
  if (sameAsLoad) SetModifiedFlag(FALSE);
  return TRUE;
}

// --- COleServerItem ---------------------------------------------------------------------

COleServerItem::COleServerItem(COleServerDoc* doc, BOOL autoDelete)
    : m_bAutoDelete(autoDelete), m_sizeExtent(0, 0), m_pDocument(doc) {}

COleServerItem::~COleServerItem() {
  if (m_pDocument && m_pDocument->item_ == this) m_pDocument->item_ = nullptr;
}

BOOL COleServerItem::OnGetExtent(DWORD aspect, CSize& size) {
  if (aspect != DVASPECT_CONTENT || (m_sizeExtent.cx == 0 && m_sizeExtent.cy == 0)) return FALSE;
  size = m_sizeExtent;
  return TRUE;
}

BOOL COleServerItem::OnSetExtent(DWORD aspect, const CSize& size) {
  if (aspect != DVASPECT_CONTENT) return FALSE;
  m_sizeExtent = size;
  return TRUE;
}

void COleServerItem::OnUpdate(COleServerItem*, LPARAM, CObject*, DWORD aspect) {
  NotifyChanged(aspect);
}

void COleServerItem::Serialize(CArchive& ar) {
  if (m_pDocument) m_pDocument->Serialize(ar);
}

void COleServerItem::NotifyChanged(DWORD) {
  if (m_pDocument) m_pDocument->SendDataChange();
}

// OnDraw records into a Windows metafile; the screen answers its queries.
HMETAFILE COleServerItem::RecordMetafile(CSize& size) {
  CMetaFileDC dc;
  if (!dc.Create()) return nullptr;
  const BOOL drawn = OnDraw(&dc, size);
  HMETAFILE metafile = dc.Close();
  if (!drawn && metafile) {
    ::DeleteMetaFile(metafile);
    return nullptr;
  }
  return metafile;
}

HGLOBAL COleServerItem::GetMetafileData(DWORD aspect) {
  CSize size(0, 0);
  OnGetExtent(aspect, size);
  HMETAFILE metafile = RecordMetafile(size);
  if (!metafile) return nullptr;
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT));
  auto* picture = memory ? static_cast<METAFILEPICT*>(::GlobalLock(memory)) : nullptr;
  if (!picture) {
    if (memory) ::GlobalFree(memory);
    ::DeleteMetaFile(metafile);
    return nullptr;
  }
  picture->mm = MM_ANISOTROPIC;
  picture->xExt = size.cx;
  picture->yExt = size.cy;
  picture->hMF = metafile;
  ::GlobalUnlock(memory);
  return memory;
}
