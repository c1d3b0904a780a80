// libFuzzer target: the document archive reader (the "Contents" stream of an
// equation file) on arbitrary bytes. A load either fails with the archive's
// or the file's exception or gives a document that stores again.
// Writes its seed archives when asked (FuzzSeeds.h).
#include <cstdint>
#include <string>
#include <vector>

#include "app/document/DocumentArchive.h"
#include "framework/Archive.h"
#include "framework/Exceptions.h"
#include "framework/File.h"
#include "tests/fuzz/FuzzSeeds.h"

namespace {

std::vector<BYTE> Store(QVEquationList& equation, QVMOptions& options) {
  CMemFile file;
  {
    CArchive archive(&file, CArchive::store);
    StoreDocumentArchive(archive, equation, options);
  }
  const BYTE* data = file.GetData();
  return std::vector<BYTE>(data, data + file.GetLength());
}

void WriteSeed(const std::string& path, const std::vector<BYTE>& bytes) {
  WriteSeedFile(path, bytes.data(), bytes.size());
}

// An empty document and one with texts, formats and long lines.
void WriteSeeds(const std::string& folder) {
  QVEquationList equation;
  QVMOptions options;
  WriteSeed(folder + "/empty.qvm", Store(equation, options));
  equation.Lines[0] = "x=(-b+-sqrt(b^2-4ac))/(2a)";
  equation.Lines[3] = std::string(300, 'y').c_str();
  equation.Lines[19] = "last\r\nline";
  equation.Formats[0].Bold = true;
  equation.Formats[19].UseColour = true;
  equation.Formats[19].Colour = 0x00FF00;
  WriteSeed(folder + "/filled.qvm", Store(equation, options));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  WriteSeedsWhenAsked(WriteSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<BYTE> copy(data, data + size);
  CMemFile file(copy.empty() ? nullptr : copy.data(), static_cast<UINT>(copy.size()));
  QVEquationList equation;
  QVMOptions options;
  try {
    CArchive archive(&file, CArchive::load);
    LoadDocumentArchive(archive, equation, options);
  } catch (const CException&) {
    return 0;
  }
  Store(equation, options);
  return 0;
}
