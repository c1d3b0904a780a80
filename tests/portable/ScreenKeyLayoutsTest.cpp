// The on-screen keyboard's key tables: every layout's keys, extent, change
// keys and window size; scaling; the keystrokes that type a character.
#include "controls/ScreenKeyLayouts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

struct LayoutFacts {
  int32_t layout;
  size_t keyCount;
  int32_t extentWidth, extentHeight;
  std::vector<int32_t> changeTargets;
  KeyboardPixelSize pixels;
};

KeyRect Extent(const std::vector<KeySpec>& keys) {
  KeyRect extent = keys.front().rect;
  for (const KeySpec& key : keys) {
    extent.left = std::min(extent.left, key.rect.left);
    extent.top = std::min(extent.top, key.rect.top);
    extent.right = std::max(extent.right, key.rect.right);
    extent.bottom = std::max(extent.bottom, key.rect.bottom);
  }
  return extent;
}

TEST(ScreenKeyLayouts, EachLayoutHasItsKeysExtentChangeKeysAndSize) {
  const LayoutFacts facts[] = {
      {kLayoutFull, 71, 189, 50, {1, 2, 3}, {372, 122}},
      {kLayoutMini, 7, 36, 30, {0, 2, 3}, {122, 72}},
      {kLayoutNum, 27, 80, 50, {1, 0, 3}, {242, 142}},
      {kLayoutEqn, 60, 124, 50, {1, 0, 2}, {374, 152}},
      {kLayoutExtended, 95, 121, 84, {}, {400, 230}},
  };
  for (const LayoutFacts& f : facts) {
    SCOPED_TRACE(f.layout);
    const std::vector<KeySpec> keys = KeyboardLayoutKeys(f.layout, ".", ",");
    ASSERT_EQ(keys.size(), f.keyCount);
    const KeyRect extent = Extent(keys);
    EXPECT_EQ(extent.left, 0);
    EXPECT_EQ(extent.top, 0);
    EXPECT_EQ(extent.Width(), f.extentWidth);
    EXPECT_EQ(extent.Height(), f.extentHeight);
    std::vector<int32_t> targets;
    for (size_t i = 0; i < keys.size(); ++i) {
      EXPECT_GT(keys[i].rect.Width(), 0);
      EXPECT_GT(keys[i].rect.Height(), 0);
      EXPECT_FALSE(keys[i].legend.empty());
      if (keys[i].legend == "$CHANGEKEYBOARD") {
        EXPECT_TRUE(keys[i].changeColours);
        targets.push_back(keys[i].targetLayout);
      }
      for (size_t j = i + 1; j < keys.size(); ++j)
        EXPECT_FALSE(keys[i].rect.Overlaps(keys[j].rect)) << keys[i].legend << " / " << keys[j].legend;
    }
    EXPECT_EQ(targets, f.changeTargets);
    EXPECT_EQ(KeyboardLayoutPixelSize(f.layout).width, f.pixels.width);
    EXPECT_EQ(KeyboardLayoutPixelSize(f.layout).height, f.pixels.height);
  }
  EXPECT_TRUE(KeyboardLayoutKeys(kLayoutEmpty, ".", ",").empty());
  EXPECT_EQ(KeyboardLayoutPixelSize(kLayoutEmpty).width, 0);
}

