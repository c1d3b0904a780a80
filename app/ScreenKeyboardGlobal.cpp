// The program's one on-screen keyboard object; its window is made by the
// main frame.
#include "app/ScreenKeyboard.h"

QVScreenKeyboard theScreenKeyboard;
