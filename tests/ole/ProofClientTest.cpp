// COM across processes under Wine, without the class library: a client
// creates the bare proof server's object as a local server and calls
// IDataObject and IPersistStorage through ole32's standard proxies.
#include <gtest/gtest.h>

#include "tests/ole/OleTestSupport.h"
#include "tests/ole/ProofIds.h"

namespace {

class ProofServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(0, RunBeside("ProofServer.exe", "/Register")); }
  static void TearDownTestSuite() { EXPECT_EQ(0, RunBeside("ProofServer.exe", "/Unregister")); }
  ComApartment apartment_;
};

TEST_F(ProofServerTest, MetafilePictureCrossesTheProcessBoundary) {
  ComPtr<IDataObject> data;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(kProofClassId, nullptr, CLSCTX_LOCAL_SERVER,
                                            IID_IDataObject, data.OutVoid()));
  ExpectPicture(GetPicture(data.get()), kProofWidth, kProofHeight);
}

TEST_F(ProofServerTest, StorageRoundTripsThroughTheServer) {
  ComPtr<IPersistStorage> persist;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(kProofClassId, nullptr, CLSCTX_LOCAL_SERVER,
                                            IID_IPersistStorage, persist.OutVoid()));
  ComPtr<IStorage> given = MakeMemoryStorage();
  WriteContents(given.get(), "abc");
  ASSERT_HRESULT_SUCCEEDED(persist->Load(given.get()));
  ComPtr<IStorage> saved = MakeMemoryStorage();
  ASSERT_HRESULT_SUCCEEDED(persist->Save(saved.get(), FALSE));
  ASSERT_HRESULT_SUCCEEDED(persist->SaveCompleted(nullptr));
  EXPECT_EQ("saved:abc", ReadContents(saved.get()));
  CLSID id{};
  ASSERT_HRESULT_SUCCEEDED(persist->GetClassID(&id));
  EXPECT_TRUE(IsEqualCLSID(kProofClassId, id));
}

TEST_F(ProofServerTest, ServerEndsWhenItsObjectIsReleased) {
  ComPtr<IPersistStorage> persist;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(kProofClassId, nullptr, CLSCTX_LOCAL_SERVER,
                                            IID_IPersistStorage, persist.OutVoid()));
  persist.Reset();
  EXPECT_TRUE(WaitForNoProcess("ProofServer.exe", 10000));
}

TEST(ProofServerRegistration, UnregisterRemovesTheKeys) {
  ASSERT_EQ(0, RunBeside("ProofServer.exe", "/Register"));
  const std::string key = "Software\\Classes\\CLSID\\" + GuidText(kProofClassId);
  EXPECT_TRUE(UserKeyExists(key + "\\LocalServer32"));
  ASSERT_EQ(0, RunBeside("ProofServer.exe", "/Unregister"));
  EXPECT_FALSE(UserKeyExists(key));
  HKEY merged = nullptr;
  EXPECT_NE(ERROR_SUCCESS,
            RegOpenKeyExA(HKEY_CLASSES_ROOT, ("CLSID\\" + GuidText(kProofClassId)).c_str(), 0,
                          KEY_READ, &merged));
}

}  // namespace