// Typing keys, second legends, captions and the locale's separators.
TEST(ScreenKeyLayouts, KeysTypeAndShowWhatTheyShould) {
  std::map<std::string, const KeySpec*> byText;
  const std::vector<KeySpec> full = KeyboardLayoutKeys(kLayoutFull, ",", ";");
  for (const KeySpec& key : full) byText[key.outputText.empty() ? key.legend : key.outputText] = &key;
  EXPECT_EQ(byText["1"]->legend, "!");
  EXPECT_EQ(byText["q"]->legend, "Q");
  EXPECT_TRUE(byText["q"]->largeLegend);
  EXPECT_EQ(byText["\\"]->legend, "|");
  EXPECT_EQ(byText["$BSPACE"]->caption, "<-Bspc");
  EXPECT_TRUE(byText["$UP"]->symbolFont);
  EXPECT_EQ(byText["$UP"]->caption, "\xAD");
  EXPECT_EQ(byText[" "]->rect.Width(), 90);

  // The numeric pad's decimal key types the locale's separator.
  const std::vector<KeySpec> num = KeyboardLayoutKeys(kLayoutNum, ",", ";");
  const KeySpec& decimal = num[25];
  EXPECT_EQ(decimal.rect.left, 60);
  EXPECT_EQ(decimal.outputText, ",");
  EXPECT_EQ(decimal.legend, ",");

  const std::vector<KeySpec> eqn = KeyboardLayoutKeys(kLayoutEqn, ",", ";");
  int separators = 0;
  for (const KeySpec& key : eqn) {
    if (key.outputText == "sr") {
      EXPECT_EQ(key.caption, "\xD6");
    }
    if (key.rect.left == 76 && key.rect.top == 40) {
      EXPECT_EQ(key.outputText, ";");
      ++separators;
    }
    if (key.rect.left == 104 && key.rect.top == 40) {
      EXPECT_EQ(key.outputText, ",");
      ++separators;
    }
  }
  EXPECT_EQ(separators, 2);
}

TEST(ScreenKeyLayouts, ScalingTruncatesAndFontFollowsTheSmallerSide) {
  // The Full layout in a 382 x 104 client area: 2 pixels a unit both ways.
  const double scaleX = 382.0 / 191, scaleY = 104.0 / 52;
  const KeyRect key{16, 11, 26, 21};
  const KeyRect pixels = ScaleKeyRect(key, scaleX, scaleY);
  EXPECT_EQ(pixels.left, 32);
  EXPECT_EQ(pixels.bottom, 42);
  EXPECT_EQ(ScaleKeyRect(KeyRect{3, 3, 7, 7}, 1.9, 1.9).right, 13);  // 13.3 truncated
  EXPECT_EQ(KeyLabelFontHeight(key, scaleX, scaleY, false), 10);
  EXPECT_EQ(KeyLabelFontHeight(key, scaleX, scaleY, true), 13);
  EXPECT_EQ(KeyLabelFontHeight(KeyRect{0, 0, 90, 10}, 1.0, 3.0, false), 15);
}

std::vector<KeyStroke> Strokes(int16_t vkScan, bool shiftHeld, bool dead = false, uint16_t unicode = 'x') {
  std::vector<KeyStroke> strokes;
  AppendCharacterStrokes(strokes, CharacterKey{vkScan, dead, unicode}, shiftHeld);
  return strokes;
}

TEST(ScreenKeyLayouts, CharacterStrokes) {
  // Unshifted: down and up with no Shift.
  auto plain = Strokes('A', false);
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_EQ(plain[0].vk, 'A');
  EXPECT_FALSE(plain[0].up);
  EXPECT_TRUE(plain[1].up);
  // Shifted: wrapped in a Shift of its own unless Shift is held already.
  auto shifted = Strokes(0x0131, false);
  ASSERT_EQ(shifted.size(), 4u);
  EXPECT_EQ(shifted[0].vk, kVkShift);
  EXPECT_FALSE(shifted[0].up);
  EXPECT_EQ(shifted[1].vk, 0x31);
  EXPECT_EQ(shifted[3].vk, kVkShift);
  EXPECT_TRUE(shifted[3].up);
  EXPECT_EQ(Strokes(0x0131, true).size(), 2u);
  // Ctrl+Alt (AltGr), a dead key or no key at all: the character itself.
  for (const auto& strokes : {Strokes(0x0651, false, false, '@'), Strokes(0x00DC, false, true, '^'),
                              Strokes(-1, false, false, 0xE9)}) {
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_TRUE(strokes[0].unicode);
    EXPECT_EQ(strokes[0].vk, 0);
    EXPECT_NE(strokes[0].scan, 0);
    EXPECT_TRUE(strokes[1].up);
  }
  EXPECT_TRUE(Strokes(-1, false, false, 0).empty());
}

}  // namespace
