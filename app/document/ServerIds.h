// The class ids under which the program serves its two document templates
// to other programs ("Ovelin4" and "QVP"; both registered as
// "QVM300.Equation", whose class is the first).
#pragma once

#include "framework/Platform.h"

// {C675CD48-E498-4ECE-8EF3-3A460F613A30}
inline constexpr CLSID kEquationClassId = {
    0xc675cd48, 0xe498, 0x4ece, {0x8e, 0xf3, 0x3a, 0x46, 0x0f, 0x61, 0x3a, 0x30}};
// {500D3C56-4CD1-4687-BE39-3B55985DF736}
inline constexpr CLSID kQvpClassId = {
    0x500d3c56, 0x4cd1, 0x4687, {0xbe, 0x39, 0x3b, 0x55, 0x98, 0x5d, 0xf7, 0x36}};
inline constexpr char kEquationProgId[] = "QVM300.Equation";
