// The template server's registration: what it writes for COM, that it
// never offers in-place activation, and that unregistering removes every
// key it wrote while keeping what others still use.
#include <gtest/gtest.h>

#include <string>

#include "framework/DocManager.h"
#include "framework/Ole.h"
#include "tests/ole/OleTestDoc.h"
#include "tests/ole/OleTestIds.h"
#include "tests/ole/OleTestSupport.h"

namespace {

// {0F3E2B71-5C8A-4D19-B6E4-7A2D9C1E4F03}
constexpr CLSID kSecondClassId = {
    0x0f3e2b71, 0x5c8a, 0x4d19, {0xb6, 0xe4, 0x7a, 0x2d, 0x9c, 0x1e, 0x4f, 0x03}};

const std::string kUserClasses = "Software\\Classes\\";

std::string Value(const std::string& key, const char* name = nullptr) {
  char buffer[512] = {};
  DWORD size = sizeof buffer - 1;
  if (RegGetValueA(HKEY_CURRENT_USER, (kUserClasses + key).c_str(), name, RRF_RT_REG_SZ, nullptr,
                   buffer, &size) != ERROR_SUCCESS)
    return "<none>";
  return buffer;
}

std::set<std::string> SubKeys(const std::string& key) {
  std::set<std::string> lines, names;
  DumpRegistry(HKEY_CURRENT_USER, kUserClasses + key, lines);
  const std::string prefix = kUserClasses + key + "\\";
  for (const std::string& line : lines)
    if (line.rfind(prefix, 0) == 0 && line.find_first_of("\\|", prefix.size()) == std::string::npos)
      names.insert(line.substr(prefix.size()));
  return names;
}

class OleRegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    docTemplate_ =
        new CMultiDocTemplate(IDR_OLETEST_DOC, RUNTIME_CLASS(OleTestDoc),
                              RUNTIME_CLASS(OleTestChildFrame), RUNTIME_CLASS(OleTestView));
    first_.ConnectTemplate(kOleTestClassId, docTemplate_, FALSE);
    second_.ConnectTemplate(kSecondClassId, docTemplate_, FALSE);
    before_ = Snapshot();
  }
  void TearDown() override {
    first_.UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, FALSE);
    second_.UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, FALSE);
    RegDeleteTreeA(HKEY_CURRENT_USER, (kUserClasses + kOleTestProgId).c_str());
    delete docTemplate_;
  }

  // The keys the servers could touch, in both class views.
  static std::set<std::string> Snapshot() {
    std::set<std::string> lines = ClassesSnapshot(kOleTestClassId, kOleTestProgId);
    DumpRegistry(HKEY_CLASSES_ROOT, "CLSID\\" + GuidText(kSecondClassId), lines);
    return lines;
  }

  ComApartment apartment_;
  CMultiDocTemplate* docTemplate_ = nullptr;
  COleTemplateServer first_, second_;
  std::set<std::string> before_;
};

TEST_F(OleRegistrationTest, RegistersALocalServerWithoutInPlaceBits) {
  ASSERT_TRUE(first_.UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, TRUE));
  const std::string key = "CLSID\\" + GuidText(kOleTestClassId);
  EXPECT_EQ("Ovelin OLE Test Document", Value(key));
  EXPECT_EQ("\"" + PathBeside("ole_tests.exe") + "\" /Embedding", Value(key + "\\LocalServer32"));
  EXPECT_EQ("ole32.dll", Value(key + "\\InprocHandler32"));
  EXPECT_EQ(kOleTestProgId, Value(key + "\\ProgID"));
  EXPECT_EQ(GuidText(kOleTestClassId), Value(std::string(kOleTestProgId) + "\\CLSID"));
  EXPECT_EQ("Ovelin OLE Test Document", Value(kOleTestProgId));
  EXPECT_EQ((std::set<std::string>{"0", "1"}), SubKeys(key + "\\Verb"));
  EXPECT_EQ(0u, SubKeys(key).count("InprocServer32"));
  const DWORD misc = std::stoul(Value(key + "\\MiscStatus"));
  EXPECT_EQ(0u, misc & (OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE));

  // COM itself finds the class, its verbs and its status.
  CLSID found{};
  ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"OvelinTest.OleDocument", &found));
  EXPECT_TRUE(IsEqualCLSID(kOleTestClassId, found));
  ComPtr<IEnumOLEVERB> verbs;
  ASSERT_HRESULT_SUCCEEDED(OleRegEnumVerbs(kOleTestClassId, verbs.Out()));
  OLEVERB verb[4]{};
  ULONG count = 0;
  verbs->Next(4, verb, &count);
  EXPECT_EQ(2u, count);
  for (ULONG i = 0; i < count; ++i) CoTaskMemFree(verb[i].lpszVerbName);
  DWORD status = 0;
  ASSERT_HRESULT_SUCCEEDED(OleRegGetMiscStatus(kOleTestClassId, DVASPECT_CONTENT, &status));
  EXPECT_EQ(misc, status);
}

TEST_F(OleRegistrationTest, UnregisterRemovesEveryKeyRegisterWrote) {
  ASSERT_TRUE(first_.UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, TRUE));
  EXPECT_NE(before_, Snapshot());
  ASSERT_TRUE(first_.UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, FALSE));
  EXPECT_EQ(before_, Snapshot());
}

// Two classes under one ProgID (the program's two templates): any order of
// unregistering leaves nothing behind.
TEST_F(OleRegistrationTest, TwoClassesSharingAProgIdUnregisterInAnyOrder) {
  for (bool firstGoesFirst : {true, false}) {
    SCOPED_TRACE(firstGoesFirst);
    ASSERT_TRUE(first_.UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, TRUE));
    ASSERT_TRUE(second_.UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, TRUE));
    COleTemplateServer& a = firstGoesFirst ? first_ : second_;
    COleTemplateServer& b = firstGoesFirst ? second_ : first_;
    a.UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, FALSE);
    b.UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, FALSE);
    EXPECT_EQ(before_, Snapshot());
  }
}

// The shell's file type shares the ProgID: it stays, the class goes.
TEST_F(OleRegistrationTest, UnregisterKeepsTheShellFileType) {
  const std::string command = kUserClasses + kOleTestProgId + "\\shell\\open\\command";
  ASSERT_EQ(ERROR_SUCCESS,
            RegSetKeyValueA(HKEY_CURRENT_USER, command.c_str(), nullptr, REG_SZ, "x.exe", 6));
  ASSERT_TRUE(first_.UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, TRUE));
  ASSERT_TRUE(first_.UpdateRegistry(OAT_INPLACE_SERVER, nullptr, nullptr, FALSE));
  EXPECT_EQ("x.exe", Value(std::string(kOleTestProgId) + "\\shell\\open\\command"));
  EXPECT_EQ("<none>", Value(std::string(kOleTestProgId) + "\\CLSID"));
  EXPECT_FALSE(UserKeyExists(kUserClasses + "CLSID\\" + GuidText(kOleTestClassId)));
}

}  // namespace
