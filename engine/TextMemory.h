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
#include <string>
#include <unordered_map>

#include "framework/Dc.h"
#include "options/LogObjects.h"

// The name of a realised font: its logical font at the height it is
// created with; colour plays no part in sizes.
std::string FontKey(const QVLogFont& description, double scale);

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

 private:
  static std::string ExtentKey(const std::string& font, const CString& text);
  void ForgetWhenFull();

  std::array<int, 8> context_{};
  std::unordered_map<std::string, TEXTMETRICA> metrics_;
  std::unordered_map<std::string, CSize> extents_;
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
