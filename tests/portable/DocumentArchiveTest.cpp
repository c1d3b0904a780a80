// The document's archive forms: the stored layout byte for byte, round
// trips, the older forms and the raw layout built by hand, and damaged
// archives that must fail without touching the document.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <type_traits>

#include "app/document/DocumentArchive.h"
#include "framework/Exceptions.h"
#include "options/OptionTable.h"
#include "tests/portable/DocumentArchiveBytes.h"
#include "tests/portable/SerializeBytes.h"

namespace {

using namespace archive_bytes;

// What the document stores: its equation list and its options.
struct DocumentParts {
  QVEquationList equation;
  QVMOptions options;

  void Serialize(CArchive& archive) {
    if (archive.IsStoring())
      StoreDocumentArchive(archive, equation, options);
    else
      LoadDocumentArchive(archive, equation, options);
  }
};

// Gives every stored option a value of its own, away from its default.
void SetEveryOption(QVMOptions& options) {
  int n = 0;
  for (const HolderRef& ref : IniOrder()) {
    ++n;
    ForEachHolder(
        ref,
        [n](auto& holder) {
          using Value = std::remove_reference_t<decltype(holder.Value)>;
          if constexpr (std::is_same_v<Value, bool>) {
            holder.Value = !holder.Default;
          } else if constexpr (std::is_same_v<Value, CString>) {
            holder.Value.Format("text %d", n);
          } else if constexpr (std::is_same_v<Value, QVLogPen>) {
            holder.Value.Mode = n;
            holder.Value.Color = 0x010203 * n;
            holder.Value.Width = n + 1.0 / 3.0;
          } else if constexpr (std::is_same_v<Value, QVLogFont>) {
            holder.Value.SetFaceName("Courier New");
            holder.Value.LogFont.lfWeight = 700;
            holder.Value.Size = 1000 + n;
            holder.Value.Color = 0x0000FF;
          } else if constexpr (std::is_same_v<Value, double>) {
            holder.Value = n + 0.1 + 0.2;
          } else {
            holder.Value = static_cast<Value>(holder.Default + 1000 + n);
          }
        },
        options);
  }
}

// A document with texts, line formats and options other than the defaults.
void FillDocument(DocumentParts& doc) {
  doc.equation.Lines[0] = "x=(-b+-sqrt(b^2-4ac))/(2a)";
  doc.equation.Lines[2] = std::string(300, 'y').c_str();  // a 16-bit length
  doc.equation.Lines[19] = "last\r\nline";
  doc.equation.Formats[0].Bold = true;
  doc.equation.Formats[2].Italic = true;
  doc.equation.Formats[5].Underline = true;
  doc.equation.Formats[19].UseColour = true;
  doc.equation.Formats[19].Colour = 0x00FF00;
  SetEveryOption(doc.options);
}

void ExpectSameDocument(DocumentParts& a, DocumentParts& b) {
  for (int i = 0; i < QVEquationList::kLineCount; ++i) {
    EXPECT_EQ(a.equation.Lines[i], b.equation.Lines[i]) << "line " << i;
    const LineFormat& fa = a.equation.Formats[i];
    const LineFormat& fb = b.equation.Formats[i];
    EXPECT_EQ(fa.Bold, fb.Bold) << i;
    EXPECT_EQ(fa.Italic, fb.Italic) << i;
    EXPECT_EQ(fa.Underline, fb.Underline) << i;
    EXPECT_EQ(fa.UseColour, fb.UseColour) << i;
    EXPECT_EQ(fa.Colour, fb.Colour) << i;
  }
  EXPECT_EQ(StoreBytes(a.options), StoreBytes(b.options));
}

std::string Fixture(const char* name);

}  // namespace

TEST(DocumentArchive, DefaultDocumentHasTheLayoutBytes) {
  DocumentParts doc;
  const std::string bytes = StoreBytes(doc);
  EXPECT_EQ(bytes.size(), 6u + 182u + 407u + 6u);
  EXPECT_EQ(bytes, CurrentForm());
  EXPECT_EQ(bytes.substr(bytes.size() - 6), "\x05/QVM/");
}

TEST(DocumentArchive, FilledDocumentRoundTripsTextsFormatsAndEveryOption) {
  DocumentParts doc;
  FillDocument(doc);
  const std::string bytes = StoreBytes(doc);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x03QVM\x01\x00\x01\x00", 8));
  EXPECT_EQ(bytes.substr(8, 35), LineRecord("x=(-b+-sqrt(b^2-4ac))/(2a)", true));

  EXPECT_NE(StoreBytes(doc.options), DefaultArchive());
  DocumentParts back;
  EXPECT_EQ(LoadBytes(back, bytes), 0u);
  ExpectSameDocument(back, doc);
  int compared = 0;
  for (const HolderRef& ref : IniOrder())
    ForEachHolder(
        ref,
        [&compared](auto& loaded, auto& stored) {
          ++compared;
          EXPECT_EQ(StoreBytes(loaded), StoreBytes(stored)) << loaded.Key.GetString();
        },
        back.options, doc.options);
  EXPECT_EQ(compared, 91);
}

