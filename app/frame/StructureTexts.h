// Texts of the structure insert commands: the constructs that wrap the
// selected text or append a mark to it, and the texts built from the answers
// of the insert dialogs (array entries, scientific notation, bounds).
// Nothing here touches a window, so every text can be checked natively.
// Choices of ours:
//  - A vector or piecewise function with no entry in use is written with one
//    blank entry, as an empty matrix is ("( ( ) )", "= {  ( )    ( )#"):
//    there is no entry 0 to read.
//  - Scientific notation of a negative decimal takes the logarithm of the
//    magnitude and keeps the sign on the mantissa (-12345 gives -1.2345E4);
//    a mantissa that rounds up to 10 at six decimals moves to the next power.
#pragma once

#include <optional>
#include <span>

#include "framework/Platform.h"
#include "framework/String.h"

// A construct put around the selection.
struct WrapForm {
  UINT id;            // command id (resources/resource.h)
  const char* open;   // before the selected text
  const char* close;  // after it
  const char* empty;  // inserted instead when nothing is selected
  bool caretBack;     // without a selection the caret goes back one character
};

// A mark put after the selection.
struct AppendMark {
  UINT id;
  const char* mark;
};

std::span<const WrapForm> WrapForms();
std::span<const AppendMark> AppendMarks();
const WrapForm* FindWrapForm(UINT id);
const AppendMark* FindAppendMark(UINT id);

// open + selected + close, or the empty form without a selection.
CString WrapText(const WrapForm& form, const CString& selected);

// The largest 1-based index among entries[1..count] whose text is not
// empty (blanks count as text); 0 when none is.
int LastEntryInUse(const CString* entries, int count);

// Matrix text column by column from cells[row][column], rows 1..rowCount
// and columns 1..columnCount; a count of 0 writes one blank cell.
CString MatrixText(const CString (*cells)[9], int rowCount, int columnCount);
// "( " then (1),(2),... then " )"; entries[1..count].
CString VectorText(const CString* components, int count);
// "= {  " functions "    " domains "#"; entries[1..count].
CString PiecewiseText(const CString* functions, const CString* domains, int count);

// The integral: "int", or "int(" lower SEP upper ")" with either bound given.
CString IntegralText(const CString& lower, const CString& upper, const CString& separator);

// Scientific notation from the dialog's fields. Mantissa "E" exponent when
// either is given; else the decimal as mantissa and power of ten; else
// "1.2E5". Empty optional when the decimal reads as 0: the selection stays.
std::optional<CString> ScientificText(const CString& mantissa, const CString& exponent,
                                      const CString& decimal);
