// Remembered text extents and font metrics, and the scopes that lend them.
#include "engine/TextMemory.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <atomic>
#include <deque>
#include <map>

namespace {

// Past this many answers the memory starts afresh: a document's fonts and
// texts are far fewer, a long editing session is not.
constexpr size_t kMemoryLimit = 8192;
// Past this many kept fonts the one used longest ago is let go. A document
// of twenty heavy lines uses about fifty (the stretched bracket and
// integral pieces come in many sizes), the 259 equations of the bench's
// corpus eighty; each costs a memory context, a bitmap and a font.
constexpr size_t kFontLimit = 128;

// The scopes in force on this thread. One object: the toolchain emulates
// thread-local storage with a lock taken at every reach, so the object
// lives there but is reached through a Win32 slot of the thread's own
// (a read of its thread block), filled at the thread's first reach.
struct Scopes {
  TextMemory* memory = nullptr;
  FontInUse* font = nullptr;
  LingeringFonts* lingering = nullptr;
  uint64_t endedFontScopes = 0;
};
thread_local Scopes threadScopes;
const DWORD kScopesSlot = ::TlsAlloc();

Scopes& ThreadScopes() {
  if (void* known = ::TlsGetValue(kScopesSlot)) return *static_cast<Scopes*>(known);
  Scopes& made = threadScopes;
  ::TlsSetValue(kScopesSlot, &made);
  return made;
}

}  // namespace

FontName FontKey(const QVLogFont& description, double scale) {
  LOGFONTA font = description.LogFont;
  font.lfHeight = TruncateGdiLength(-static_cast<double>(description.Size) * scale);
  const size_t face = strnlen(font.lfFaceName, LF_FACESIZE);
  std::memset(font.lfFaceName + face, 0, LF_FACESIZE - face);
  FontName name;
  std::memcpy(name.bytes.data(), &font, sizeof font);
  return name;
}

// Measured over a thousand pixels, so that 0.01 mm units keep their fraction.
double PixelLength(CDC& dc) {
  constexpr int kSpan = 1000;
  POINT points[2] = {{0, 0}, {kSpan, 0}};
  if (!dc.DPtoLP(points, 2) || points[1].x == points[0].x) return 1.0;
  return std::abs(points[1].x - points[0].x) / static_cast<double>(kSpan);
}

namespace {

template <size_t N>
struct BytesHash {
  size_t operator()(const std::array<char, N>& bytes) const { return MixBytes(bytes.data(), N); }
};

// What makes two choices the same: every field a font is realised from.
constexpr size_t kChoiceBytes = sizeof(LOGFONTA) + sizeof(COLORREF) + sizeof(int32_t) + sizeof(double);
using ChoiceBytes = std::array<char, kChoiceBytes>;

ChoiceBytes BytesOf(const QVLogFont& description, double scale) {
  ChoiceBytes bytes;
  char* at = bytes.data();
  std::memcpy(at, &description.LogFont, sizeof(LOGFONTA));
  at += sizeof(LOGFONTA);
  std::memcpy(at, &description.Color, sizeof(COLORREF));
  at += sizeof(COLORREF);
  std::memcpy(at, &description.Size, sizeof(int32_t));
  at += sizeof(int32_t);
  std::memcpy(at, &scale, sizeof(double));
  return bytes;
}

// The fields of text metrics, without the padding after the last.
constexpr size_t kMetricBytes = offsetof(TEXTMETRICA, tmCharSet) + sizeof(BYTE);
using MetricBytes = std::array<char, kMetricBytes>;

MetricBytes BytesOf(const TEXTMETRICA& metrics) {
  MetricBytes bytes;
  std::memcpy(bytes.data(), &metrics, kMetricBytes);
  return bytes;
}

}  // namespace

struct FontChoices::Tables {
  std::deque<FontChoice> choices;
  std::unordered_map<ChoiceBytes, const FontChoice*, BytesHash<kChoiceBytes>> byBytes;
  std::deque<TEXTMETRICA> metrics;
  std::unordered_map<MetricBytes, const TEXTMETRICA*, BytesHash<kMetricBytes>> metricsByBytes;
  std::deque<FontLook> looks;
  std::map<std::pair<const FontChoice*, const TEXTMETRICA*>, const FontLook*> looksByPair;
  // By kind and variant, the levels met and their fonts: a line has few.
  struct Remembered {
    FontChoiceKey key;
    const FontChoice* choice;
  };
  std::vector<std::vector<Remembered>> byKind;  // slots 0..kKindSlots-1
  std::vector<Remembered>* Levels(const FontChoiceKey& key, bool make);
};

