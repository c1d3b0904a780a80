// The control container: the site of one in-place control and its event sink.
#include "framework/OleControl.h"

#include <ocidl.h>

#include "framework/ComPtr.h"
#include "framework/Wnd.h"

namespace {
bool g_containerReady = false;
}

void AfxEnableControlContainer() {
  if (g_containerReady) return;
  const HRESULT hr = ::OleInitialize(nullptr);
  g_containerReady = SUCCEEDED(hr);
}

// One hosted control: client site, in-place site and frame for the control,
// and the sink of its default event interface. Reference counted; the site
// window holds one reference until it is destroyed.
class COleControlSite final
    : public ComObject<IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame> {
 public:
  explicit COleControlSite(CWnd* window) : window_(window) {}
  COleControlSite(const COleControlSite&) = delete;
  COleControlSite& operator=(const COleControlSite&) = delete;

  HRESULT CreateAndActivate(REFCLSID clsid, const RECT& rect);
  void Resize(int width, int height);
  void Close();
  IUnknown* Control() const { return object_.get(); }

  // --- IUnknown ---
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;

  // --- IOleClientSite ---
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override { return Null(out, E_NOTIMPL); }
  STDMETHODIMP GetContainer(IOleContainer** out) override { return Null(out, E_NOINTERFACE); }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // --- IOleWindow (shared by the in-place site and frame) ---
  STDMETHODIMP GetWindow(HWND* out) override {
    if (!out) return E_POINTER;
    *out = window_ ? window_->GetSafeHwnd() : nullptr;
    return *out ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // --- IOleInPlaceSite ---
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) override;
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(const RECT* rect) override;

  // --- IOleInPlaceUIWindow / IOleInPlaceFrame: no borders, menus or tools ---
  STDMETHODIMP GetBorder(RECT*) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(const BORDERWIDTHS*) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(const BORDERWIDTHS*) override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(MSG*, WORD) override { return S_FALSE; }

 private:
  class EventSink;
  ~COleControlSite() = default;
  template <typename T>
  static HRESULT Null(T** out, HRESULT result) {
    if (out) *out = nullptr;
    return result;
  }
  void ConnectEvents();

  CWnd* window_;
  ComPtr<IOleObject> object_;
  ComPtr<IConnectionPoint> eventPoint_;
  DWORD eventCookie_ = 0;
  EventSink* sink_ = nullptr;  // one reference of ours
};

// The IDispatch that receives the control's events and hands them to the
// site window's parent.
class COleControlSite::EventSink : public ComObject<IDispatch> {
 public:
  EventSink(CWnd* window, REFIID events) : window_(window), events_(events) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != events_) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override { return Null(out, E_NOTIMPL); }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    // The window may be gone while the control still fires.
    if (!window_ || !::IsWindow(window_->GetSafeHwnd()) || !params) return S_OK;
    CWnd* owner = window_->GetParent();
    if (owner) AfxDispatchControlEvent(owner, static_cast<UINT>(window_->GetDlgCtrlID()), dispid, params);
    return S_OK;
  }
  void Forget() { window_ = nullptr; }

 private:
  ~EventSink() override = default;
  CWnd* window_;
  IID events_;
};

STDMETHODIMP COleControlSite::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite)
    *out = static_cast<IOleClientSite*>(this);
  else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
    *out = static_cast<IOleInPlaceSite*>(this);
  else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
    *out = static_cast<IOleInPlaceFrame*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP COleControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) {
  if (!frame || !document || !position || !clip) return E_POINTER;
  if (!window_) return E_UNEXPECTED;  // closed: the window is going
  *frame = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  *document = nullptr;
  window_->GetClientRect(position);
  *clip = *position;
  if (info) {
    info->fMDIApp = FALSE;
    info->hwndFrame = window_->GetSafeHwnd();
    info->haccel = nullptr;
    info->cAccelEntries = 0;
  }
  return S_OK;
}

STDMETHODIMP COleControlSite::OnPosRectChange(const RECT* rect) {
  ComPtr<IOleInPlaceObject> inPlace;
  if (rect && object_ && SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, inPlace.OutVoid())))
    inPlace->SetObjectRects(rect, rect);
  return S_OK;
}

