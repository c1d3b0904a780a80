// Remembered text extents and font metrics, and the scopes that lend them.
#include "engine/TextMemory.h"

#include <algorithm>
#include <cstring>

namespace {

// Past this many answers the memory starts afresh: a document's fonts and
// texts are far fewer, a long editing session is not.
constexpr size_t kMemoryLimit = 8192;
// Past this many kept fonts they are let go and kept afresh: a document
// uses a few dozen at most.
constexpr size_t kFontLimit = 64;

thread_local TextMemory* currentMemory = nullptr;
thread_local FontInUse* currentFont = nullptr;

}  // namespace

std::string FontKey(const QVLogFont& description, double scale) {
  LOGFONTA font = description.LogFont;
  font.lfHeight = TruncateGdiLength(-static_cast<double>(description.Size) * scale);
  const size_t face = strnlen(font.lfFaceName, LF_FACESIZE);
  std::memset(font.lfFaceName + face, 0, LF_FACESIZE - face);
  return std::string(reinterpret_cast<const char*>(&font), sizeof font);
}

void TextMemory::Follow(CDC& dc) {
  const CSize window = dc.GetWindowExt(), viewport = dc.GetViewportExt();
  const std::array<int, 8> context{dc.GetMapMode(),        dc.GetDeviceCaps(LOGPIXELSX),
                                   dc.GetDeviceCaps(LOGPIXELSY), dc.GetDeviceCaps(TECHNOLOGY),
                                   window.cx,              window.cy,
                                   viewport.cx,            viewport.cy};
  // A metafile context answers through a screen context: the same terms,
  // but its output is no raster device.
  const DWORD output = ::GetObjectType(dc.GetSafeHdc());
  keepsFonts_ = !dc.IsPrinting() && context[3] == DT_RASDISPLAY &&
                (output == OBJ_DC || output == OBJ_MEMDC);
  // Fonts are let go only here, before a measure or draw, never while a
  // token holds one selected.
  if (fonts_.Size() >= kFontLimit) fonts_.Clear();
  if (context == context_) return;
  context_ = context;
  metrics_.clear();
  extents_.clear();
  fonts_.Clear();
}

HFONT TextMemory::KeptFont(CDC& dc, const std::string& key) {
  return keepsFonts_ ? fonts_.Find(dc, key) : nullptr;
}

// The font selected in a one-pixel memory context with the drawing
// context's pixel format and mapping.
struct KeptFonts::Holder {
  explicit Holder(CDC& dc, const LOGFONTA& description) {
    font.CreateFontIndirect(&description);
    if (!holder.CreateCompatibleDC(&dc)) return;
    bitmap.CreateCompatibleBitmap(&dc, 1, 1);
    previousBitmap = holder.SelectObject(bitmap.m_hObject);
    holder.SetMapMode(dc.GetMapMode());
    const CSize window = dc.GetWindowExt(), viewport = dc.GetViewportExt();
    holder.SetWindowExt(window.cx, window.cy);
    holder.SetViewportExt(viewport.cx, viewport.cy);
    previousFont = holder.SelectObject(font.m_hObject);
  }
  ~Holder() {
    if (previousFont) holder.SelectObject(previousFont);
    if (previousBitmap) holder.SelectObject(previousBitmap);
    holder.DeleteDC();
  }
  CFont font;
  CBitmap bitmap;
  CDC holder;
  HGDIOBJ previousFont = nullptr, previousBitmap = nullptr;
};

KeptFonts::KeptFonts() = default;
KeptFonts::~KeptFonts() = default;

HFONT KeptFonts::Find(CDC& dc, const std::string& key) {
  std::unique_ptr<Holder>& kept = fonts_[key];
  if (!kept) {
    LOGFONTA description{};
    std::memcpy(&description, key.data(), std::min(key.size(), sizeof description));
    kept = std::make_unique<Holder>(dc, description);
  }
  return static_cast<HFONT>(kept->font.m_hObject);
}

void KeptFonts::Clear() { fonts_.clear(); }

const TEXTMETRICA* TextMemory::FindMetrics(const std::string& font) const {
  const auto found = metrics_.find(font);
  return found == metrics_.end() ? nullptr : &found->second;
}

void TextMemory::KeepMetrics(const std::string& font, const TEXTMETRICA& metrics) {
  ForgetWhenFull();
  metrics_[font] = metrics;
}

std::string TextMemory::ExtentKey(const std::string& font, const CString& text) {
  std::string key = font;
  key.append(text.GetString(), static_cast<size_t>(text.GetLength()));
  return key;
}

const CSize* TextMemory::FindExtent(const std::string& font, const CString& text) const {
  const auto found = extents_.find(ExtentKey(font, text));
  return found == extents_.end() ? nullptr : &found->second;
}

void TextMemory::KeepExtent(const std::string& font, const CString& text, CSize size) {
  ForgetWhenFull();
  extents_[ExtentKey(font, text)] = size;
}

void TextMemory::ForgetWhenFull() {
  if (Size() < kMemoryLimit) return;
  metrics_.clear();
  extents_.clear();
}

MemoryScope::MemoryScope(TextMemory& memory, CDC& dc) {
  if (currentMemory != nullptr) return;
  memory.Follow(dc);
  currentMemory = &memory;
  lent_ = true;
}

MemoryScope::~MemoryScope() {
  if (lent_) currentMemory = nullptr;
}

TextMemory* MemoryScope::Current() { return currentMemory; }

FontInUse::FontInUse(std::string key, std::function<void()> realise)
    : key_(std::move(key)), realise_(std::move(realise)), outer_(currentFont) {
  currentFont = this;
}

FontInUse::~FontInUse() { currentFont = outer_; }

FontInUse* FontInUse::Current() { return currentFont; }

void FontInUse::Realise() {
  if (!realise_) return;
  const auto realise = std::move(realise_);
  realise_ = nullptr;
  realise();
}
