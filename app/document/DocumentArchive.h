// The equation document's archive forms. Stored: "QVM", version 1, the
// equation list, the option set, "/QVM/". Loaded: that form, the older form
// marked "QVM3DOC" or "qvp3DOC" (twenty texts and the option set), and the
// oldest raw layout without a marker, read field by field from the first
// byte of the file.
// Choices of ours: a load works on copies and hands the equation and the
// options over only when the whole form was read, so a damaged file leaves
// them as they were; a file whose first bytes do not even make a string is
// read as the raw layout; the raw layout ends quietly at the end of the data,
// but a read error of the file itself still fails the load.
#pragma once

#include "engine/EquationList.h"
#include "options/QVMOptions.h"

class CArchive;

void StoreDocumentArchive(CArchive& archive, QVEquationList& equation, QVMOptions& options);
// Throws the archive's and the file's exceptions; on a throw `equation` and
// `options` are unchanged.
void LoadDocumentArchive(CArchive& archive, QVEquationList& equation, QVMOptions& options);
