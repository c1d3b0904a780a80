// Table of the "Shortcuts" bar's palettes.
#include "app/frame/ShortcutPalettes.h"

#include "resources/resource.h"

namespace {

// clang-format off
constexpr ShortcutPalette kShortcutPalettes[] = {
  // button  toolbar                        strip                          width
  {1,        IDR_PALETTE_GREEK_LOWER,       IDB_PALETTE_GREEK_LOWER,       13},
  {2,        IDR_PALETTE_GREEK_UPPER,       IDB_PALETTE_GREEK_UPPER,       13},
  {3,        IDR_PALETTE_SYMBOLS,           IDB_PALETTE_SYMBOLS,           13},
  {4,        IDR_PALETTE_EQUATION_NUMBERS,  IDB_PALETTE_EQUATION_NUMBERS,  24},
  {5,        IDR_PALETTE_CALCULUS,          IDB_PALETTE_CALCULUS,          24},
  {6,        IDR_PALETTE_ROOTS,             IDB_PALETTE_ROOTS,             24},
  {7,        IDR_PALETTE_ARRAYS,            IDB_PALETTE_ARRAYS,            24},
};
// clang-format on

}  // namespace

std::span<const ShortcutPalette> ShortcutPalettes() { return kShortcutPalettes; }
