// The five key tables, one row of keys per call.
#include "controls/ScreenKeyLayouts.h"

#include <cmath>

namespace {

constexpr unsigned kLarge = 1;   // label font from the key's smaller side / 1.5
constexpr unsigned kSymbol = 2;  // label in the "Symbol" font

class LayoutBuilder {
 public:
  explicit LayoutBuilder(std::vector<KeySpec>& keys) : keys_(keys) {}

  // A typing key; an empty legend means the same as the output.
  void Typing(int32_t left, int32_t right, int32_t top, int32_t bottom, const std::string& output,
              const std::string& legend = "", unsigned flags = 0, const std::string& caption = "") {
    KeySpec& key = Add(left, right, top, bottom);
    key.outputText = output;
    key.legend = legend.empty() ? output : legend;
    key.caption = caption;
    key.largeLegend = (flags & kLarge) != 0;
    key.symbolFont = (flags & kSymbol) != 0;
  }
  // A typing key labelled with one character of the "Symbol" font.
  void SymbolTyping(int32_t left, int32_t right, int32_t top, int32_t bottom,
                    const std::string& output, char symbol, unsigned flags = 0) {
    Typing(left, right, top, bottom, output, "", flags | kSymbol, std::string(1, symbol));
  }
  // Keys of equal width from `left`, each typing its text.
  void Run(int32_t left, int32_t top, int32_t bottom, int32_t width,
           std::initializer_list<const char*> texts, unsigned flags = 0) {
    for (const char* text : texts) {
      Typing(left, left + width, top, bottom, text, "", flags);
      left += width;
    }
  }
  // Keys of equal width whose texts are "output legend" character pairs.
  void PairRun(int32_t left, int32_t top, int32_t bottom, int32_t width, const char* pairs,
               unsigned flags = 0) {
    for (const char* p = pairs; p[0] && p[1]; p += 2) {
      Typing(left, left + width, top, bottom, std::string(1, p[0]), std::string(1, p[1]), flags);
      left += width;
    }
  }
  void Special(int32_t left, int32_t right, int32_t top, int32_t bottom, const char* name,
               const char* caption, bool symbol = false) {
    KeySpec& key = Add(left, right, top, bottom);
    key.legend = name;
    key.caption = caption;
    key.symbolFont = symbol;
  }
  void Change(int32_t left, int32_t right, int32_t top, int32_t bottom, int32_t target,
              const char* caption) {
    Special(left, right, top, bottom, "$CHANGEKEYBOARD", caption);
    keys_.back().targetLayout = target;
    keys_.back().changeColours = true;
  }
  // The arrow keys carry one character of the "Symbol" font.
  void Arrow(int32_t left, int32_t right, int32_t top, int32_t bottom, const char* name, char arrow) {
    const char caption[2] = {arrow, 0};
    Special(left, right, top, bottom, name, caption, true);
  }

