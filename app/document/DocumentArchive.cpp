// The document's archive forms: the current form, the older marked form and
// the raw layout.
#include "app/document/DocumentArchive.h"

#include "framework/Archive.h"

namespace {

constexpr const char* kMarker = "QVM";
constexpr const char* kClosingMarker = "/QVM/";
constexpr const char* kOlderMarkers[] = {"QVM3DOC", "qvp3DOC"};
constexpr int16_t kArchiveVersion = 1;
// The raw layout holds one text more than the list has lines.
constexpr int kRawTextCount = QVEquationList::kLineCount + 1;
// A raw text's length is one byte, so this buffer always holds it and its end.
constexpr int kRawTextBuffer = 256;

// A copy of the document's equation and options that a load fills; the
// document takes it over only when the load went through.
struct StagedContents {
  QVEquationList equation;
  QVMOptions options;

  StagedContents(const QVEquationList& fromEquation, const QVMOptions& fromOptions)
      : options(fromOptions) {
    for (int i = 0; i < QVEquationList::kLineCount; ++i) {
      equation.Lines[i] = fromEquation.Lines[i];
      equation.Formats[i] = fromEquation.Formats[i];
    }
  }

  void HandTo(QVEquationList& toEquation, QVMOptions& toOptions) const {
    for (int i = 0; i < QVEquationList::kLineCount; ++i) {
      toEquation.Lines[i] = equation.Lines[i];
      toEquation.Formats[i] = equation.Formats[i];
    }
    toOptions = options;  // only holder values differ, and every holder is copied
  }
};

// The raw layout's fields straight from the file; running out of data
// throws CArchiveException::endOfFile.
class RawReader {
 public:
  explicit RawReader(CFile& file) : file_(file) {}

  int32_t Int() {
    BYTE bytes[4];
    Exact(bytes, sizeof bytes);
    return static_cast<int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                static_cast<uint32_t>(bytes[3]) << 24);
  }
  bool Flag() { return Int() != 0; }
  BYTE Byte() {
    BYTE byte;
    Exact(&byte, 1);
    return byte;
  }
  // A length byte and that many bytes; the text ends at its first NUL.
  CString Text() {
    char buffer[kRawTextBuffer] = {};
    const BYTE length = Byte();
    Exact(buffer, length);
    buffer[length] = 0;
    return CString(buffer);
  }

 private:
  void Exact(void* buffer, UINT count) {
    if (count > 0 && file_.Read(buffer, count) != count)
      AfxThrowArchiveException(CArchiveException::endOfFile, file_.GetFilePath());
  }
  CFile& file_;
};

// The options of the raw layout after the texts, in their stored order.
void ReadRawOptions(RawReader& raw, QVMOptions& o) {
  raw.Byte();
  for (QVOptionInt* option : {&o.LowerCase, &o.DisplayVect, &o.DoubleCaps, &o.TabWidth,
                              &o.VerticalSpacing})
    option->SetValue(raw.Int());  // out of range reads as the midpoint
  for (QVOptionBool* option : {&o.RaiseDecimal, &o.FunctionsItalic, &o.FunctionsBold,
                               &o.VariablesItalic, &o.VariablesBold, &o.GreekItalic, &o.GreekBold})
    option->Value = raw.Flag();
  for (QVOptionBool& letter : o.Letters) letter.Value = raw.Flag();
  raw.Text();  // font name
  raw.Int();   // font size
  o.MultiplyStyle.SetValue(raw.Flag() ? 1 : 0);
  raw.Int();
  raw.Int();  // font colour
}

// The raw layout may end anywhere: what was read before the end stays.
void LoadRawForm(CArchive& archive, StagedContents& staged) {
  archive.Flush();
  CFile& file = *archive.GetFile();
  file.SeekToBegin();
  RawReader raw(file);
  try {
    for (int i = 0; i < kRawTextCount; ++i) {
      const CString text = raw.Text();
      if (i < QVEquationList::kLineCount) staged.equation.Lines[i] = text;
    }
    ReadRawOptions(raw, staged.options);
  } catch (const CArchiveException&) {
  }
}

void LoadCurrentForm(CArchive& archive, StagedContents& staged) {
  int16_t version = 0;
  archive >> version;
  if (version < 1) return;
  staged.equation.Serialize(archive);
  staged.options.Serialize(archive);
  CString closing;
  archive >> closing;
}

void LoadOlderForm(CArchive& archive, StagedContents& staged) {
  int16_t version = 0;
  archive >> version;
  if (version < 1) return;
  for (CString& line : staged.equation.Lines) archive >> line;
  staged.options.Serialize(archive);
  CString closing;
  archive >> closing;
}

// The first string of the archive; false when the first bytes make none
// (too short, or a length beyond the data), as in a raw file whose first
// text is 255 bytes long.
bool ReadFirstMarker(CArchive& archive, CString& marker) {
  try {
    archive >> marker;
    return true;
  } catch (const CArchiveException&) {
    return false;
  }
}

bool IsOlderMarker(const CString& marker) {
  for (const char* older : kOlderMarkers)
    if (marker == older) return true;
  return false;
}

}  // namespace

void StoreDocumentArchive(CArchive& archive, QVEquationList& equation, QVMOptions& options) {
  archive << CString(kMarker) << kArchiveVersion;
  equation.Serialize(archive);
  options.Serialize(archive);
  archive << CString(kClosingMarker);
}

void LoadDocumentArchive(CArchive& archive, QVEquationList& equation, QVMOptions& options) {
  StagedContents staged(equation, options);
  CString marker;
  const bool hasMarker = ReadFirstMarker(archive, marker);
  if (hasMarker && marker == kMarker)
    LoadCurrentForm(archive, staged);
  else if (hasMarker && IsOlderMarker(marker))
    LoadOlderForm(archive, staged);
  else
    LoadRawForm(archive, staged);
  staged.HandTo(equation, options);
}
