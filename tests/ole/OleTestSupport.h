// Helpers for the OLE tests: an OLE apartment per test, programs beside the
// test executable, storages in temporary files and metafile pictures.
#pragma once

#include <objidl.h>
#include <windows.h>

#include <set>
#include <string>

#include "framework/ComPtr.h"

// OleInitialize for the scope.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

// Runs `exe` from the test executable's folder with `arguments` and returns
// its exit code (-1 when it could not start or did not end within 20 s).
int RunBeside(const char* exe, const char* arguments);
// The full path of `exe` in the test executable's folder.
std::string PathBeside(const char* exe);

// A compound file in the temporary folder, deleted when released.
ComPtr<IStorage> MakeMemoryStorage();
void WriteContents(IStorage* storage, const std::string& bytes);
// The bytes of stream "Contents", or "<none>" without one.
std::string ReadContents(IStorage* storage);

struct PictureInfo {
  LONG mm = 0;
  LONG xExt = 0;
  LONG yExt = 0;
  UINT metafileBytes = 0;
  bool hasRectangle = false;  // a META_RECTANGLE record
};
// What a TYMED_MFPICT medium holds.
PictureInfo ReadPicture(const STGMEDIUM& medium);
FORMATETC PictureFormat(CLIPFORMAT format = CF_METAFILEPICT, DWORD tymed = TYMED_MFPICT,
                        DWORD aspect = DVASPECT_CONTENT);
// The metafile picture of `data` (a failure is a test failure and gives an
// empty record).
PictureInfo GetPicture(IDataObject* data);
// An MM_ANISOTROPIC picture of `cx` x `cy` with a rectangle drawn.
void ExpectPicture(const PictureInfo& picture, LONG cx, LONG cy);

// Every key and value below `path` of `root`, one line each, added to `lines`.
void DumpRegistry(HKEY root, const std::string& path, std::set<std::string>& lines);
// The keys a server of `clsid` and `progId` could touch, in both class views.
std::set<std::string> ClassesSnapshot(REFCLSID clsid, const char* progId);

// TRUE when a key exists under HKEY_CURRENT_USER.
bool UserKeyExists(const std::string& subKey);
// "{...}" for a class id.
std::string GuidText(REFGUID id);

// Waits until no process runs `exe` (a file name); FALSE after `timeoutMs`.
bool WaitForNoProcess(const char* exe, DWORD timeoutMs);

// Dispatches this thread's messages until `done` or `timeoutMs`; the result
// of `done` at the end.
template <typename Done>
bool PumpUntil(Done&& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  }
  return true;
}

// A top-level window of another process whose title starts with `prefix`.
HWND FindOtherProcessWindow(const char* prefix);

// A white memory bitmap to draw pictures into, as a container's window.
class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  // The bounds of every pixel that is not white (right and bottom
  // inclusive); left above right when nothing was drawn.
  RECT InkBounds() const;

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

// The canvas's ink lies inside `rect` (within 2 pixels) and fills at least
// three quarters of its width: a picture scaled into a container's frame.
void ExpectInkFills(const Canvas& canvas, const RECT& rect);

// A metafile picture played as a paster does, scaled into a rectangle 300
// pixels wide at its own aspect: its ink fills that rectangle.
void ExpectPictureFillsThePastersRectangle(const METAFILEPICT& picture);

// A container's watch on an object: its advise sink on the object and a
// data advise sink for the metafile picture, disconnected when it ends.
class AdviseConnections {
 public:
  AdviseConnections(IOleObject* object, IAdviseSink* objectSink, IAdviseSink* dataSink);
  ~AdviseConnections();
  AdviseConnections(const AdviseConnections&) = delete;
  AdviseConnections& operator=(const AdviseConnections&) = delete;

  IDataObject* data() const { return data_.get(); }

 private:
  ComPtr<IOleObject> object_;
  ComPtr<IDataObject> data_;
  DWORD objectConnection_ = 0;
  DWORD dataConnection_ = 0;
};

// In-place activation is refused at once, so no container waits for it.
void ExpectInPlaceRefusedAtOnce(IOleObject* object);
// What the object writes into stream "Contents" of a new storage (a save
// as into another container document).
std::string SavedContents(IPersistStorage* persist);
