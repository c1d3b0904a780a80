// The class id and picture size shared by the bare COM proof server and its
// client test.
#pragma once

#include <windows.h>

// {6C1D3A52-8E47-4B0F-9A1E-3F5B2C7D9E01}
inline constexpr CLSID kProofClassId = {
    0x6c1d3a52, 0x8e47, 0x4b0f, {0x9a, 0x1e, 0x3f, 0x5b, 0x2c, 0x7d, 0x9e, 0x01}};
inline constexpr int kProofWidth = 2000;   // 0.01 mm
inline constexpr int kProofHeight = 1000;  // 0.01 mm
