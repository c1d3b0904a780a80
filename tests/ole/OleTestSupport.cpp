// Helpers for the OLE tests.
#include "tests/ole/OleTestSupport.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <vector>

ComApartment::ComApartment() { EXPECT_HRESULT_SUCCEEDED(OleInitialize(nullptr)); }

ComApartment::~ComApartment() { OleUninitialize(); }

std::string PathBeside(const char* exe) {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  folder.resize(folder.find_last_of("\\/") + 1);
  return folder + exe;
}

int RunBeside(const char* exe, const char* arguments) {
  std::string command = "\"" + PathBeside(exe) + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  else
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

ComPtr<IStorage> MakeMemoryStorage() {
  ComPtr<IStorage> storage;
  EXPECT_HRESULT_SUCCEEDED(StgCreateDocfile(
      nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0,
      storage.Out()));
  return storage;
}

void WriteContents(IStorage* storage, const std::string& bytes) {
  ComPtr<IStream> stream;
  ASSERT_HRESULT_SUCCEEDED(storage->CreateStream(
      L"Contents", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.Out()));
  ASSERT_HRESULT_SUCCEEDED(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr));
}

std::string ReadContents(IStorage* storage) {
  ComPtr<IStream> stream;
  if (FAILED(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                 stream.Out())))
    return "<none>";
  std::string bytes;
  char buffer[4096];
  ULONG read = 0;
  while (SUCCEEDED(stream->Read(buffer, sizeof(buffer), &read)) && read > 0)
    bytes.append(buffer, read);
  return bytes;
}

namespace {

// Walks the records after the 18-byte header: size in words, then function.
bool HasRecord(HMETAFILE metafile, UINT bytes, WORD function) {
  if (!metafile || bytes < 18) return false;
  std::vector<BYTE> bits(bytes);
  GetMetaFileBitsEx(metafile, bytes, bits.data());
  for (size_t at = 18; at + 6 <= bits.size();) {
    DWORD words = 0;
    WORD record = 0;
    memcpy(&words, &bits[at], 4);
    memcpy(&record, &bits[at + 4], 2);
    if (record == function) return true;
    if (words < 3) break;
    at += static_cast<size_t>(words) * 2;
  }
  return false;
}

}  // namespace

PictureInfo ReadPicture(const STGMEDIUM& medium) {
  PictureInfo info;
  if (medium.tymed != TYMED_MFPICT || !medium.hMetaFilePict) return info;
  const auto* picture = static_cast<const METAFILEPICT*>(GlobalLock(medium.hMetaFilePict));
  if (!picture) return info;
  info.mm = picture->mm;
  info.xExt = picture->xExt;
  info.yExt = picture->yExt;
  info.metafileBytes = picture->hMF ? GetMetaFileBitsEx(picture->hMF, 0, nullptr) : 0;
  info.hasRectangle = HasRecord(picture->hMF, info.metafileBytes, META_RECTANGLE);
  GlobalUnlock(medium.hMetaFilePict);
  return info;
}

FORMATETC PictureFormat(CLIPFORMAT format, DWORD tymed, DWORD aspect) {
  return FORMATETC{format, nullptr, aspect, -1, tymed};
}

PictureInfo GetPicture(IDataObject* data) {
  FORMATETC format = PictureFormat();
  STGMEDIUM medium{};
  const HRESULT result = data->GetData(&format, &medium);
  EXPECT_HRESULT_SUCCEEDED(result);
  if (FAILED(result)) return PictureInfo();
  const PictureInfo picture = ReadPicture(medium);
  ReleaseStgMedium(&medium);
  return picture;
}

void ExpectPicture(const PictureInfo& picture, LONG cx, LONG cy) {
  EXPECT_EQ(MM_ANISOTROPIC, picture.mm);
  EXPECT_EQ(cx, picture.xExt);
  EXPECT_EQ(cy, picture.yExt);
  EXPECT_TRUE(picture.hasRectangle);
}

bool UserKeyExists(const std::string& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

std::string GuidText(REFGUID id) {
  wchar_t wide[64];
  StringFromGUID2(id, wide, 64);
  char narrow[64];
  WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof(narrow), nullptr, nullptr);
  return narrow;
}

namespace {

int CountProcesses(const char* exe) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  int count = 0;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szExeFile, exe) == 0) ++count;
  CloseHandle(snapshot);
  return count;
}

}  // namespace

