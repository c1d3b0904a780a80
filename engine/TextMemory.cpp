// Remembered text extents and font metrics, and the scopes that lend them.
#include "engine/TextMemory.h"

#include <cstring>

namespace {

// Past this many answers the memory starts afresh: a document's fonts and
// texts are far fewer, a long editing session is not.
constexpr size_t kMemoryLimit = 8192;

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
  if (context == context_) return;
  context_ = context;
  metrics_.clear();
  extents_.clear();
}

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
