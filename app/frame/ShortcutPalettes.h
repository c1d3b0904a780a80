// The palettes of the main frame's "Shortcuts" bar: which button opens
// which palette toolbar, with its image strip and image width. One strip
// serves the normal, hot and disabled images.
#pragma once

#include <span>

#include "framework/Platform.h"

struct ShortcutPalette {
  int button;      // index on the "Shortcuts" bar (0 is the degree sign: none)
  UINT toolbar;    // toolbar resource of the palette
  UINT bitmap;     // its image strip
  int imageWidth;  // width in pixels of one image in the strip
};

std::span<const ShortcutPalette> ShortcutPalettes();
