// The option set's tables, shared by its defaults, INI and archive code:
// which holder, in which order. Internal to options/.
#pragma once

#include <span>
#include <variant>

#include "options/QVMOptions.h"

// LettersA to LettersZ by index, first to last inclusive.
struct LetterRun {
  int first;
  int last;
};

// One holder of the set (or a run of the letter holders).
using HolderRef =
    std::variant<QVOptionInt QVMOptions::*, QVOptionBool QVMOptions::*,
                 QVOptionDouble QVMOptions::*, QVOptionColorRef QVMOptions::*,
                 QVOptionString QVMOptions::*, QVOptionQVLogPen QVMOptions::*,
                 QVOptionQVLogFont QVMOptions::*, LetterRun>;

// A holder of the archive form and the first version that carries it.
struct ArchiveRow {
  HolderRef holder;
  int sinceVersion;
};

// The 91 stored holders in INI order (every holder but the two characters).
std::span<const HolderRef> IniOrder();
// The holders in archive order.
std::span<const ArchiveRow> ArchiveOrder();

// Calls `visit` with each holder that `ref` names, taken from every one of
// `sets` side by side (one set to read or write it, two to copy it).
template <typename Visit, typename... Sets>
void ForEachHolder(const HolderRef& ref, Visit&& visit, Sets&... sets) {
  if (const auto* run = std::get_if<LetterRun>(&ref)) {
    for (int i = run->first; i <= run->last; ++i) visit(sets.Letters[i]...);
    return;
  }
  std::visit(
      [&](auto member) {
        if constexpr (!std::is_same_v<decltype(member), LetterRun>) visit((sets.*member)...);
      },
      ref);
}
