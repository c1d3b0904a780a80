// A test container for ovelin.exe itself: the program registered as a
// server, reached across processes through COM's proxies and ole32's
// default handler, with its settings in a temporary application-data folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/document/DocumentArchive.h"
#include "app/document/LoweringHint.h"
#include "app/document/ServerIds.h"
#include "framework/Archive.h"
#include "framework/File.h"
#include "options/IniFile.h"
#include "resources/resource.h"
#include "tests/ole/OleTestSinks.h"
#include "tests/ole/OleTestSupport.h"
#include "tests/portable/TempFolder.h"

namespace {

const char kProgram[] = "ovelin.exe";
const char kEquation[] = "x=(-b+-sqrt(b^2-4ac))/(2a)";

// The document archive of an equation, as the program stores it.
std::string EquationArchive(const char* text) {
  QVEquationList equation;
  QVMOptions options(0);
  equation.SetText(text, options);
  CMemFile file;
  {
    CArchive archive(&file, CArchive::store);
    StoreDocumentArchive(archive, equation, options);
  }
  return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetLength());
}

// Both classes and their shared ProgID, in both class views.
std::set<std::string> ServerSnapshot() {
  std::set<std::string> lines = ClassesSnapshot(kEquationClassId, kEquationProgId);
  DumpRegistry(HKEY_CLASSES_ROOT, "CLSID\\" + GuidText(kQvpClassId), lines);
  return lines;
}

std::string UserClassValue(const std::string& key) {
  char buffer[512] = {};
  DWORD size = sizeof buffer - 1;
  if (RegGetValueA(HKEY_CURRENT_USER, ("Software\\Classes\\" + key).c_str(), nullptr,
                   RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
    return "<none>";
  return buffer;
}

// The program and the servers COM starts for it see this folder as the
// per-user application data.
class ProgramAppData {
 public:
  ProgramAppData() {
    if (const char* saved = std::getenv("APPDATA")) saved_ = saved;
    SetEnvironmentVariableA("APPDATA", folder_.Path().string().c_str());
  }
  ~ProgramAppData() { SetEnvironmentVariableA("APPDATA", saved_.empty() ? nullptr : saved_.c_str()); }
  ProgramAppData(const ProgramAppData&) = delete;
  ProgramAppData& operator=(const ProgramAppData&) = delete;

  // A value of the program's "QVM4ADJ" settings, or -1.
  int Adjustment(const char* section, const char* key) const {
    QVIniFile store;
    const std::string path = (folder_.Path() / "Marvolk" / "QVM4ADJ.ini").string();
    store.AssignPath(path.c_str());
    if (!store.LoadFromDisk()) return -1;
    return store.ReadInt(section, key);
  }

 private:
  TempFolder folder_;
  std::string saved_;
};

// A picture whose height was padded so that the part below the baseline is
// a whole number of points, with `amount` thousandths below the baseline.
bool IsPointPadded(const PictureInfo& picture, int amount) {
  for (int32_t depth = 0; depth <= picture.yExt; ++depth) {
    const int32_t pad = PointRoundingPad(depth);
    if (depth + pad <= picture.yExt &&
        LoweringAmount(depth, pad, picture.yExt - pad) == amount)
      return true;
  }
  return false;
}

// The child window with control id `id` anywhere below `parent`.
HWND FindDescendant(HWND parent, int id) {
  struct Search {
    int id;
    HWND found = nullptr;
  } search{id};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (GetDlgCtrlID(child) != s->id) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Runs first: registering and unregistering leave nothing of ours behind.
TEST(ProgramRegistration, RegisterWritesALocalServerAndUnregisterRemovesEveryKey) {
  ProgramAppData appData;
  const auto before = ServerSnapshot();
  ASSERT_EQ(0, RunBeside(kProgram, "/Register"));
  const auto registered = ServerSnapshot();
  const std::string key = "CLSID\\" + GuidText(kEquationClassId);
  EXPECT_EQ("\"" + PathBeside(kProgram) + "\" /Embedding", UserClassValue(key + "\\LocalServer32"));
  EXPECT_EQ("Ovelin 4 Equation", UserClassValue(key));
  EXPECT_EQ(kEquationProgId, UserClassValue(key + "\\ProgID"));
  EXPECT_EQ(GuidText(kEquationClassId), UserClassValue(std::string(kEquationProgId) + "\\CLSID"));
  EXPECT_NE("<none>", UserClassValue("CLSID\\" + GuidText(kQvpClassId) + "\\LocalServer32"));
  const DWORD misc = std::stoul(UserClassValue(key + "\\MiscStatus"));
  EXPECT_EQ(0u, misc & (OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE));
  CLSID found{};
  ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"QVM300.Equation", &found));
  EXPECT_TRUE(IsEqualCLSID(kEquationClassId, found));

  ASSERT_EQ(0, RunBeside(kProgram, "/Unregister"));
  const auto after = ServerSnapshot();
  for (const std::string& line : registered)
    EXPECT_TRUE(before.count(line) || !after.count(line)) << line;
  for (const std::string& line : after) EXPECT_EQ(1u, before.count(line)) << line;
  EXPECT_EQ("<none>", UserClassValue(key));
  EXPECT_EQ("<none>", UserClassValue(std::string(kEquationProgId) + "\\CLSID"));
}

class ProgramContainerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(0, RunBeside(kProgram, "/Register")); }
  static void TearDownTestSuite() { EXPECT_EQ(0, RunBeside(kProgram, "/Unregister")); }
  void TearDown() override { EXPECT_TRUE(WaitForNoProcess(kProgram, 15000)); }

  ProgramAppData appData_;
  ComApartment apartment_;
};