namespace {

// Every kind and variant has a slot (kinds number below 64, variants 4).
constexpr int32_t kKindSlots = 64 * 4;

int64_t KindSlot(const FontChoiceKey& key) { return int64_t{key.kind} * 4 + key.variant; }

}  // namespace

FontChoices::FontChoices() : tables_(std::make_unique<Tables>()) {}
FontChoices::~FontChoices() = default;

FontChoices::Scope::Scope(FontChoices& choices) : choices_(choices) {
  if (choices_.depth_++ > 0) return;
  choices_.tables_->byKind.clear();
}

FontChoices::Scope::~Scope() { --choices_.depth_; }

std::vector<FontChoices::Tables::Remembered>* FontChoices::Tables::Levels(const FontChoiceKey& key,
                                                                          bool make) {
  const int64_t slot = KindSlot(key);
  if (slot < 0 || slot >= kKindSlots) return nullptr;  // described each time
  if (byKind.empty()) {
    if (!make) return nullptr;
    byKind.resize(kKindSlots);
  }
  return &byKind[static_cast<size_t>(slot)];
}

const FontChoice* FontChoices::Recall(const FontChoiceKey& key) const {
  if (depth_ == 0) return nullptr;
  const std::vector<Tables::Remembered>* levels = tables_->Levels(key, false);
  if (levels == nullptr) return nullptr;
  for (const Tables::Remembered& r : *levels)
    if (r.key == key) return r.choice;
  return nullptr;
}

void FontChoices::Remember(const FontChoiceKey& key, const FontChoice* choice) {
  if (depth_ == 0) return;
  if (std::vector<Tables::Remembered>* levels = tables_->Levels(key, true))
    levels->push_back({key, choice});
}

const FontChoice* FontChoices::Intern(const QVLogFont& description, double scale) {
  const auto [at, made] = tables_->byBytes.try_emplace(BytesOf(description, scale), nullptr);
  if (!made) return at->second;
  FontChoice& choice = tables_->choices.emplace_back();
  choice.Description.Assign(description);
  choice.Scale = scale;
  choice.key = FontKey(description, scale);
  at->second = &choice;
  return &choice;
}

const TEXTMETRICA* FontChoices::Intern(const TEXTMETRICA& metrics, const TEXTMETRICA*& last) {
  if (last != nullptr && std::memcmp(last, &metrics, kMetricBytes) == 0) return last;
  Tables& t = *tables_;
  const auto [at, made] = t.metricsByBytes.try_emplace(BytesOf(metrics), nullptr);
  if (made) at->second = &t.metrics.emplace_back(metrics);
  last = at->second;
  return last;
}

const FontLook* FontChoices::Look(const FontChoice* font, const TEXTMETRICA* metrics) {
  const FontLook* const* last = font == nullptr      ? nullptr
                                : metrics == nullptr ? &font->bare
                                                     : &font->look;
  if (last != nullptr && *last != nullptr && (*last)->metrics == metrics) return *last;
  Tables& t = *tables_;
  const auto [at, made] = t.looksByPair.try_emplace({font, metrics}, nullptr);
  if (made) at->second = &t.looks.emplace_back(FontLook{font, metrics});
  if (font != nullptr) (metrics == nullptr ? font->bare : font->look) = at->second;
  return at->second;
}

void FontChoices::Clear() { tables_ = std::make_unique<Tables>(); }

LOGFONTA FontName::LogFont() const {
  LOGFONTA font;
  std::memcpy(&font, bytes.data(), sizeof font);
  return font;
}

namespace {

// Generations of font memories, never the same twice in the program.
uint64_t NewGeneration() {
  static std::atomic<uint64_t> generations{0};
  return ++generations;
}

}  // namespace

TextMemory::TextMemory() : generation_(NewGeneration()) {}
TextMemory::~TextMemory() = default;

