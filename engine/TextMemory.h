// TextMemory: text extents and font metrics remembered per realised font
// and text, so that one question to GDI serves every repeat of the same
// "x", "=" or "2" while a line or a list is measured and drawn (every
// question is a round trip through the system, and slow under Wine).
// A MemoryScope lends a memory to everything measured in its extent; a
// FontInUse names the font the context holds (or will hold once asked) for
// TextSize. Without both, TextSize asks the context. Windows only.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/LayoutRules.h"
#include "framework/Dc.h"
#include "options/LogObjects.h"
#include "options/Realisers.h"

// The name of a realised font: its logical font at the height it is
// created with, the face padded with zeros; colour plays no part in sizes.
// Held by value: naming a font takes no allocation.
struct FontName {
  std::array<char, sizeof(LOGFONTA)> bytes{};
  bool operator==(const FontName& other) const = default;
  LOGFONTA LogFont() const;
};
// A hash of fixed-size keys looked up for every measured token: eight bytes
// at a time, mixed by multiplication, costs a fraction of a general byte
// hash.
inline size_t MixBytes(const char* bytes, size_t size) {
  uint64_t hash = 0x9E3779B97F4A7C15ull;
  for (size_t at = 0; at < size; at += sizeof(uint64_t)) {
    uint64_t word = 0;
    std::memcpy(&word, bytes + at, std::min(sizeof word, size - at));
    hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
    hash ^= hash >> 32;
  }
  return static_cast<size_t>(hash);
}

struct FontNameHash {
  size_t operator()(const FontName& name) const {
    return MixBytes(name.bytes.data(), name.bytes.size());
  }
};
FontName FontKey(const QVLogFont& description, double scale);

struct FontChoice;
struct FontLook;

// What a token's font description follows, besides options that stand
// still while a line is measured or drawn.
struct FontChoiceKey {
  int32_t kind = 0;
  int32_t variant = 0;  // which font a code-drawn sign uses
  int32_t nesting = 0;
  double script = 0.0;
  bool operator==(const FontChoiceKey& other) const = default;
};

// The fonts and metrics the tokens of one line point to, each held once at
// a fixed place for as long as the tokens are. While a line is measured or
// drawn (a Scope lasts), the font of each key is remembered.
class FontChoices {
 public:
  FontChoices();
  ~FontChoices();
  FontChoices(const FontChoices&) = delete;
  FontChoices& operator=(const FontChoices&) = delete;

  // The options may change between scopes: each outermost one starts
  // without remembered fonts.
  class Scope {
   public:
    explicit Scope(FontChoices& choices);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    FontChoices& choices_;
  };

  // The font remembered for `key` in the scope under way; null outside one.
  const FontChoice* Recall(const FontChoiceKey& key) const;
  void Remember(const FontChoiceKey& key, const FontChoice* choice);
  // The one choice of this description and scale.
  const FontChoice* Intern(const QVLogFont& description, double scale);
  // The one copy of these metrics; `last`, the copy a font's tokens read
  // before, is checked first and then becomes the copy.
  const TEXTMETRICA* Intern(const TEXTMETRICA& metrics, const TEXTMETRICA*& last);
  // The one pair of this font and these metrics (either may be null).
  const FontLook* Look(const FontChoice* font, const TEXTMETRICA* metrics);
  void Clear();

 private:
  struct Tables;
  std::unique_ptr<Tables> tables_;
  int depth_ = 0;
};

// The length of one device pixel in the context's logical units (1 where
// the context cannot tell).
double PixelLength(CDC& dc);

// Fonts created once per realised font and held realised. Wine keeps only
// about ten fonts realised once no context holds them; a document uses more
// (sizes by level, Symbol, bold and italic kinds), and realising one again
// (FreeType's loading and hinting of every glyph) costs a hundred times its
// drawing. Each font kept here stays selected in a one-pixel context of its
// own, made on the terms of the context it is drawn on, so its realisation
// and its rendered glyphs live as long as it is kept.
class KeptFonts {
 public:
  KeptFonts();
  ~KeptFonts();
  KeptFonts(const KeptFonts&) = delete;
  KeptFonts& operator=(const KeptFonts&) = delete;

  // A measure or draw begins: no font is selected anywhere but in its
  // holder, and those the last ones used may be let go.
  void Begin();
  // The font named `key`, kept for drawing on `dc`; null when `limit`
  // fonts are kept and all of them serve the measure or draw under way.
  HFONT Find(CDC& dc, const FontName& key, size_t limit);
  void Clear();
  // The measure or draw under way: a font found during it stays kept
  // until it ends.
  uint64_t Work() const { return work_; }