 private:
  KeySpec& Add(int32_t left, int32_t right, int32_t top, int32_t bottom) {
    keys_.emplace_back();
    keys_.back().rect = KeyRect{left, top, right, bottom};
    return keys_.back();
  }
  std::vector<KeySpec>& keys_;
};

// Characters of the "Symbol" font used as labels.
constexpr char kUpArrow = '\xAD', kLeftArrow = '\xAC', kDownArrow = '\xAF', kRightArrow = '\xAE';
constexpr char kAsterisk = '\x2A', kMinus = '\x2D', kRadical = '\xD6', kPi = '\x70',
               kTheta = '\x71', kLessEqual = '\xA3', kGreaterEqual = '\xB3';

void AddFull(LayoutBuilder& b) {
  b.PairRun(0, 0, 10, 10, "`~1!2@3#");
  b.Typing(40, 50, 0, 10, "4", "$");
  b.PairRun(50, 0, 10, 10, "5%6^7&8*9(0)-_=+");
  b.Special(130, 150, 0, 10, "$BSPACE", "<-Bspc");
  b.Special(153, 165, 0, 10, "$INS", "Ins");
  b.Special(165, 177, 0, 10, "$HOME", "Home");
  b.Special(177, 189, 0, 10, "$PUP", "PgUp");

  b.Special(0, 15, 10, 20, "$TAB", "Tab->");
  b.PairRun(15, 10, 20, 10, "qQwWeErRtTyYuUiIoOpP", kLarge);
  b.PairRun(115, 10, 20, 10, "[{]}");
  b.Typing(135, 150, 10, 20, "\\", "|");
  b.Special(153, 165, 10, 20, "$DEL", "Del");
  b.Special(165, 177, 10, 20, "$END", "End");
  b.Special(177, 189, 10, 20, "$PDN", "PgDn");

  b.Special(0, 18, 20, 30, "$CAPSLOCK", "Caps");
  b.PairRun(18, 20, 30, 10, "aAsSdDfFgGhHjJkKlL", kLarge);
  b.PairRun(108, 20, 30, 10, ";:'\"");
  b.Special(128, 150, 20, 30, "$ENTER", "Enter");
  b.Change(153, 165, 20, 30, kLayoutMini, "Mini");
  b.Change(165, 177, 20, 30, kLayoutNum, "Num");
  b.Change(177, 189, 20, 30, kLayoutEqn, "Eqn");

  b.Special(0, 25, 30, 40, "$SHIFT", "Shift");
  b.PairRun(25, 30, 40, 10, "zZxXcCvVbBnNmM", kLarge);
  b.PairRun(95, 30, 40, 10, ",<.>/?");
  b.Special(125, 150, 30, 40, "$SHIFT", "Shift");
  b.Arrow(165, 177, 30, 40, "$UP", kUpArrow);

  b.Special(0, 15, 40, 50, "$CTRL", "Ctrl");
  b.Special(15, 30, 40, 50, "$ALT", "Alt");
  b.Typing(30, 120, 40, 50, " ");
  b.Special(120, 135, 40, 50, "$ALT", "Alt");
  b.Special(135, 150, 40, 50, "$CTRL", "Ctrl");
  b.Arrow(153, 165, 40, 50, "$LEFT", kLeftArrow);
  b.Arrow(165, 177, 40, 50, "$DOWN", kDownArrow);
  b.Arrow(177, 189, 40, 50, "$RIGHT", kRightArrow);
}

void AddMini(LayoutBuilder& b) {
  b.Special(0, 16, 0, 10, "$SHIFT", "Shift");
  b.Special(20, 36, 0, 10, "$DEL", "Del");
  b.Special(0, 16, 10, 20, "$CTRL", "Ctrl");
  b.Special(20, 36, 10, 20, "$ALT", "Alt");
  b.Change(0, 12, 20, 30, kLayoutFull, "Full");
  b.Change(12, 24, 20, 30, kLayoutNum, "Num");
  b.Change(24, 36, 20, 30, kLayoutEqn, "Eqn");
}

void AddNum(LayoutBuilder& b, const std::string& decimal) {
  b.Special(0, 12, 0, 10, "$SHIFT", "Shift");
  b.Special(12, 24, 0, 10, "$CTRL", "Ctrl");
  b.Special(24, 36, 0, 10, "$ALT", "Alt");
  b.Run(40, 0, 10, 10, {"^", "/"}, kLarge);
  b.SymbolTyping(60, 70, 0, 10, "*", kAsterisk);
  b.SymbolTyping(70, 80, 0, 10, "-", kMinus);

  b.Change(0, 12, 10, 20, kLayoutMini, "Mini");
  b.Change(12, 24, 10, 20, kLayoutFull, "Full");
  b.Change(24, 36, 10, 20, kLayoutEqn, "Eqn");
  b.Run(40, 10, 20, 10, {"7", "8", "9"}, kLarge);
  b.Typing(70, 80, 10, 30, "+", "", kLarge);
  b.Run(40, 20, 30, 10, {"4", "5", "6"}, kLarge);
  b.Arrow(13, 23, 30, 40, "$UP", kUpArrow);
  b.Run(40, 30, 40, 10, {"1", "2", "3"}, kLarge);
  b.Arrow(3, 13, 40, 50, "$LEFT", kLeftArrow);
  b.Arrow(13, 23, 40, 50, "$DOWN", kDownArrow);
  b.Arrow(23, 33, 40, 50, "$RIGHT", kRightArrow);
  b.Typing(40, 60, 40, 50, "0", "", kLarge);
  b.Typing(60, 70, 40, 50, decimal, "", kLarge);
  b.Special(70, 80, 40, 50, "$DEL", "DEL");
}

void AddEqn(LayoutBuilder& b, const std::string& decimal, const std::string& list) {
  b.Run(8, 0, 8, 10, {"sin", "cos", "tan", "asin", "acos", "atan"});
  b.Typing(0, 6, 0, 10, "a", "", kLarge);
  b.Run(70, 0, 10, 6, {"(", ")"}, kLarge);
  b.Run(84, 0, 10, 10, {"^", "/"}, kLarge);
  b.SymbolTyping(104, 114, 0, 10, "*", kAsterisk, kLarge);
  b.SymbolTyping(114, 124, 0, 10, "-", kMinus, kLarge);

  b.Run(8, 8, 16, 10, {"sec", "cosec", "cot", "log", "ln"});
  b.SymbolTyping(58, 68, 8, 16, "sr", kRadical);
  b.Typing(0, 6, 10, 20, "b", "", kLarge);
  b.Run(70, 10, 20, 6, {"[", "]"}, kLarge);
  b.Run(84, 10, 20, 10, {"7", "8", "9"}, kLarge);
  b.Typing(114, 124, 10, 30, "+", "", kLarge);

  b.Run(8, 16, 24, 10, {"root", "abs", "int"});
  b.SymbolTyping(48, 58, 16, 24, "pi", kPi, kLarge);
  b.Typing(58, 68, 16, 24, "e", "", kLarge);
  b.Typing(0, 6, 20, 30, "c", "", kLarge);
  b.Run(70, 20, 30, 6, {"<", ">"}, kLarge);
  b.Run(84, 20, 30, 10, {"4", "5", "6"}, kLarge);

  b.Run(8, 28, 38, 10, {"x", "y", "r"}, kLarge);
  b.SymbolTyping(38, 48, 28, 38, "th", kTheta, kLarge);
  b.Special(50, 68, 28, 38, "$BSPACE", "<-Bspc");
  b.Typing(0, 6, 30, 40, "d", "", kLarge);
  b.SymbolTyping(70, 76, 30, 40, "<=", kLessEqual, kLarge);
  b.SymbolTyping(76, 82, 30, 40, ">=", kGreaterEqual, kLarge);
  b.Run(84, 30, 40, 10, {"1", "2", "3"}, kLarge);
  b.Typing(114, 124, 30, 50, "=", "", kLarge);

  b.Typing(0, 6, 40, 50, "m", "", kLarge);
  b.Typing(70, 76, 40, 50, ";", "", kLarge);
  b.Typing(76, 82, 40, 50, list, "", kLarge);
  b.Typing(84, 104, 40, 50, "0", "", kLarge);
  b.Typing(104, 114, 40, 50, decimal, "", kLarge);
  b.Change(8, 18, 42, 50, kLayoutMini, "Mini");
  b.Change(18, 28, 42, 50, kLayoutFull, "Full");
  b.Change(28, 38, 42, 50, kLayoutNum, "Num");
  b.Special(38, 48, 42, 50, "$SHIFT", "Shift");
  b.Special(48, 58, 42, 50, "$CTRL", "Ctrl");
  b.Special(58, 68, 42, 50, "$ALT", "Alt");
}

// The equation words, brackets and numeric pad of the extended layout.
void AddExtendedPad(LayoutBuilder& b, const std::string& decimal, const std::string& list) {
  b.Run(0, 0, 8, 10, {"sin", "cos", "tan", "log"});
  b.Run(66, 0, 10, 6, {"(", ")", "\\"}, kLarge);
  b.Run(85, 0, 10, 9, {"^", "/"}, kLarge);
  b.SymbolTyping(103, 112, 0, 10, "*", kAsterisk, kLarge);
  b.SymbolTyping(112, 121, 0, 10, "-", kMinus, kLarge);
  b.Run(0, 8, 16, 10, {"sec", "cosec", "cot", "ln"});
  b.Run(66, 10, 20, 6, {"[", "]", "_"}, kLarge);
  b.Run(85, 10, 20, 9, {"7", "8", "9"}, kLarge);
  b.Typing(112, 121, 10, 30, "+", "", kLarge);
  b.Run(0, 16, 24, 10, {"asin", "acos", "atan"});
  b.SymbolTyping(30, 40, 16, 24, "sr", kRadical);
  b.Arrow(50, 57, 20, 28, "$UP", kUpArrow);
  b.Run(66, 20, 30, 6, {"<", ">", "\""}, kLarge);
  b.Run(85, 20, 30, 9, {"4", "5", "6"}, kLarge);
  b.Run(0, 24, 32, 10, {"arg", "cis", "mod", "root"});
  b.Arrow(43, 50, 28, 36, "$LEFT", kLeftArrow);
  b.Arrow(50, 57, 28, 36, "$DOWN", kDownArrow);
  b.Arrow(57, 64, 28, 36, "$RIGHT", kRightArrow);
  b.Run(66, 30, 40, 6, {"{", "}"}, kLarge | kSymbol);
  b.Typing(78, 84, 30, 40, ":", "", kLarge);
  b.Run(85, 30, 40, 9, {"1", "2", "3"}, kLarge);
  b.Typing(112, 121, 30, 50, "=", "", kLarge);
  b.Run(0, 32, 40, 10, {"lim", "int", "sigma", "product"});
  b.Run(0, 40, 48, 10, {"div", "box"});
  b.Typing(66, 72, 40, 50, "|", "", kLarge);
  b.Typing(72, 78, 40, 50, list, "", kLarge);
  b.Typing(78, 84, 40, 50, ";", "", kLarge);
  b.Typing(85, 103, 40, 50, "0", "", kLarge);
  b.Typing(103, 112, 40, 50, decimal, "", kLarge);
}

// The letter rows of the extended layout.
void AddExtendedLetters(LayoutBuilder& b) {
  b.Special(0, 13, 52, 60, "$TAB", "Tab->");
  b.PairRun(13, 52, 60, 9, "qQwWeErRtTyYuUiIoOpP", kLarge);
  b.Special(103, 121, 52, 60, "$BSPACE", "<-Bspc");
  b.Special(0, 18, 60, 68, "$CAPSLOCK", "Caps");
  b.PairRun(18, 60, 68, 9, "aAsSdDfFgGhHjJkKlL", kLarge);
  b.Special(99, 121, 60, 68, "$ENTER", "Enter");
  b.Special(0, 22, 68, 76, "$SHIFT", "Shift");
  b.PairRun(22, 68, 76, 9, "zZxXcCvVbBnNmM", kLarge);
  b.Special(85, 108, 68, 76, "$SHIFT", "Shift");
  b.Special(108, 121, 68, 76, "$CTRL", "Ctrl");
  b.Special(0, 13, 76, 84, "$CTRL", "Ctrl");
  b.Special(13, 27, 76, 84, "$ALT", "Alt");
  b.Typing(27, 108, 76, 84, " ");
  b.Special(108, 121, 76, 84, "$ALT", "Alt");
}

}  // namespace