HRESULT COleControlSite::CreateAndActivate(REFCLSID clsid, const RECT& rect) {
  HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object_.OutVoid());
  if (FAILED(hr)) return hr;
  object_->SetClientSite(this);
  ComPtr<IPersistStreamInit> persist;
  if (SUCCEEDED(object_->QueryInterface(IID_IPersistStreamInit, persist.OutVoid()))) persist->InitNew();
  RECT client = rect;
  hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_->GetSafeHwnd(), &client);
  if (FAILED(hr)) return hr;
  ConnectEvents();
  return S_OK;
}

// Connects to the control's default source interface: the one its class
// information names, else its first connection point.
void COleControlSite::ConnectEvents() {
  ComPtr<IConnectionPointContainer> container;
  if (FAILED(object_->QueryInterface(IID_IConnectionPointContainer, container.OutVoid()))) return;
  IID events = IID_NULL;
  ComPtr<IProvideClassInfo2> classInfo;
  if (SUCCEEDED(object_->QueryInterface(IID_IProvideClassInfo2, classInfo.OutVoid())))
    classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events);
  if (events == IID_NULL || FAILED(container->FindConnectionPoint(events, eventPoint_.Out()))) {
    ComPtr<IEnumConnectionPoints> points;
    if (FAILED(container->EnumConnectionPoints(points.Out())) ||
        points->Next(1, eventPoint_.Out(), nullptr) != S_OK)
      return;
    eventPoint_->GetConnectionInterface(&events);
  }
  sink_ = new EventSink(window_, events);
  if (FAILED(eventPoint_->Advise(sink_, &eventCookie_))) {
    eventCookie_ = 0;
    eventPoint_.Reset();
  }
}

void COleControlSite::Resize(int width, int height) {
  ComPtr<IOleInPlaceObject> inPlace;
  if (!object_ || FAILED(object_->QueryInterface(IID_IOleInPlaceObject, inPlace.OutVoid()))) return;
  const RECT rect = {0, 0, width, height};
  inPlace->SetObjectRects(&rect, &rect);
}

void COleControlSite::Close() {
  if (eventPoint_) {
    if (eventCookie_) eventPoint_->Unadvise(eventCookie_);
    eventPoint_.Reset();
    eventCookie_ = 0;
  }
  if (sink_) {
    // A control that still holds the sink may fire; it then reaches no window.
    sink_->Forget();
    sink_->Release();
    sink_ = nullptr;
  }
  if (object_) {
    ComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, inPlace.OutVoid())))
      inPlace->InPlaceDeactivate();
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    object_.Reset();
  }
  window_ = nullptr;
}

// --- CWnd's share ---------------------------------------------------------------------

BOOL CWnd::CreateControl(REFCLSID clsid, const char* windowName, DWORD style, const RECT& rect,
                         CWnd* parent, UINT id) {
  AfxEnableControlContainer();
  const char* siteClass = AfxRegisterWndClass(0);
  if (!CreateEx(0, siteClass, windowName, (style & ~WS_POPUP) | WS_CHILD | WS_CLIPCHILDREN, rect,
                parent, id))
    return FALSE;
  auto* site = new COleControlSite(this);
  m_pCtrlSite = site;
  const RECT client = {0, 0, rect.right - rect.left, rect.bottom - rect.top};
  if (FAILED(site->CreateAndActivate(clsid, client))) {
    DestroyWindow();  // closes and releases the site
    return FALSE;
  }
  return TRUE;
}

IUnknown* CWnd::GetControlUnknown() const { return m_pCtrlSite ? m_pCtrlSite->Control() : nullptr; }

void AfxControlSiteMessage(CWnd* site, UINT message, WPARAM, LPARAM lParam) {
  COleControlSite* control = site->m_pCtrlSite;
  if (message == WM_SIZE) {
    control->Resize(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
  } else if (message == WM_DESTROY) {
    site->m_pCtrlSite = nullptr;
    control->Close();
    control->Release();
  }
}

// --- event sink maps ----------------------------------------------------------------

bool AfxDispatchControlEvent(CWnd* owner, UINT controlId, DISPID dispid, DISPPARAMS* params) {
  for (const AFX_EVENTSINKMAP_ENTRY* entry = owner->GetEventSinkMap(); entry && entry->handler; ++entry)
    if (entry->controlId == controlId && entry->dispid == dispid) return entry->handler(owner, params);
  return false;
}

VARIANT* AfxEventArgument(DISPPARAMS* params, UINT index, VARTYPE type) {
  // Arguments arrive last first.
  if (!params || index >= params->cArgs || !params->rgvarg) return nullptr;
  VARIANT* argument = &params->rgvarg[params->cArgs - 1 - index];
  return argument->vt == type ? argument : nullptr;
}
