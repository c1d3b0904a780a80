// Real input for the tests that drive windows on the X display: key strokes
// and mouse moves through SendInput, as a person's would arrive.
#pragma once

#include <windows.h>

#include "framework/ControlBars.h"
#include "framework/Geometry.h"
#include "tests/window/WinTestSupport.h"  // SendMouse

void SendKey(WORD key, bool up);
// Presses and releases `key`, with Ctrl and Shift held as asked.
void Stroke(WORD key, bool shift = false, bool control = false);
// Types the characters with the keys that make them on the current layout.
void TypeKeys(const char* text);
// The screen centre of button `index` of a toolbar.
CPoint ScreenCentre(const CToolBar& bar, int index);
