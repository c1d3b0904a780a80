// TextMemory: text extents and font metrics remembered per realised font
// and text, so that one question to GDI serves every repeat of the same
// "x", "=" or "2" while a line or a list is measured and drawn (every
// question is a round trip through the system, and slow under Wine).
// A MemoryScope lends a memory to everything measured in its extent; a
// FontInUse names the font the context holds (or will hold once asked) for
// TextSize. Without both, TextSize asks the context. Windows only.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "framework/Dc.h"
#include "options/LogObjects.h"

// The name of a realised font: its logical font at the height it is
// created with; colour plays no part in sizes.
std::string FontKey(const QVLogFont& description, double scale);

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

  // The font named `key` (the logical font FontKey made it from), kept for
  // drawing on `dc`.
  HFONT Find(CDC& dc, const std::string& key);
  void Clear();
  size_t Size() const { return fonts_.size(); }

 private:
  struct Holder;
  std::unordered_map<std::string, std::unique_ptr<Holder>> fonts_;
};

class TextMemory {
 public:
  // Forgets everything when the context's units or resolution differ from
  // those the remembered answers were given in.
  void Follow(CDC& dc);
  const TEXTMETRICA* FindMetrics(const std::string& font) const;
  void KeepMetrics(const std::string& font, const TEXTMETRICA& metrics);
  const CSize* FindExtent(const std::string& font, const CString& text) const;
  void KeepExtent(const std::string& font, const CString& text, CSize size);
  size_t Size() const { return extents_.size() + metrics_.size(); }
  // A kept font for drawing on a raster display or memory context (the
  // one Follow was given); null for any other (metafiles record the fonts
  // they are given as before, printers realise their own).
  HFONT KeptFont(CDC& dc, const std::string& key);

 private:
  static std::string ExtentKey(const std::string& font, const CString& text);
  void ForgetWhenFull();

  std::array<int, 8> context_{};
  std::unordered_map<std::string, TEXTMETRICA> metrics_;
  std::unordered_map<std::string, CSize> extents_;
  bool keepsFonts_ = false;
  KeptFonts fonts_;
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

// The font TextSize measures with until the scope ends. An empty key means
// a font the memory does not know: TextSize asks the context. `realise`,
// when given, selects the font into the context the first time a text is
// not remembered (a token whose texts are all known is never selected).
class FontInUse {
 public:
  explicit FontInUse(std::string key, std::function<void()> realise = nullptr);
  ~FontInUse();
  FontInUse(const FontInUse&) = delete;
  FontInUse& operator=(const FontInUse&) = delete;

  static FontInUse* Current();
  const std::string& Key() const { return key_; }
  // Selects the font when it is not yet selected.
  void Realise();

 private:
  std::string key_;
  std::function<void()> realise_;
  FontInUse* outer_;
};
