// DownloadVersions: an asynchronous URL-moniker binding that pulls the body
// into memory and stops at the cap.
#include "app/startup/VersionsDownload.h"

#include <urlmon.h>

#include <cstdlib>
#include <cstring>

#include "framework/ComPtr.h"
#include "framework/LibraryExports.h"

namespace {

// Options of the binding: asynchronous, data pulled by us as it arrives,
// always from the server, never kept in the download cache, no user
// interface of the system's own.
constexpr DWORD kBindFlags = BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA |
                             BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE |
                             BINDF_PRAGMA_NO_CACHE | BINDF_NO_UI | BINDF_SILENTOPERATION;

constexpr DWORD kPumpSliceMs = 20;
constexpr int kMaxUrlLength = 2084;
constexpr DWORD kAbortGraceMs = 1000;

// The URL moniker functions, from urlmon loaded at the first download: linked
// in, urlmon and the network libraries it pulls in (wininet, ws2_32, mpr and
// more) were loaded at every start. Once loaded it stays, as it would linked.
struct UrlMonikerLibrary {
  decltype(&::CreateURLMonikerEx) createMoniker = nullptr;
  decltype(&::CreateAsyncBindCtx) createBindContext = nullptr;
  decltype(&::RevokeBindStatusCallback) revokeCallback = nullptr;

  bool Loaded() const { return createMoniker && createBindContext && revokeCallback; }
};

const UrlMonikerLibrary& UrlMoniker() {
  static const UrlMonikerLibrary library = [] {
    UrlMonikerLibrary functions;
    const HMODULE module = ::LoadLibraryA("urlmon.dll");
    if (!module) return functions;
    ResolveExport(module, "CreateURLMonikerEx", functions.createMoniker);
    ResolveExport(module, "CreateAsyncBindCtx", functions.createBindContext);
    ResolveExport(module, "RevokeBindStatusCallback", functions.revokeCallback);
    return functions;
  }();
  return library;
}

// The value of the Content-Length header in a CR LF separated header
// block; -1 when there is none.
long long ContentLength(const wchar_t* headers) {
  static constexpr wchar_t kName[] = L"content-length:";
  for (const wchar_t* line = headers; line && *line;) {
    if (_wcsnicmp(line, kName, wcslen(kName)) == 0) return _wtoi64(line + wcslen(kName));
    line = wcschr(line, L'\n');
    if (line) ++line;
  }
  return -1;
}

class VersionsBinding final : public ComObject<IBindStatusCallback, IHttpNegotiate> {
 public:
  explicit VersionsBinding(size_t maxBytes) : maxBytes_(maxBytes) {}

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IBindStatusCallback)
      *object = static_cast<IBindStatusCallback*>(this);
    else if (iid == IID_IHttpNegotiate)
      *object = static_cast<IHttpNegotiate*>(this);
    else
      return *object = nullptr, E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

