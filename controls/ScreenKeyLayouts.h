// The key tables of the on-screen keyboard: five layouts of painted keys in
// layout units, the window size of each layout, the scaling of a key to
// pixels, and the keystrokes that type one character. Portable: nothing
// here needs a window, so it builds and is tested natively.
// Choices of ours: a character that the active keyboard layout cannot type
// with Shift alone (one that needs Ctrl or Alt, as on AltGr layouts), that
// it reaches only through a dead key, or that no key makes at all, is sent as
// a Unicode key event instead of being skipped or typed wrongly with Shift.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum KeyboardLayout : int32_t {
  kLayoutFull = 0,
  kLayoutMini = 1,
  kLayoutNum = 2,
  kLayoutEqn = 3,
  kLayoutEmpty = 4,
  kLayoutExtended = 5,
};

struct KeyRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool Overlaps(const KeyRect& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
};

// One key of a layout as the table gives it (rectangle in layout units, not
// yet moved by the keyboard's margin).
struct KeySpec {
  KeyRect rect;
  std::string outputText;  // what the key types; empty for a special key
  std::string legend;      // second legend, or the special key's name ("$SHIFT")
  std::string caption;     // label of a special key, or drawn instead of outputText
  bool symbolFont = false;
  bool largeLegend = false;
  int32_t targetLayout = 0;     // for "$CHANGEKEYBOARD"
  bool changeColours = false;   // drawn in the change keys' colours

  bool IsSpecial() const { return outputText.empty(); }
};

// The keys of `layout` in the order they are added; none for the empty
// layout or an unknown one. The separator keys type the given strings.
std::vector<KeySpec> KeyboardLayoutKeys(int32_t layout, const std::string& decimalSeparator,
                                        const std::string& listSeparator);

// The window size in pixels that a layout gets; 0 x 0 for the empty layout.
struct KeyboardPixelSize {
  int32_t width = 0, height = 0;
};
KeyboardPixelSize KeyboardLayoutPixelSize(int32_t layout);

// A key rectangle in layout units to pixels, each product truncated.
KeyRect ScaleKeyRect(const KeyRect& rect, double scaleX, double scaleY);

// Height of a key's label font in pixels.
int32_t KeyLabelFontHeight(const KeyRect& rect, double scaleX, double scaleY, bool largeLegend);

// One synthetic keystroke: a virtual key, or a UTF-16 unit when `unicode`.
struct KeyStroke {
  uint16_t vk = 0;
  uint16_t scan = 0;
  bool up = false;
  bool unicode = false;
};

constexpr uint16_t kVkShift = 0x10;

// How the active keyboard layout makes one character: the VkKeyScan answer
// (-1 when no key makes it), whether its key is a dead key, and the
// character as a UTF-16 unit.
struct CharacterKey {
  int16_t vkScan = -1;
  bool deadKey = false;
  uint16_t unicode = 0;
};

// Appends the strokes that type one character. With `shiftHeld` (Shift
// already down from the screen) a shifted character needs no Shift of its own.
void AppendCharacterStrokes(std::vector<KeyStroke>& strokes, const CharacterKey& key, bool shiftHeld);
// A key-down followed by its key-up.
void AppendDownUp(std::vector<KeyStroke>& strokes, uint16_t vk, uint16_t scan = 0);