TEST_F(ProgramContainerTest, LoadDrawMeasureAndSaveAnEquation) {
  ComPtr<IPersistStorage> persist;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(kEquationClassId, nullptr, CLSCTX_LOCAL_SERVER,
                                            IID_IPersistStorage, persist.OutVoid()));
  EXPECT_EQ(1, appData_.Adjustment("Control", "Running"));
  const std::string archive = EquationArchive(kEquation);
  ComPtr<IStorage> given = MakeMemoryStorage();
  WriteContents(given.get(), archive);
  ASSERT_HRESULT_SUCCEEDED(persist->Load(given.get()));

  ComPtr<IDataObject> data;
  ASSERT_HRESULT_SUCCEEDED(persist->QueryInterface(IID_IDataObject, data.OutVoid()));
  const PictureInfo picture = GetPicture(data.get());
  EXPECT_EQ(MM_ANISOTROPIC, picture.mm);
  EXPECT_GT(picture.xExt, 0);
  EXPECT_GT(picture.yExt, 0);
  const int amount = appData_.Adjustment("Lowering Hint", "Amount");
  EXPECT_GT(amount, 0);  // a fraction reaches below the baseline
  EXPECT_TRUE(IsPointPadded(picture, amount)) << picture.yExt << " " << amount;

  ComPtr<IOleObject> object;
  ASSERT_HRESULT_SUCCEEDED(persist->QueryInterface(IID_IOleObject, object.OutVoid()));
  SIZEL size{-1, -1};
  ASSERT_HRESULT_SUCCEEDED(object->GetExtent(DVASPECT_CONTENT, &size));
  EXPECT_GT(size.cx, 0);
  EXPECT_GT(size.cy, 0);
  // The picture and the extent measure the same equation (on different
  // contexts): the padding adds less than one point.
  EXPECT_NEAR(picture.xExt, size.cx, 2 + size.cx / 20);
  EXPECT_NEAR(picture.yExt, size.cy + 18, 20 + size.cy / 20);
  ExpectInPlaceRefusedAtOnce(object.get());

  const std::string stored = SavedContents(persist.get());
  EXPECT_EQ(std::string("\x03QVM"), stored.substr(0, 4));
  EXPECT_EQ(archive, stored);
}

// Through the default handler: create, show in the program's window, change
// the document there, and the program's Update and Return saves into the
// container, sends the new picture and ends.
TEST_F(ProgramContainerTest, ShowThenUpdateAndReturnSavesIntoTheContainer) {
  TestClientSite site;
  TestAdviseSink objectSink, dataSink;
  site.storage = MakeMemoryStorage();
  ComPtr<IOleObject> object;
  FORMATETC format = PictureFormat();
  ASSERT_HRESULT_SUCCEEDED(OleCreate(kEquationClassId, IID_IOleObject, OLERENDER_FORMAT, &format,
                                     &site, site.storage.get(), object.OutVoid()));
  ASSERT_HRESULT_SUCCEEDED(object->QueryInterface(IID_IPersistStorage, site.object.OutVoid()));
  ASSERT_HRESULT_SUCCEEDED(OleRun(object.get()));
  AdviseConnections watch(object.get(), &objectSink, &dataSink);

  ASSERT_HRESULT_SUCCEEDED(object->DoVerb(OLEIVERB_SHOW, nullptr, &site, 0, nullptr, nullptr));
  EXPECT_TRUE(PumpUntil([&] { return site.shownWindow == TRUE; }, 5000));
  HWND server = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (server = FindOtherProcessWindow("Ovelin 4")); }, 5000));
  // The user types the equation into the program's text box.
  HWND edit = FindDescendant(server, IDC_EQUATION_EDIT);
  ASSERT_NE(edit, nullptr);
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(SendMessageTimeoutA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kEquation),
                                  SMTO_NORMAL, 5000, &ignored));
  PostMessageA(server, WM_COMMAND, ID_UPDATE_AND_RETURN, 0);
  EXPECT_TRUE(PumpUntil([&] { return objectSink.closes > 0; }, 15000));
  // A container keeps serving its messages: the server's goodbye waits for it.
  EXPECT_TRUE(PumpUntil([] { return WaitForNoProcess(kProgram, 0); }, 15000));

  EXPECT_EQ(1, site.savesAsked);
  const std::string stored = ReadContents(site.storage.get());
  EXPECT_EQ(std::string("\x03QVM"), stored.substr(0, 4));
  EXPECT_NE(std::string::npos, stored.find(kEquation));
  EXPECT_GE(objectSink.saves, 1);
  EXPECT_GE(dataSink.dataChanges, 1);
  EXPECT_EQ(MM_ANISOTROPIC, dataSink.lastPicture.mm);
  EXPECT_EQ(0, appData_.Adjustment("Control", "Running"));
  EXPECT_GT(appData_.Adjustment("Lowering Hint", "Amount"), 0);

  // The container draws its cached picture into a rectangle of its own,
  // in the picture's proportions: the equation lands inside and fills it.
  constexpr int kLeft = 50, kTop = 50, kWidth = 300;
  const LONG height = kWidth * dataSink.lastPicture.yExt / std::max<LONG>(dataSink.lastPicture.xExt, 1);
  Canvas canvas(400, 400);
  const RECT bounds{kLeft, kTop, kLeft + kWidth, kTop + height};
  const RECTL boundsL{bounds.left, bounds.top, bounds.right, bounds.bottom};
  ASSERT_HRESULT_SUCCEEDED(OleDraw(object.get(), DVASPECT_CONTENT, canvas.dc(),
                                   reinterpret_cast<const RECT*>(&boundsL)));
  ExpectInkFills(canvas, bounds);

  object->Close(OLECLOSE_NOSAVE);
  object->SetClientSite(nullptr);
  site.object.Reset();
}

}  // namespace
