// Hand-written token trees and render cases, for tests and eqprobe: trees
// that the parser does not make (or not yet), option changes by name, and
// the file of named render cases that the gallery and its tests share.
//
// Tree notation: tokens separated by spaces; a token is a kind name without
// "TK_", then optionally its text in double quotes (\xNN for any byte, \"
// and \\ for the two characters), optionally "@" and its attachment mark
// (0 to 4), then optionally its first child row in braces and its second
// child row in braces:
//   SQRT{NUMBER"2"}   FRACTION{NUMBER"1"}{VARIABLE"x"}   GREEK"p"
//
// Render case file: one case per line, "name | settings | equation"; lines
// that are empty or start with "#" are skipped. Settings are words
// "key=value": "style" (0..5), "switchN" (parse switch N, 0 or 1), "Bold",
// "Italic", "Underline" and "UseColour" (the line format), "DrawScale", or
// the INI key of any stored option. An equation starting with "tree:" is
// tree notation, anything else is equation text. A case line whose name is
// empty (and whose settings are empty) adds a further equation line to the
// text case above it:
//   aligned   |             | a=b
//             |             | =c
#pragma once

#include <string>
#include <vector>

#include "engine/EquationLine.h"
#include "engine/EquationList.h"
#include "options/QVMOptions.h"

// Replaces the line's tree by the one written in `notation`, with levels and
// layout flags set as after a parse. False (and `error` set) for bad
// notation; the line then holds what was read before the fault.
bool BuildTree(EquationLine& line, const std::string& notation, const QVMOptions& options,
               std::string* error = nullptr);

// Applies "key=value" settings (see above), style first; false (and
// `error` set) for an unknown key or a bad value.
bool ApplySettings(QVMOptions& options, const std::string& settings, std::string* error = nullptr);

struct RenderCase {
  std::string name;
  std::string settings;
  std::string equation;  // lines joined by CR LF
  bool IsTree() const { return equation.rfind("tree:", 0) == 0; }
};

// Reads a render case file; false (and `error` set) when it cannot be read
// or a line is malformed.
bool ReadRenderCases(const std::string& path, std::vector<RenderCase>& cases,
                     std::string* error = nullptr);

// Sets up options and line for a case: settings applied to style 0, then
// the equation parsed or the tree built.
bool PrepareRenderCase(const RenderCase& c, QVMOptions& options, EquationLine& line,
                       std::string* error = nullptr);
// The same for an equation list: the settings' line format on every line,
// a tree in line 1, or the text split into the list's lines.
bool PrepareRenderList(const RenderCase& c, QVMOptions& options, QVEquationList& list,
                       std::string* error = nullptr);
