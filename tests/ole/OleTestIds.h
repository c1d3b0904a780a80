// Resource ids, class id and sizes of the OLE test programs.
#pragma once

#define IDR_OLETEST_MAIN 128
#define IDR_OLETEST_DOC 130
#define IDR_OLETEST_EMBEDDED 5
// Test server command: change the text, then update the container.
#define ID_OLETEST_CHANGE_AND_UPDATE 32900
#define ID_OLETEST_EMBEDDED_ONLY 32901

#ifndef RC_INVOKED
#include <windows.h>

// {0F3E2B71-5C8A-4D19-B6E4-7A2D9C1E4F02}
inline constexpr CLSID kOleTestClassId = {
    0x0f3e2b71, 0x5c8a, 0x4d19, {0xb6, 0xe4, 0x7a, 0x2d, 0x9c, 0x1e, 0x4f, 0x02}};
inline constexpr char kOleTestProgId[] = "OvelinTest.OleDocument";
inline constexpr char kOleTestWindowClass[] = "OvelinOleTestMain";
#endif