bool WaitForNoProcess(const char* exe, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (CountProcesses(exe) != 0) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

// Every key and value below `path`, one line each.
void DumpRegistry(HKEY root, const std::string& path, std::set<std::string>& lines) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  lines.insert(path);
  char name[256];
  BYTE data[1024];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
      break;
    data[dataSize] = 0;
    lines.insert(path + "|" + name + "=" + reinterpret_cast<char*>(data));
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    DumpRegistry(root, path + "\\" + name, lines);
  }
  RegCloseKey(key);
}

std::set<std::string> ClassesSnapshot(REFCLSID clsid, const char* progId) {
  std::set<std::string> lines;
  DumpRegistry(HKEY_CURRENT_USER, "Software\\Classes", lines);
  DumpRegistry(HKEY_CLASSES_ROOT, "CLSID\\" + GuidText(clsid), lines);
  DumpRegistry(HKEY_CLASSES_ROOT, progId, lines);
  return lines;
}

HWND FindOtherProcessWindow(const char* prefix) {
  struct Search {
    std::string prefix;
    HWND found = nullptr;
  } search{prefix};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char title[256] = {};
        GetWindowTextA(window, title, sizeof title);
        if (process == GetCurrentProcessId() || std::string(title).rfind(s->prefix, 0) != 0)
          return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  old_ = SelectObject(dc_, bitmap_);
  PatBlt(dc_, 0, 0, width, height, WHITENESS);
}

Canvas::~Canvas() {
  SelectObject(dc_, old_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

RECT Canvas::InkBounds() const {
  RECT ink{width_, height_, -1, -1};
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (GetPixel(dc_, x, y) != RGB(255, 255, 255)) {
        ink.left = std::min<LONG>(ink.left, x);
        ink.top = std::min<LONG>(ink.top, y);
        ink.right = std::max<LONG>(ink.right, x);
        ink.bottom = std::max<LONG>(ink.bottom, y);
      }
  return ink;
}

void ExpectInkFills(const Canvas& canvas, const RECT& rect) {
  const RECT ink = canvas.InkBounds();
  ASSERT_GE(ink.right, 0) << "nothing drawn";
  EXPECT_GE(ink.left, rect.left - 2);
  EXPECT_GE(ink.top, rect.top - 2);
  EXPECT_LE(ink.right, rect.right + 2);
  EXPECT_LE(ink.bottom, rect.bottom + 2);
  EXPECT_GT(ink.right - ink.left, (rect.right - rect.left) * 3 / 4);
}

void ExpectPictureFillsThePastersRectangle(const METAFILEPICT& picture) {
  ASSERT_GT(picture.xExt, 0);
  constexpr int kCanvas = 600, kLeft = 100, kTop = 100, kWidth = 300;
  const int height = kWidth * picture.yExt / picture.xExt;
  Canvas canvas(kCanvas, kCanvas);
  HDC dc = canvas.dc();
  const int saved = ::SaveDC(dc);
  ::SetMapMode(dc, MM_ANISOTROPIC);
  ::SetWindowExtEx(dc, picture.xExt, picture.yExt, nullptr);
  ::SetViewportOrgEx(dc, kLeft, kTop, nullptr);
  ::SetViewportExtEx(dc, kWidth, height, nullptr);
  ::PlayMetaFile(dc, picture.hMF);
  ::RestoreDC(dc, saved);
  ExpectInkFills(canvas, RECT{kLeft, kTop, kLeft + kWidth, kTop + height});
}

AdviseConnections::AdviseConnections(IOleObject* object, IAdviseSink* objectSink,
                                     IAdviseSink* dataSink)
    : object_(ComPtr<IOleObject>::Share(object)) {
  EXPECT_HRESULT_SUCCEEDED(object->Advise(objectSink, &objectConnection_));
  EXPECT_HRESULT_SUCCEEDED(object->QueryInterface(IID_IDataObject, data_.OutVoid()));
  FORMATETC format = PictureFormat();
  if (data_) {
    EXPECT_HRESULT_SUCCEEDED(data_->DAdvise(&format, 0, dataSink, &dataConnection_));
  }
}

AdviseConnections::~AdviseConnections() {
  if (data_) data_->DUnadvise(dataConnection_);
  object_->Unadvise(objectConnection_);
}

void ExpectInPlaceRefusedAtOnce(IOleObject* object) {
  const DWORD start = GetTickCount();
  EXPECT_EQ(E_NOTIMPL,
            object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, nullptr));
  EXPECT_LT(GetTickCount() - start, 2000u);
}

std::string SavedContents(IPersistStorage* persist) {
  ComPtr<IStorage> saved = MakeMemoryStorage();
  EXPECT_HRESULT_SUCCEEDED(persist->Save(saved.get(), FALSE));
  EXPECT_HRESULT_SUCCEEDED(persist->SaveCompleted(nullptr));
  return ReadContents(saved.get());
}