 private:
  struct Holder;
  // Lets go of the font used longest ago, unless the present work uses it.
  bool LetOneGo();

  std::unordered_map<FontName, std::unique_ptr<Holder>, FontNameHash> fonts_;
  uint64_t work_ = 0;  // the measure or draw under way
};

class TextMemory {
 public:
  TextMemory();
  ~TextMemory();
  TextMemory(const TextMemory&) = delete;
  TextMemory& operator=(const TextMemory&) = delete;

  // What is remembered of one font. Most texts measured are one
  // character: those are found by their code.
  class FontMemory {
   public:
    const TEXTMETRICA* FindMetrics() const { return hasMetrics_ ? &metrics_ : nullptr; }
    const CSize* FindExtent(const CString& text) const;
    const GlyphInk* FindInk(unsigned char code) const;
    // The character's ABC widths, or that the context had none to give.
    struct CharWidths {
      unsigned char code;
      bool known;
      ABC abc;
    };
    const CharWidths* FindWidths(unsigned char code) const;

   private:
    friend class TextMemory;
    bool hasMetrics_ = false;
    TEXTMETRICA metrics_{};
    std::array<bool, 256> knowsCharacter_{};
    std::array<CSize, 256> characters_{};
    std::unordered_map<std::string, CSize> texts_;  // the others
    std::array<uint16_t, 256> inkAt_{};  // 1 + index in inks_; 0 for none
    std::vector<GlyphInk> inks_;
    std::vector<CharWidths> widths_;  // a few piece codes per font
    HFONT kept_ = nullptr;  // the kept font, when found during work keptIn_
    uint64_t keptIn_ = 0;
  };
  // Where a font's memory was found last, so that a font in use finds it
  // again without naming it; good until the memory forgets.
  struct FontLink {
    const TextMemory* memory = nullptr;
    uint64_t generation = 0;
    FontMemory* found = nullptr;
  };
  // What is remembered of `font` (nothing yet, the first time), through
  // `link` when it is still good.
  FontMemory& Of(const FontName& font, FontLink& link);
  // The Symbol fonts of stretched pieces differ only in size: each is
  // named, with its link, once and not at every use.
  struct PieceFont {
    int32_t size;
    FontName key;
    FontLink link;
  };
  // The piece font of `size`; null until KeepPieceFont.
  PieceFont* FindPieceFont(int32_t size);
  PieceFont& KeepPieceFont(int32_t size, const FontName& key);

  // Forgets everything when the context's units or resolution differ from
  // those the remembered answers were given in.
  void Follow(CDC& dc);
  // Counts the changes of context Follow saw: layout measured under
  // another count was measured on other terms.
  uint64_t ContextCount() const { return contextCount_; }
  const TEXTMETRICA* FindMetrics(const FontName& font) const;
  void KeepMetrics(const FontName& font, const TEXTMETRICA& metrics);
  void KeepExtent(const FontName& font, const CString& text, CSize size);
  void KeepInk(const FontName& font, unsigned char code, const GlyphInk& ink);
  void KeepWidths(const FontName& font, const FontMemory::CharWidths& widths);
  // The pixel length of the context Follow was given.
  double Pixel() const { return pixel_; }
  size_t Size() const { return extentCount_ + metricsCount_; }
  // A kept font for drawing on a raster display or memory context (the
  // one Follow was given); null for any other (metafiles record the fonts
  // they are given as before, printers realise their own).
  HFONT KeptFont(CDC& dc, const FontName& key);
  // The same, found again without naming it when the work under way found
  // it before.
  HFONT KeptFont(CDC& dc, const FontName& key, FontLink& link);
  // Pens and brushes kept the same way (made once, no realisation to keep);
  // null where fonts are not kept or when a few dozen are kept already.
  HPEN KeptPen(const RealisedPen& pen);
  HBRUSH KeptBrush(const LOGBRUSH& brush);

 private:
  void ForgetWhenFull();

  void Forget();
  FontMemory& Of(const FontName& font);
  const FontMemory* Find(const FontName& font) const;

  std::array<int, 8> context_{};
  uint64_t contextCount_ = 0;
  double pixel_ = 1.0;
  std::unordered_map<FontName, std::unique_ptr<FontMemory>, FontNameHash> fonts_;
  std::unordered_map<int32_t, PieceFont> pieceFonts_;  // by size
  PieceFont* lastPieceFont_ = nullptr;                 // one of pieceFonts_
  // Changes whenever the fonts' memories are let go (unique in the
  // program, so a link to another memory never matches).
  uint64_t generation_;
  size_t metricsCount_ = 0;
  size_t extentCount_ = 0;
  bool keepsFonts_ = false;
  KeptFonts keptFonts_;
  std::vector<std::pair<RealisedPen, std::unique_ptr<CPen>>> pens_;
  std::vector<std::pair<LOGBRUSH, std::unique_ptr<CBrush>>> brushes_;
};

