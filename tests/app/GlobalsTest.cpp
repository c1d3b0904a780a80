// The program's globals are all built before the first test runs (that is,
// before the program's entry point), with the values their users rely on.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/DialogEx.h"
#include "app/MakerAddresses.h"
#include "app/keyboard/ScreenKeyboard.h"
#include "controls/Label.h"
#include "framework/Object.h"
#include "options/PreferenceStore.h"

namespace {

TEST(ProgramGlobals, AreBuiltBeforeTheProgramStarts) {
  EXPECT_EQ(theLocalization.FolderName, "Marvolk");
  EXPECT_EQ(theLocalization.LanguageName, "English");

  EXPECT_GE(WMU_RESIZESUPPORT, 0xC000u);
  EXPECT_EQ(WMU_RESIZESUPPORT, ::RegisterWindowMessageA("WMU_RESIZESUPPORT"));

  EXPECT_EQ(NewsletterPageUrl, "http://www.marvolk.com/newsletter.php");
  EXPECT_EQ(TutorialsPageUrl, "http://www.marvolk.com/emailtutes.php");
  EXPECT_EQ(NewsletterMiniPageUrl, "http://www.marvolk.com/newslettermini.php");
  EXPECT_EQ(TutorialsMiniPageUrl, "http://www.marvolk.com/emailtutesmini.php");
  EXPECT_EQ(VersionsScriptUrl, "http://www.marvolk.com/QVVersions.php");

  const char* names[] = {"Brelin", "Ovelin",  "Feldric", "Dusset", "Corvane", "Galvoy",
                         "Harrowen", "Kestmor", "Istraby", "Jorrel", "Beta"};
  for (int id = 0; id < kProductNameCount; ++id) EXPECT_EQ(ProductNames[id], names[id]) << id;
  EXPECT_EQ(ProductNames[kThisProductId], "Ovelin");

  EXPECT_EQ(theScreenKeyboard.GetSafeHwnd(), nullptr);
  EXPECT_EQ(thePreferenceStore.Entries.GetCount(), 0);

  // The helper loaded USER32 when it was built, so it reaches the system.
  HWND layered = ::CreateWindowExA(WS_EX_LAYERED, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, nullptr, nullptr);
  ASSERT_NE(layered, nullptr);
  EXPECT_TRUE(theLayeredWindowHelper.SetLayeredWindowAttributes(layered, 0, 128, LWA_ALPHA));
  BYTE alpha = 0;
  EXPECT_TRUE(::GetLayeredWindowAttributes(layered, nullptr, &alpha, nullptr));
  EXPECT_EQ(alpha, 128);
  ::DestroyWindow(layered);
}

// An archive can make each stored class by its name, with its schema.
TEST(ProgramGlobals, SerialisableClassesAreRegisteredWithTheirSchemas) {
  const struct {
    const char* name;
    UINT schema;
  } classes[] = {{"QVConstantRange", 0},   {"QVConstantRanges", 0},   {"QVVariableSubstitutions", 1},
                 {"QVEquationList", 0},    {"QVOptionQVLogPen", 1},   {"QVOptionQVLogBrush", 1},
                 {"QVOptionQVLogFont", 1}, {"QVLogPen", 1},           {"QVLogBrush", 1},
                 {"QVLogFont", 1},         {"QVPoint", 1},            {"QV3Point", 1},
                 {"QV3Vector", 1},         {"QVVector", 1}};
  for (const auto& entry : classes) {
    const CRuntimeClass* record = CRuntimeClass::FromName(entry.name);
    ASSERT_NE(record, nullptr) << entry.name;
    EXPECT_EQ(record->m_wSchema, entry.schema) << entry.name;
    CObject* made = record->CreateObject();
    ASSERT_NE(made, nullptr) << entry.name;
    EXPECT_EQ(made->GetRuntimeClass(), record) << entry.name;
    delete made;
  }
}

}  // namespace