std::vector<KeySpec> KeyboardLayoutKeys(int32_t layout, const std::string& decimalSeparator,
                                        const std::string& listSeparator) {
  std::vector<KeySpec> keys;
  LayoutBuilder builder(keys);
  switch (layout) {
    case kLayoutFull: AddFull(builder); break;
    case kLayoutMini: AddMini(builder); break;
    case kLayoutNum: AddNum(builder, decimalSeparator); break;
    case kLayoutEqn: AddEqn(builder, decimalSeparator, listSeparator); break;
    case kLayoutExtended:
      AddExtendedPad(builder, decimalSeparator, listSeparator);
      AddExtendedLetters(builder);
      break;
    default: break;
  }
  return keys;
}

KeyboardPixelSize KeyboardLayoutPixelSize(int32_t layout) {
  switch (layout) {
    case kLayoutFull: return {372, 122};
    case kLayoutMini: return {122, 72};
    case kLayoutNum: return {242, 142};
    case kLayoutEqn: return {374, 152};
    case kLayoutExtended: return {400, 230};
    default: return {0, 0};
  }
}

KeyRect ScaleKeyRect(const KeyRect& rect, double scaleX, double scaleY) {
  return KeyRect{static_cast<int32_t>(rect.left * scaleX), static_cast<int32_t>(rect.top * scaleY),
                 static_cast<int32_t>(rect.right * scaleX),
                 static_cast<int32_t>(rect.bottom * scaleY)};
}

