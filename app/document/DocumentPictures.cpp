// QVM400Doc: the equation as a picture: the bitmap and metafile pictures,
// the clipboard commands, the EMF, BMP and GIF exports and Save As.
#include <functional>
#include <memory>
#include <new>

#include "app/App.h"
#include "app/document/BitmapDC.h"
#include "app/document/Document.h"
#include "app/document/PictureDC.h"
#include "app/document/WindowsMetafile.h"
#include "controls/DIBSection.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"
#include "framework/ReplacingFile.h"
#include "imaging/RasterImage.h"
#include "resources/resource.h"

namespace {

// What Save As writes for an extension (compared without regard to case).
enum class SaveKind { Document, Gif, Bmp, Emf, Unknown };

struct SaveKindRow {
  const char* extension;
  SaveKind kind;
};
constexpr SaveKindRow kSaveKinds[] = {
    {"qvm", SaveKind::Document},
    {"gif", SaveKind::Gif},
    {"bmp", SaveKind::Bmp},
    {"emf", SaveKind::Emf},
};

SaveKind SaveKindOf(const CString& extension) {
  for (const SaveKindRow& row : kSaveKinds)
    if (extension.CompareNoCase(row.extension) == 0) return row.kind;
  return SaveKind::Unknown;
}

// A file made by GetTempFileNameA, deleted when the object goes unless it
// was moved away.
class TemporaryFile {
 public:
  // In `folder`, or in the user's temporary folder for null.
  explicit TemporaryFile(const char* folder) {
    char tempFolder[MAX_PATH] = {};
    if (!folder) {
      const DWORD length = ::GetTempPathA(sizeof tempFolder, tempFolder);
      if (length == 0 || length >= sizeof tempFolder) return;
      folder = tempFolder;
    }
    if (!::GetTempFileNameA(folder, "ovq", 0, path_)) path_[0] = '\0';
  }
  ~TemporaryFile() {
    if (path_[0]) ::DeleteFileA(path_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool IsMade() const { return path_[0] != '\0'; }
  const char* Path() const { return path_; }
  // Puts the file, once on the disk, in place of `target`; afterwards there
  // is nothing to delete. A read-only target stays (the system's move would
  // replace it).
  bool ReplaceFile(const char* target) {
    if (CReplacingFile::IsReadOnly(target) || !FlushToDisk()) return false;
    if (!::MoveFileExA(path_, target,
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
      return false;
    path_[0] = '\0';
    return true;
  }

 private:
  bool FlushToDisk() const {
    HANDLE file = ::CreateFileA(path_, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool flushed = ::FlushFileBuffers(file) != 0;
    ::CloseHandle(file);
    return flushed;
  }

  char path_[MAX_PATH] = {};
};

// The folder part of a full path, with its closing backslash.
CString FolderOf(const CString& path) {
  char full[MAX_PATH * 2] = {};
  const DWORD length = ::GetFullPathNameA(path, sizeof full, full, nullptr);
  const CString fullPath = length > 0 && length < sizeof full ? CString(full) : path;
  const CString folder = fullPath.Left(fullPath.ReverseFind('\\') + 1);
  return folder.IsEmpty() ? CString(".\\") : folder;
}

// Writes through a temporary file beside `target` that replaces the target
// only when `write` succeeded: a failed export leaves no empty or partial
// file and keeps a file that was there.
bool WriteReplacing(const CString& target, const std::function<bool(const char*)>& write) {
  TemporaryFile temp(FolderOf(target));
  if (!temp.IsMade()) return false;
  bool written = false;
  try {
    written = write(temp.Path());
  } catch (const CException&) {
    written = false;
  } catch (const std::bad_alloc&) {
    written = false;
  }
  return written && temp.ReplaceFile(target);
}

// The clipboard, opened and emptied for the main frame, closed when this
// goes; says what failed.
class ClipboardWriter {
 public:
  ClipboardWriter() {
    CWnd* main = AfxGetMainWnd();
    open_ = ::OpenClipboard(main ? main->GetSafeHwnd() : nullptr) != 0;
    if (!open_) {
      AfxMessageBox(IDS_CLIPBOARD_OPEN_FAILED);
    } else if (!::EmptyClipboard()) {
      AfxMessageBox(IDS_CLIPBOARD_EMPTY_FAILED);
    } else {
      ready_ = true;
    }
  }
  ~ClipboardWriter() {
    if (open_) ::CloseClipboard();
  }
  ClipboardWriter(const ClipboardWriter&) = delete;
  ClipboardWriter& operator=(const ClipboardWriter&) = delete;

  bool IsReady() const { return ready_; }
  // The clipboard owns `data` after a success; false (and said) otherwise.
  bool Put(UINT format, HANDLE data) {
    if (!ready_) return false;
    if (data && ::SetClipboardData(format, data)) return true;
    AfxMessageBox(IDS_CLIPBOARD_SET_FAILED);
    ready_ = false;
    return false;
  }

 private:
  bool open_ = false;
  bool ready_ = false;
};

// A metafile picture block nobody took: its metafile goes with it.
void FreeMetafilePicture(HGLOBAL block) {
  if (!block) return;
  if (auto* picture = static_cast<METAFILEPICT*>(::GlobalLock(block))) {
    ::DeleteMetaFile(picture->hMF);
    ::GlobalUnlock(block);
  }
  ::GlobalFree(block);
}

// Puts a bitmap on the open clipboard, which then owns it.
bool PutBitmap(ClipboardWriter& clipboard, std::unique_ptr<CBitmap> bitmap) {
  if (!bitmap) return clipboard.Put(CF_BITMAP, nullptr);
  if (!clipboard.Put(CF_BITMAP, bitmap->m_hObject)) return false;
  bitmap->Detach();
  return true;
}

bool PutMetafilePicture(ClipboardWriter& clipboard, HGLOBAL block) {
  if (clipboard.Put(CF_METAFILEPICT, block)) return true;
  FreeMetafilePicture(block);
  return false;
}

// Shows the string `formatId` filled in with `path`, under the string
// `captionId` (the program's name for 0); the button pressed.
int ShowPathMessage(UINT formatId, const CString& path, UINT captionId, UINT type) {
  const CString text = AfxFormatResource(formatId, path.GetString());
  CString caption;
  if (!captionId || !caption.LoadString(captionId)) caption = AfxGetAppName();
  CWnd* main = AfxGetMainWnd();
  return ShowMessageBox(main ? main->GetSafeHwnd() : nullptr, text, caption, type);
}

}  // namespace

// --------------------------------------------------------------- pictures

CSize QVM400Doc::PicturePixels(const ExtentRecord& extent) {
  CWindowDC screen(nullptr);
  CSize pixels(extent.width, extent.height);
  screen.HIMETRICtoDP(&pixels);
  return pixels;
}

// The equation's top-left corner at the bitmap's top-left corner, drawn
// downwards in 0.01 mm on a white background.
std::unique_ptr<CBitmap> QVM400Doc::MakeBitmapPicture(const ExtentRecord& extent) {
  const CSize pixels = PicturePixels(extent);
  CBitmapDC dc(pixels.cx, pixels.cy, nullptr, RGB(255, 255, 255));
  if (!dc.IsReady()) return nullptr;
  dc.SetMapMode(MM_HIMETRIC);
  dc.SetTextAlign(0);
  dc.SetWindowOrg(0, 0);
  DrawEquation(&dc, 0, 0);
  return dc.DetachBitmap();
}

// Logical units of 0.01 mm with y upwards (coarser for a picture beyond
// 16-bit coordinates); the block is sizeof(METAFILEPICT) (24 bytes on
// 64-bit Windows) and declares the extent in 0.01 mm.
HGLOBAL QVM400Doc::MakeMetafilePicture(const ExtentRecord& extent) {
  HMETAFILE metafile = RecordWindowsMetafile(CSize(extent.width, extent.height),
                                             [this](CDC& dc) { DrawEquation(&dc, 0, 0); });
  if (!metafile) return nullptr;
  HGLOBAL block = ::GlobalAlloc(GMEM_DDESHARE | GMEM_MOVEABLE, sizeof(METAFILEPICT));
  auto* picture = block ? static_cast<METAFILEPICT*>(::GlobalLock(block)) : nullptr;
  if (!picture) {
    if (block) ::GlobalFree(block);
    ::DeleteMetaFile(metafile);
    return nullptr;
  }
  picture->mm = MM_ANISOTROPIC;
  picture->xExt = extent.width;
  picture->yExt = extent.height;
  picture->hMF = metafile;
  ::GlobalUnlock(block);
  return block;
}

// -------------------------------------------------------------- clipboard

void QVM400Doc::OnCopyAsMetafile() {
  const ExtentRecord extent = MeasureOwnExtent();
  ClipboardWriter clipboard;
  if (!clipboard.IsReady()) return;
  if (PutMetafilePicture(clipboard, MakeMetafilePicture(extent))) GetQVMApp()->RefocusEdit = 1;
}

void QVM400Doc::OnCopyAsBitmap() {
  const ExtentRecord extent = MeasureOwnExtent();
  std::unique_ptr<CBitmap> bitmap = MakeBitmapPicture(extent);
  ClipboardWriter clipboard;
  if (!clipboard.IsReady()) return;
  if (PutBitmap(clipboard, std::move(bitmap))) GetQVMApp()->RefocusEdit = 1;
}

// Both pictures between one opening and closing of the clipboard.
void QVM400Doc::CopyPicture() {
  const ExtentRecord extent = MeasureOwnExtent();
  std::unique_ptr<CBitmap> bitmap = MakeBitmapPicture(extent);
  ClipboardWriter clipboard;
  if (!clipboard.IsReady() || !PutBitmap(clipboard, std::move(bitmap))) return;
  if (PutMetafilePicture(clipboard, MakeMetafilePicture(extent))) GetQVMApp()->RefocusEdit = 1;
}

// ---------------------------------------------------------------- exports

BOOL QVM400Doc::ExportEmf(const CString& path) { return ExportEmf(path, MeasureOwnExtent()); }
BOOL QVM400Doc::ExportBmp(const CString& path) { return ExportBmp(path, MeasureOwnExtent()); }
BOOL QVM400Doc::ExportGif(const CString& path) { return ExportGif(path, MeasureOwnExtent()); }

// The frame rectangle is the extent in 0.01 mm; the screen measures.
BOOL QVM400Doc::ExportEmf(const CString& path, const ExtentRecord& extent) {
  return WriteReplacing(path, [&](const char* file) {
    CMetaFileDC dc;
    const RECT frame{0, 0, extent.width, extent.height};
    if (!dc.CreateEnhanced(nullptr, file, &frame, nullptr)) return false;
    dc.SetMapMode(MM_HIMETRIC);
    dc.SetTextAlign(0);
    dc.SetWindowOrg(0, 0);
    DrawEquation(&dc, 0, 0);
    HENHMETAFILE metafile = dc.CloseEnhanced();
    if (!metafile) return false;
    ::DeleteEnhMetaFile(metafile);
    return true;
  });
}

BOOL QVM400Doc::ExportBmp(const CString& path, const ExtentRecord& extent) {
  const std::unique_ptr<CBitmap> bitmap = MakeBitmapPicture(extent);
  if (!bitmap) return FALSE;
  return WriteReplacing(path, [&](const char* file) {
    return SaveBitmapAsBmp(static_cast<HBITMAP>(bitmap->m_hObject), file);
  });
}

// The bitmap goes through a BMP file of our own in the temporary folder,
// which is read back, reduced to 8 bits with the standard palette and
// written as GIF; every step is checked, so a failed one can never hand on
// a picture left from an earlier export.
BOOL QVM400Doc::ExportGif(const CString& path, const ExtentRecord& extent) {
  const std::unique_ptr<CBitmap> bitmap = MakeBitmapPicture(extent);
  if (!bitmap) return FALSE;
  return WriteReplacing(path, [&](const char* file) {
    TemporaryFile bmp(nullptr);
    if (!bmp.IsMade() || !SaveBitmapAsBmp(static_cast<HBITMAP>(bitmap->m_hObject), bmp.Path()))
      return false;
    RasterImage image(bmp.Path(), kFormatBmp);
    return image.IsValid() && image.ReduceBitDepth(8, false, nullptr, 0) &&
           image.SaveFile(file, kFormatGif);
  });
}

// ---------------------------------------------------------------- Save As

void QVM400Doc::OnFileSaveAs() {
  CString filter;
  filter.LoadString(IDS_SAVE_AS_FILTER);
  // We ask before replacing a file ourselves, for every kind of file.
  CFileDialog dialog(FALSE, "qvm", GetTitle(), OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, filter);
  if (dialog.DoModal() != IDOK) return;
  SaveAs(dialog.GetPathName(), dialog.GetFileExt());
}

BOOL QVM400Doc::SaveAs(const CString& path, const CString& extension) {
  constexpr UINT kWarning = MB_OK | MB_ICONEXCLAMATION;
  const SaveKind kind = SaveKindOf(extension);
  if (kind == SaveKind::Unknown) {
    ShowPathMessage(IDS_SAVE_UNKNOWN_TYPE, path, IDS_FILE_SAVE_ERROR_CAPTION, kWarning);
    return FALSE;
  }
  if (::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES &&
      ShowPathMessage(IDS_REPLACE_EXISTING_FILE, path, 0, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
    return FALSE;
  BOOL saved = FALSE;
  switch (kind) {
    case SaveKind::Document:
      return DoSave(path, TRUE);  // reports its own failures
    case SaveKind::Gif:
      saved = ExportGif(path);
      break;
    case SaveKind::Bmp:
      saved = ExportBmp(path);
      break;
    case SaveKind::Emf:
      saved = ExportEmf(path);
      break;
    case SaveKind::Unknown:
      break;
  }
  if (!saved) ShowPathMessage(IDS_EXPORT_FAILED, path, IDS_FILE_SAVE_ERROR_CAPTION, kWarning);
  return saved;
}
