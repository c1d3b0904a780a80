// A test container: the class library's server in another process (the
// test server program), reached through COM's proxies and through ole32's
// default handler as a real container reaches it.
#include <gtest/gtest.h>

#include <string>

#include "tests/ole/OleTestIds.h"
#include "tests/ole/OleTestSinks.h"
#include "tests/ole/OleTestSupport.h"

namespace {

const char kServer[] = "OleTestServer.exe";
const std::string kHelloArchive = std::string("\x07") + "OLETEST" + "\x05" + "hello";

// Runs first: registering and unregistering leave the registry as it was.
TEST(OleServerRegistration, UnregisterRemovesEveryKeyRegisterWrote) {
  const auto before = ClassesSnapshot(kOleTestClassId, kOleTestProgId);
  ASSERT_EQ(0, RunBeside(kServer, "/Register"));
  const auto registered = ClassesSnapshot(kOleTestClassId, kOleTestProgId);
  EXPECT_NE(before, registered);
  ASSERT_EQ(0, RunBeside(kServer, "/Unregister"));
  EXPECT_EQ(before, ClassesSnapshot(kOleTestClassId, kOleTestProgId));
}

class OleContainerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(0, RunBeside(kServer, "/Register")); }
  static void TearDownTestSuite() { EXPECT_EQ(0, RunBeside(kServer, "/Unregister")); }
  void TearDown() override { EXPECT_TRUE(WaitForNoProcess(kServer, 15000)); }
  ComApartment apartment_;
};

TEST_F(OleContainerTest, LoadDrawMeasureAndSaveAcrossProcesses) {
  ComPtr<IPersistStorage> persist;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(kOleTestClassId, nullptr, CLSCTX_LOCAL_SERVER,
                                            IID_IPersistStorage, persist.OutVoid()));
  ComPtr<IStorage> given = MakeMemoryStorage();
  WriteContents(given.get(), kHelloArchive);
  ASSERT_HRESULT_SUCCEEDED(persist->Load(given.get()));

  ComPtr<IDataObject> data;
  ASSERT_HRESULT_SUCCEEDED(persist->QueryInterface(IID_IDataObject, data.OutVoid()));
  ExpectPicture(GetPicture(data.get()), 3000, 1500);

  ComPtr<IOleObject> object;
  ASSERT_HRESULT_SUCCEEDED(persist->QueryInterface(IID_IOleObject, object.OutVoid()));
  SIZEL size{};
  ASSERT_HRESULT_SUCCEEDED(object->GetExtent(DVASPECT_CONTENT, &size));
  EXPECT_EQ(2000, size.cx);
  EXPECT_EQ(1000, size.cy);
  ExpectInPlaceRefusedAtOnce(object.get());

  EXPECT_EQ(kHelloArchive, SavedContents(persist.get()));
}

// Through the default handler: create, show in the server's window, and
// the server's Update and Return saves into the container and closes.
TEST_F(OleContainerTest, ShowThenUpdateAndReturnSavesIntoTheContainer) {
  TestClientSite site;
  TestAdviseSink objectSink, dataSink;
  site.storage = MakeMemoryStorage();
  ComPtr<IOleObject> object;
  ASSERT_HRESULT_SUCCEEDED(OleCreate(kOleTestClassId, IID_IOleObject, OLERENDER_DRAW, nullptr,
                                     &site, site.storage.get(), object.OutVoid()));
  ASSERT_HRESULT_SUCCEEDED(object->QueryInterface(IID_IPersistStorage, site.object.OutVoid()));
  ASSERT_HRESULT_SUCCEEDED(OleRun(object.get()));
  DWORD objectConnection = 0, dataConnection = 0;
  ASSERT_HRESULT_SUCCEEDED(object->Advise(&objectSink, &objectConnection));
  ComPtr<IDataObject> data;
  ASSERT_HRESULT_SUCCEEDED(object->QueryInterface(IID_IDataObject, data.OutVoid()));
  FORMATETC format = PictureFormat();
  ASSERT_HRESULT_SUCCEEDED(data->DAdvise(&format, 0, &dataSink, &dataConnection));

  ASSERT_HRESULT_SUCCEEDED(object->DoVerb(OLEIVERB_SHOW, nullptr, &site, 0, nullptr, nullptr));
  EXPECT_TRUE(PumpUntil([&] { return site.shownWindow == TRUE; }, 5000));
  HWND server = nullptr;
  ASSERT_TRUE(
      PumpUntil([&] { return (server = FindOtherProcessWindow("Ovelin OLE Test")); }, 5000));
  PostMessageA(server, WM_COMMAND, ID_OLETEST_CHANGE_AND_UPDATE, 0);
  EXPECT_TRUE(PumpUntil([&] { return objectSink.closes > 0; }, 15000));
  // A container keeps serving its messages: the server's goodbye waits for it.
  EXPECT_TRUE(PumpUntil([] { return WaitForNoProcess(kServer, 0); }, 15000));

  EXPECT_EQ(1, site.savesAsked);
  EXPECT_EQ(std::string("\x07") + "OLETEST" + "\x07" + "changed", ReadContents(site.storage.get()));
  EXPECT_GE(objectSink.saves, 1);
  EXPECT_GE(dataSink.dataChanges, 1);
  EXPECT_EQ(MM_ANISOTROPIC, dataSink.lastPicture.mm);
  EXPECT_EQ(3000, dataSink.lastPicture.xExt);

  data->DUnadvise(dataConnection);
  object->Unadvise(objectConnection);
  object->Close(OLECLOSE_NOSAVE);
  object->SetClientSite(nullptr);
  data.Reset();
  site.object.Reset();
  object.Reset();
}

}  // namespace