// A token's font: the description of its kind and level, the scale it is
// drawn at and the name of the font it realises. Tokens in the same font
// share one: a long line measures millions of tokens in a few dozen fonts.
struct FontChoice {
  QVLogFont Description;
  double Scale = 1.0;
  FontName key;
  mutable TextMemory::FontLink memory;  // where the memory in use keeps it
  mutable const TEXTMETRICA* metrics = nullptr;  // the shared metrics read last
  // The pairs of this font made last, without metrics and with: a
  // token's font is described before its metrics are read.
  mutable const FontLook* bare = nullptr;
  mutable const FontLook* look = nullptr;
};

// A token's font and the metrics its layout read, held once per line for
// all tokens with both the same.
struct FontLook {
  const FontChoice* font = nullptr;
  const TEXTMETRICA* metrics = nullptr;
};

// Makes `memory` the one TextSize uses until the scope ends, unless an
// outer scope lent one already (a list lends its memory to its lines).
class MemoryScope {
 public:
  MemoryScope(TextMemory& memory, CDC& dc);
  ~MemoryScope();
  MemoryScope(const MemoryScope&) = delete;
  MemoryScope& operator=(const MemoryScope&) = delete;

  static TextMemory* Current();

 private:
  bool lent_ = false;
};

// The font TextSize measures with until the scope ends. `realise`, when
// given, selects the font into the context the first time a text is not
// remembered (a token whose texts are all known is never selected).
class FontInUse {
 public:
  explicit FontInUse(const FontName& key, std::function<void()> realise = nullptr,
                     const TextMemory::FontLink& link = {});
  ~FontInUse();
  FontInUse(const FontInUse&) = delete;
  FontInUse& operator=(const FontInUse&) = delete;

  static FontInUse* Current();
  const FontName& Key() const { return key_; }
  // What `memory` remembers of the scope's font.
  TextMemory::FontMemory& Memory(TextMemory& memory) { return memory.Of(key_, link_); }
  // The font and text colour of the scope, for SelectCurrentFont; unless
  // `selected`, SelectCurrentFont selects them first.
  void Hold(HFONT font, COLORREF color, bool selected = true);
  // Selects the font when it is not yet selected.
  void Realise();

 private:
  FontName key_;
  TextMemory::FontLink link_;
  std::function<void()> realise_;
  FontInUse* outer_;
  HFONT font_ = nullptr;
  COLORREF color_ = 0;
  // Its font was never selected, or a scope inside this one ended since it
  // was (the context may hold that scope's font): scopes end in order, so
  // any scope ended since then was inside this one, and a count of ended
  // scopes tells without a walk over the outer scopes at each end.
  bool unselected_ = false;
  uint64_t selectedAt_ = 0;  // ended scopes when the font was last selected
  bool Stale() const;

  friend void SelectCurrentFont(CDC& dc);
};

// The memory and the font in use, found in one reach for the thread's
// scopes (text questions ask for both, millions of times in a long line).
struct TextScopes {
  TextMemory* memory;
  FontInUse* font;
};
TextScopes CurrentTextScopes();

// While it lasts, a kept font stays selected in `dc` after its token is
// done, so a row of tokens selects a font only where it changes; before a
// text call, SelectCurrentFont selects the font of the innermost scope
// again. Kept pens and brushes stay selected the same way (a token that
// draws shapes selects its own). At its end the context gets back the font,
// text colour, pen and brush it had.
class LingeringFonts {
 public:
  explicit LingeringFonts(CDC& dc);
  ~LingeringFonts();
  LingeringFonts(const LingeringFonts&) = delete;
  LingeringFonts& operator=(const LingeringFonts&) = delete;

  static bool Active(const CDC& dc);
  // Gives the context back the pen and brush it had, before drawing with
  // them.
  void PutShapesBack();

 private:
  CDC& dc_;
  HGDIOBJ font_;
  COLORREF color_;
  HGDIOBJ pen_;
  HGDIOBJ brush_;
  LingeringFonts* outer_;
};

// Selects the font and colour of the innermost FontInUse that holds one,
// where fonts linger and another is selected.
void SelectCurrentFont(CDC& dc);