int32_t KeyLabelFontHeight(const KeyRect& rect, double scaleX, double scaleY, bool largeLegend) {
  const double side = std::fmin(rect.Height() * scaleY, rect.Width() * scaleX);
  return static_cast<int32_t>(side / (largeLegend ? 1.5 : 2.0));
}

void AppendDownUp(std::vector<KeyStroke>& strokes, uint16_t vk, uint16_t scan) {
  strokes.push_back(KeyStroke{vk, scan, false, false});
  strokes.push_back(KeyStroke{vk, scan, true, false});
}

void AppendCharacterStrokes(std::vector<KeyStroke>& strokes, const CharacterKey& key, bool shiftHeld) {
  const uint16_t vk = static_cast<uint16_t>(key.vkScan & 0xFF);
  const uint16_t shiftState = static_cast<uint16_t>((key.vkScan >> 8) & 0xFF);
  // Shift alone cannot make what needs Ctrl or Alt, and a dead key types
  // nothing until the next key: both go as the character itself.
  const bool needsMoreThanShift = (shiftState & ~1u) != 0;
  if (key.vkScan == -1 || key.deadKey || needsMoreThanShift) {
    if (key.unicode == 0) return;
    strokes.push_back(KeyStroke{0, key.unicode, false, true});
    strokes.push_back(KeyStroke{0, key.unicode, true, true});
    return;
  }
  if (shiftState == 0 || shiftHeld) {
    AppendDownUp(strokes, vk, shiftState);
    return;
  }
  strokes.push_back(KeyStroke{kVkShift, 0, false, false});
  AppendDownUp(strokes, vk, shiftState);
  strokes.push_back(KeyStroke{kVkShift, 0, true, false});
}