  // IBindStatusCallback
  STDMETHODIMP OnStartBinding(DWORD, IBinding* binding) override {
    binding_ = ComPtr<IBinding>::Share(binding);
    return S_OK;
  }
  STDMETHODIMP GetPriority(LONG* priority) override { return *priority = 0, S_OK; }
  STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
  STDMETHODIMP OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override {
    return refused_ ? E_ABORT : S_OK;
  }
  STDMETHODIMP OnStopBinding(HRESULT result, LPCWSTR) override {
    result_ = result;
    finished_ = true;
    binding_.Reset();
    return S_OK;
  }
  STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override {
    *flags = kBindFlags;
    const ULONG size = info->cbSize;
    std::memset(info, 0, size);
    info->cbSize = size;
    info->dwBindVerb = BINDVERB_GET;
    return S_OK;
  }
  STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium) override {
    if (!medium || medium->tymed != TYMED_ISTREAM || !medium->pstm) return S_OK;
    char buffer[8192];
    for (;;) {
      ULONG read = 0;
      const HRESULT hr = medium->pstm->Read(buffer, sizeof buffer, &read);
      body_.append(buffer, read);
      // Guard: a body past the cap is not a versions file; reading stops here.
      if (body_.size() > maxBytes_) return Refuse();
      if (hr != S_OK || read == 0) return S_OK;
    }
  }
  STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

  // IHttpNegotiate
  STDMETHODIMP BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* extra) override {
    *extra = nullptr;
    return S_OK;
  }
  STDMETHODIMP OnResponse(DWORD status, LPCWSTR headers, LPCWSTR, LPWSTR* extra) override {
    if (extra) *extra = nullptr;
    status_ = status;
    contentLength_ = ContentLength(headers);
    if (status_ != 200) Refuse();
    return S_OK;
  }

  // Ends the binding early; it finishes with OnStopBinding.
  HRESULT Refuse() {
    refused_ = true;
    if (binding_) binding_->Abort();
    return E_ABORT;
  }
  bool Finished() const { return finished_; }
  // A whole 200 answer within the cap.
  bool Complete() const {
    return finished_ && SUCCEEDED(result_) && !refused_ && status_ == 200 &&
           (contentLength_ < 0 || static_cast<long long>(body_.size()) == contentLength_);
  }
  std::string& Body() { return body_; }

 private:
  ~VersionsBinding() override = default;

  size_t maxBytes_;
  ComPtr<IBinding> binding_;
  std::string body_;
  DWORD status_ = 0;
  long long contentLength_ = -1;
  HRESULT result_ = E_PENDING;
  bool finished_ = false, refused_ = false;
};

// Runs this thread's messages (the binding's notifications arrive through
// them) for at most `ms`.
void PumpMessages(DWORD ms) {
  ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

// Starts the binding of `url` to a stream; false when it could not start.
bool StartBinding(const char* url, VersionsBinding* callback, ComPtr<IMoniker>& moniker,
                  ComPtr<IBindCtx>& context) {
  const UrlMonikerLibrary& urlmon = UrlMoniker();
  if (!urlmon.Loaded()) return false;
  wchar_t wide[kMaxUrlLength] = {};
  if (!::MultiByteToWideChar(CP_ACP, 0, url, -1, wide, kMaxUrlLength)) return false;
  if (FAILED(urlmon.createMoniker(nullptr, wide, moniker.Out(), URL_MK_UNIFORM))) return false;
  if (FAILED(urlmon.createBindContext(0, callback, nullptr, context.Out()))) return false;
  ComPtr<IStream> stream;
  return SUCCEEDED(moniker->BindToStorage(context.get(), nullptr, IID_IStream, stream.OutVoid()));
}

// Waits for the binding to finish; a stop request or the deadline aborts it.
void AwaitBinding(VersionsBinding* callback, const std::atomic<bool>& stop, DWORD deadlineMs) {
  const DWORD start = ::GetTickCount();
  while (!callback->Finished()) {
    if (stop || ::GetTickCount() - start > deadlineMs) {
      callback->Refuse();
      const DWORD abortStart = ::GetTickCount();
      while (!callback->Finished() && ::GetTickCount() - abortStart < kAbortGraceMs)
        PumpMessages(kPumpSliceMs);
      return;
    }
    PumpMessages(kPumpSliceMs);
  }
}

}  // namespace

bool DownloadVersions(const char* url, const std::atomic<bool>& stop, std::string& body,
                      size_t maxBytes, DWORD deadlineMs) {
  body.clear();
  const bool comReady = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  bool complete = false;
  {
    const ComPtr<VersionsBinding> callback(new VersionsBinding(maxBytes));
    ComPtr<IMoniker> moniker;
    ComPtr<IBindCtx> context;
    if (StartBinding(url, callback.get(), moniker, context))
      AwaitBinding(callback.get(), stop, deadlineMs);
    complete = callback->Complete();
    if (complete) body.swap(callback->Body());
    // A context exists only where urlmon was loaded.
    if (context) UrlMoniker().revokeCallback(context.get(), callback.get());
  }
  // COM's last call on this thread, after every interface above is let go.
  if (comReady) ::CoUninitialize();
  return complete;
}