TEST(DocumentArchive, VersionZeroLoadsNothingBeyondTheMarker) {
  for (const char* marker : {"QVM", "QVM3DOC", "qvp3DOC"}) {
    DocumentParts doc;
    const std::string bytes = S(marker) + Le16(0) + CurrentForm();
    EXPECT_EQ(LoadBytes(doc, bytes), bytes.size() - S(marker).size() - 2) << marker;
    DocumentParts fresh;
    ExpectSameDocument(doc, fresh);
  }
}

TEST(DocumentArchive, OlderFormsReadTwentyTextsAndTheOptions) {
  const std::string options = Header(1) + Groups1To4() + Closing();
  for (const char* marker : {"QVM3DOC", "qvp3DOC"}) {
    DocumentParts doc;
    doc.equation.Formats[1].Bold = true;
    doc.options.LowerCase.Value = 7;
    doc.options.BoxGap.Value = 11;  // not in a version-1 option set
    std::vector<std::string> texts(20, "");
    texts[0] = "a+b";
    texts[1] = std::string(254, 'z');
    texts[19] = "t";
    const std::string bytes = OlderForm(marker, texts, options);
    EXPECT_EQ(LoadBytes(doc, bytes), 0u) << marker;
    EXPECT_EQ(doc.equation.Lines[0], "a+b");
    EXPECT_EQ(doc.equation.Lines[1].GetLength(), 254);
    EXPECT_EQ(doc.equation.Lines[19], "t");
    EXPECT_TRUE(doc.equation.Formats[1].Bold);  // the older form has no formats
    EXPECT_EQ(doc.options.LowerCase.Value, 1);
    EXPECT_EQ(doc.options.BoxGap.Value, 11);
  }
}

TEST(DocumentArchive, RawLayoutIsReadFieldByField) {
  RawOptions o;
  o.lowerCase = 2;
  o.displayVect = 1;
  o.doubleCaps = 0;
  o.tabWidth = 100000;  // outside [-32768, 32767]: the midpoint 0
  o.verticalSpacing = 250;
  o.sixFlags[0] = 7;  // RaiseDecimal: any non-zero value is true
  o.sixFlags[5] = 1;  // GreekItalic
  o.greekAndLetters[0] = 1;   // GreekBold
  o.greekAndLetters[1] = -1;  // LettersA
  o.greekAndLetters[26] = 1;  // LettersZ
  o.multiply = 5;
  std::vector<std::string> texts = {std::string(200, 'w'), "", std::string("cut\0here", 8)};
  texts.resize(21, "");
  texts[19] = "twenty";
  texts[20] = "dropped";
  DocumentParts doc;
  doc.options.DetectColumnVectors.Value = true;
  doc.equation.Formats[0].Italic = true;
  LoadBytes(doc, RawTexts(texts) + RawFields(o));
  EXPECT_EQ(doc.equation.Lines[0], std::string(200, 'w').c_str());  // the length is unsigned
  EXPECT_EQ(doc.equation.Lines[2], "cut");  // a text ends at its first NUL
  EXPECT_EQ(doc.equation.Lines[19], "twenty");
  EXPECT_TRUE(doc.equation.Formats[0].Italic);
  EXPECT_EQ(doc.options.LowerCase.Value, 2);
  EXPECT_EQ(doc.options.DisplayVect.Value, 1);
  EXPECT_EQ(doc.options.DoubleCaps.Value, 0);
  EXPECT_EQ(doc.options.TabWidth.Value, 0);
  EXPECT_EQ(doc.options.VerticalSpacing.Value, 250);
  EXPECT_TRUE(doc.options.RaiseDecimal.Value);
  EXPECT_FALSE(doc.options.FunctionsItalic.Value);
  EXPECT_TRUE(doc.options.GreekItalic.Value);
  EXPECT_TRUE(doc.options.GreekBold.Value);
  EXPECT_TRUE(doc.options.DetectColumnVectors.Value);  // not in the raw layout
  EXPECT_TRUE(doc.options.Letters[0].Value);
  EXPECT_FALSE(doc.options.Letters[8].Value);  // I: on by default
  EXPECT_TRUE(doc.options.Letters[25].Value);
  EXPECT_EQ(doc.options.MultiplyStyle.Value, 1);
}

