// Symbol insert commands: the palette buttons that put one of the input
// language's symbol words into the equation text box. The table maps each
// command to its text; ApplySymbolCommand is the edit the box then makes.
// Choice of ours: a selection given back to front or beyond the text is
// put in order and clamped first, as the edit control itself does.
#pragma once

#include <span>

#include "framework/Platform.h"
#include "framework/String.h"

// Where the caret stands after an insert.
enum class CaretRule {
  AfterText,  // after the inserted text, nothing selected
};

struct SymbolCommand {
  UINT id;           // command id (resources/resource.h)
  const char* text;  // inserted exactly as written
  CaretRule caret;
  UINT palette;      // toolbar resource of the palette holding the button
  int button;        // 1-based position of the button on that palette
};

// The text box's text and selection, in character positions (EM_GETSEL).
struct EditState {
  CString text;
  int selStart = 0;
  int selEnd = 0;
};

// All symbol insert commands, in table order.
std::span<const SymbolCommand> SymbolCommands();

// The command with this id, or nullptr.
const SymbolCommand* FindSymbolCommand(UINT id);

// The box after the command replaced its selection (or inserted at the caret).
EditState ApplySymbolCommand(const EditState& state, const SymbolCommand& command);