const CSize* TextMemory::FontMemory::FindExtent(const CString& text) const {
  if (text.GetLength() == 1) {
    const auto code = static_cast<unsigned char>(text.GetAt(0));
    return knowsCharacter_[code] ? &characters_[code] : nullptr;
  }
  const auto found = texts_.find(text.str());
  return found == texts_.end() ? nullptr : &found->second;
}

const GlyphInk* TextMemory::FontMemory::FindInk(unsigned char code) const {
  const uint16_t at = inkAt_[code];
  return at == 0 ? nullptr : &inks_[at - 1u];
}

const TextMemory::FontMemory::CharWidths* TextMemory::FontMemory::FindWidths(
    unsigned char code) const {
  for (const CharWidths& known : widths_)
    if (known.code == code) return &known;
  return nullptr;
}

TextMemory::FontMemory& TextMemory::Of(const FontName& font, FontLink& link) {
  if (link.memory == this && link.generation == generation_) return *link.found;
  link = {this, generation_, &Of(font)};
  return *link.found;
}

TextMemory::FontMemory& TextMemory::Of(const FontName& font) {
  std::unique_ptr<FontMemory>& memory = fonts_[font];
  if (memory == nullptr) memory = std::make_unique<FontMemory>();
  return *memory;
}

// A document's brackets come in a few dozen heights: past this many piece
// fonts, they are named afresh.
constexpr size_t kPieceFontLimit = 64;

// A bracket asks for its piece font several times while it is measured,
// and neighbouring brackets mostly share one: the last one found is tried
// first.
TextMemory::PieceFont* TextMemory::FindPieceFont(int32_t size) {
  if (lastPieceFont_ != nullptr && lastPieceFont_->size == size) return lastPieceFont_;
  const auto found = pieceFonts_.find(size);
  if (found == pieceFonts_.end()) return nullptr;
  lastPieceFont_ = &found->second;
  return lastPieceFont_;
}

TextMemory::PieceFont& TextMemory::KeepPieceFont(int32_t size, const FontName& key) {
  if (pieceFonts_.size() >= kPieceFontLimit) pieceFonts_.clear();
  lastPieceFont_ = &pieceFonts_.insert_or_assign(size, PieceFont{size, key, {}}).first->second;
  return *lastPieceFont_;
}

const TextMemory::FontMemory* TextMemory::Find(const FontName& font) const {
  const auto found = fonts_.find(font);
  return found == fonts_.end() ? nullptr : found->second.get();
}

void TextMemory::Forget() {
  fonts_.clear();
  generation_ = NewGeneration();
  metricsCount_ = 0;
  extentCount_ = 0;
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
  keptFonts_.Begin();
  if (context == context_) return;
  context_ = context;
  ++contextCount_;
  pixel_ = PixelLength(dc);
  Forget();
  keptFonts_.Clear();
  pens_.clear();
  brushes_.clear();
}

HFONT TextMemory::KeptFont(CDC& dc, const FontName& key) {
  return keepsFonts_ ? keptFonts_.Find(dc, key, kFontLimit) : nullptr;
}

HFONT TextMemory::KeptFont(CDC& dc, const FontName& key, FontLink& link) {
  if (!keepsFonts_) return nullptr;
  FontMemory& memory = Of(key, link);
  if (memory.kept_ != nullptr && memory.keptIn_ == keptFonts_.Work()) return memory.kept_;
  memory.kept_ = keptFonts_.Find(dc, key, kFontLimit);
  memory.keptIn_ = keptFonts_.Work();
  return memory.kept_;
}

// A document draws with a handful of pens and brushes.
constexpr size_t kShapeLimit = 32;

HPEN TextMemory::KeptPen(const RealisedPen& pen) {
  if (!keepsFonts_) return nullptr;
  for (const auto& [made, kept] : pens_)
    if (made == pen) return static_cast<HPEN>(kept->m_hObject);
  if (pens_.size() >= kShapeLimit) return nullptr;
  auto kept = std::make_unique<CPen>();
  if (!pen.CreateIn(*kept)) return nullptr;
  pens_.emplace_back(pen, std::move(kept));
  return static_cast<HPEN>(pens_.back().second->m_hObject);
}