TEST(DocumentArchive, RawFileCutShortAfterTheTextsKeepsTheConstructedOptions) {
  std::vector<std::string> texts = {"a", "b", "c"};
  const std::string full = RawTexts(texts) + RawFields(RawOptions{});
  for (size_t cut : {RawTexts(texts).size(), RawTexts(texts).size() + 3}) {
    DocumentParts doc;
    LoadBytes(doc, full.substr(0, cut));
    EXPECT_EQ(doc.equation.Lines[1], "b");
    EXPECT_EQ(StoreBytes(doc.options), DefaultArchive()) << cut;
  }
}

TEST(DocumentArchive, ForeignFirstBytesReadAsTheRawLayout) {
  // A first text of 255 bytes makes no archived string (0xFF announces a
  // longer length); it is still a raw file.
  DocumentParts doc;
  LoadBytes(doc, RawTexts({std::string(255, 'm'), "second"}));
  EXPECT_EQ(doc.equation.Lines[0].GetLength(), 255);
  EXPECT_EQ(doc.equation.Lines[1], "second");
  // The markers compare case-sensitively.
  DocumentParts lower;
  LoadBytes(lower, S("qvm") + Le16(1));
  EXPECT_EQ(lower.equation.Lines[0], "qvm");
  DocumentParts empty;
  EXPECT_EQ(LoadBytes(empty, ""), 0u);
  EXPECT_EQ(empty.equation.GetText(), QVEquationList().GetText());
}

TEST(DocumentArchive, DamagedArchiveThrowsAndLeavesTheDocumentAsItWas) {
  DocumentParts stored;
  FillDocument(stored);
  const std::string good = StoreBytes(stored);
  std::string hugeString = S("QVM") + Le16(1) + Le16(1) + "\xFF\xFF\xFF" + Le32(0xFFFFFFF0u);
  const std::string cases[] = {
      good.substr(0, good.size() - 1),        // no full closing marker
      good.substr(0, 100),                    // inside the list
      good.substr(0, good.size() - 30),       // inside the options
      hugeString,                             // a 4 GB text announced
      S("QVM") + Le16(1) + Le16(1) + "\xFF\xFE\xFF",  // a wide string
      OlderForm("QVM3DOC", {"a"}, DefaultArchive()).substr(0, 40),
  };
  for (const std::string& bytes : cases) {
    DocumentParts doc;
    FillDocument(doc);
    doc.equation.Lines[4] = "kept";
    EXPECT_THROW(LoadBytes(doc, bytes), CArchiveException) << bytes.size();
    EXPECT_EQ(doc.equation.Lines[4], "kept");
    EXPECT_EQ(doc.equation.Lines[2].GetLength(), 300);
    EXPECT_EQ(StoreBytes(doc.options), StoreBytes(stored.options));
  }
}

// Every fixture cut at every length and with bytes changed at random either
// loads or throws an archive exception, and a throw changes nothing.
TEST(DocumentArchiveRobustness, TruncatedAndFlippedFixturesLoadOrFailCleanly) {
  DocumentParts reference;
  FillDocument(reference);
  const std::string referenceBytes = StoreBytes(reference);
  std::mt19937 random(20240610);
  for (const char* name : {"default", "filled", "QVM3DOC", "qvp3DOC", "raw", "raw-short"}) {
    const std::string fixture = Fixture(name);
    std::vector<std::string> damaged;
    for (size_t length = 0; length < fixture.size(); ++length) damaged.push_back(fixture.substr(0, length));
    for (int round = 0; round < 300; ++round) {
      std::string flipped = fixture;
      for (int k = 0; k < 1 + round % 4; ++k)
        flipped[random() % flipped.size()] = static_cast<char>(random() & 0xFF);
      damaged.push_back(flipped);
    }
    int failed = 0;
    for (const std::string& bytes : damaged) {
      DocumentParts doc;
      FillDocument(doc);
      try {
        LoadBytes(doc, bytes);
      } catch (const CArchiveException&) {
        ++failed;
        ASSERT_EQ(StoreBytes(doc), referenceBytes) << name << " " << bytes.size();
      }
    }
    RecordProperty(name, failed);
  }
}

namespace {

std::string Fixture(const char* name) {
  const std::string which(name);
  if (which == "default") return CurrentForm();
  if (which == "filled") {
    DocumentParts doc;
    FillDocument(doc);
    return StoreBytes(doc);
  }
  if (which == "QVM3DOC" || which == "qvp3DOC") return OlderForm(which, {"a=b", "c"}, DefaultArchive());
  RawOptions o;
  o.tabWidth = -40000;
  const std::string raw = RawTexts({std::string(200, 'q'), "x^2"}) + RawFields(o);
  return which == "raw" ? raw : raw.substr(0, RawTexts({std::string(200, 'q'), "x^2"}).size());
}

}  // namespace