HBRUSH TextMemory::KeptBrush(const LOGBRUSH& brush) {
  if (!keepsFonts_) return nullptr;
  for (const auto& [made, kept] : brushes_)
    if (made.lbStyle == brush.lbStyle && made.lbColor == brush.lbColor && made.lbHatch == brush.lbHatch)
      return static_cast<HBRUSH>(kept->m_hObject);
  if (brushes_.size() >= kShapeLimit) return nullptr;
  auto kept = std::make_unique<CBrush>();
  if (!kept->CreateBrushIndirect(&brush)) return nullptr;
  brushes_.emplace_back(brush, std::move(kept));
  return static_cast<HBRUSH>(brushes_.back().second->m_hObject);
}

// The font selected in a one-pixel memory context with the drawing
// context's pixel format and mapping.
struct KeptFonts::Holder {
  explicit Holder(CDC& dc, const LOGFONTA& description) {
    font.CreateFontIndirect(&description);
    if (!holder.CreateCompatibleDC(&dc)) return;
    bitmap.CreateCompatibleBitmap(&dc, 1, 1);
    previousBitmap = holder.SelectObject(bitmap.m_hObject);
    CopyMapping(dc);
    previousFont = holder.SelectObject(font.m_hObject);
  }
  // The drawing context's scale as free extents, which give the same
  // transform: under Wine, setting a metric mapping mode takes about half a
  // millisecond (more than realising the font), free extents a few
  // microseconds.
  void CopyMapping(CDC& dc) {
    if (dc.GetMapMode() == MM_TEXT) return;
    const CSize window = dc.GetWindowExt(), viewport = dc.GetViewportExt();
    holder.SetMapMode(MM_ANISOTROPIC);
    holder.SetWindowExt(window.cx, window.cy);
    holder.SetViewportExt(viewport.cx, viewport.cy);
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
  uint64_t used = 0;  // the last measure or draw that asked for it
};

KeptFonts::KeptFonts() = default;
KeptFonts::~KeptFonts() = default;

void KeptFonts::Begin() { ++work_; }

HFONT KeptFonts::Find(CDC& dc, const FontName& key, size_t limit) {
  auto found = fonts_.find(key);
  if (found == fonts_.end()) {
    if (fonts_.size() >= limit && !LetOneGo()) return nullptr;
    found = fonts_.emplace(key, std::make_unique<Holder>(dc, key.LogFont())).first;
  }
  found->second->used = work_;
  return static_cast<HFONT>(found->second->font.m_hObject);
}

// A font the present work asked for may be selected in its context, or be
// put back there when a token's drawing ends: it stays.
bool KeptFonts::LetOneGo() {
  auto oldest = fonts_.end();
  for (auto it = fonts_.begin(); it != fonts_.end(); ++it)
    if (it->second->used != work_ && (oldest == fonts_.end() || it->second->used < oldest->second->used))
      oldest = it;
  if (oldest == fonts_.end()) return false;
  fonts_.erase(oldest);
  return true;
}

void KeptFonts::Clear() { fonts_.clear(); }

const TEXTMETRICA* TextMemory::FindMetrics(const FontName& font) const {
  const FontMemory* memory = Find(font);
  return memory == nullptr ? nullptr : memory->FindMetrics();
}

void TextMemory::KeepMetrics(const FontName& font, const TEXTMETRICA& metrics) {
  ForgetWhenFull();
  FontMemory& memory = Of(font);
  if (!memory.hasMetrics_) ++metricsCount_;
  memory.hasMetrics_ = true;
  memory.metrics_ = metrics;
}

void TextMemory::KeepExtent(const FontName& font, const CString& text, CSize size) {
  ForgetWhenFull();
  FontMemory& memory = Of(font);
  if (text.GetLength() == 1) {
    const auto code = static_cast<unsigned char>(text.GetAt(0));
    if (!memory.knowsCharacter_[code]) ++extentCount_;
    memory.knowsCharacter_[code] = true;
    memory.characters_[code] = size;
    return;
  }
  if (memory.texts_.insert_or_assign(text.str(), size).second) ++extentCount_;
}

void TextMemory::KeepInk(const FontName& font, unsigned char code, const GlyphInk& ink) {
  ForgetWhenFull();
  FontMemory& memory = Of(font);
  if (memory.inkAt_[code] != 0) {
    memory.inks_[memory.inkAt_[code] - 1u] = ink;
    return;
  }
  memory.inks_.push_back(ink);
  memory.inkAt_[code] = static_cast<uint16_t>(memory.inks_.size());
  ++extentCount_;
}

void TextMemory::KeepWidths(const FontName& font, const FontMemory::CharWidths& widths) {
  ForgetWhenFull();
  FontMemory& memory = Of(font);
  if (memory.FindWidths(widths.code) != nullptr) return;
  memory.widths_.push_back(widths);
  ++extentCount_;
}

void TextMemory::ForgetWhenFull() {
  if (Size() >= kMemoryLimit) Forget();
}

MemoryScope::MemoryScope(TextMemory& memory, CDC& dc) {
  Scopes& current = ThreadScopes();
  if (current.memory != nullptr) return;
  memory.Follow(dc);
  current.memory = &memory;
  lent_ = true;
}

MemoryScope::~MemoryScope() {
  if (lent_) ThreadScopes().memory = nullptr;
}

TextMemory* MemoryScope::Current() { return ThreadScopes().memory; }

FontInUse::FontInUse(const FontName& key, std::function<void()> realise,
                     const TextMemory::FontLink& link)
    : key_(key), link_(link), realise_(std::move(realise)) {
  Scopes& current = ThreadScopes();
  outer_ = current.font;
  selectedAt_ = current.endedFontScopes;
  current.font = this;
}

FontInUse::~FontInUse() {
  Scopes& current = ThreadScopes();
  current.font = outer_;
  ++current.endedFontScopes;
}

void FontInUse::Hold(HFONT font, COLORREF color, bool selected) {
  font_ = font;
  color_ = color;
  unselected_ = !selected;
  selectedAt_ = ThreadScopes().endedFontScopes;
}

bool FontInUse::Stale() const { return unselected_ || selectedAt_ != ThreadScopes().endedFontScopes; }

FontInUse* FontInUse::Current() { return ThreadScopes().font; }

TextScopes CurrentTextScopes() {
  const Scopes& current = ThreadScopes();
  return {current.memory, current.font};
}

void FontInUse::Realise() {
  if (!realise_) return;
  const auto realise = std::move(realise_);
  realise_ = nullptr;
  realise();
}

LingeringFonts::LingeringFonts(CDC& dc)
    : dc_(dc),
      font_(::GetCurrentObject(dc.GetSafeHdc(), OBJ_FONT)),
      color_(dc.GetTextColor()),
      pen_(::GetCurrentObject(dc.GetSafeHdc(), OBJ_PEN)),
      brush_(::GetCurrentObject(dc.GetSafeHdc(), OBJ_BRUSH)),
      outer_(ThreadScopes().lingering) {
  ThreadScopes().lingering = this;
}

LingeringFonts::~LingeringFonts() {
  ThreadScopes().lingering = outer_;
  if (::GetCurrentObject(dc_.GetSafeHdc(), OBJ_FONT) != font_) dc_.SelectObject(font_);
  if (dc_.GetTextColor() != color_) dc_.SetTextColor(color_);
  PutShapesBack();
}

void LingeringFonts::PutShapesBack() {
  if (::GetCurrentObject(dc_.GetSafeHdc(), OBJ_PEN) != pen_) dc_.SelectObject(pen_);
  if (::GetCurrentObject(dc_.GetSafeHdc(), OBJ_BRUSH) != brush_) dc_.SelectObject(brush_);
}

bool LingeringFonts::Active(const CDC& dc) {
  const LingeringFonts* lingering = ThreadScopes().lingering;
  return lingering != nullptr && &lingering->dc_ == &dc;
}

// Only a scope that ended inside the innermost one that holds a font can
// have left another font selected.
void SelectCurrentFont(CDC& dc) {
  if (!LingeringFonts::Active(dc)) return;
  const Scopes& current = ThreadScopes();
  FontInUse* font = current.font;
  while (font != nullptr && font->font_ == nullptr) font = font->outer_;
  if (font == nullptr || !font->Stale()) return;
  if (::GetCurrentObject(dc.GetSafeHdc(), OBJ_FONT) != font->font_) dc.SelectObject(font->font_);
  if (dc.GetTextColor() != font->color_) dc.SetTextColor(font->color_);
  font->unselected_ = false;
  font->selectedAt_ = current.endedFontScopes;
}
