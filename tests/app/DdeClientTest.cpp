// The shell's way of opening a document in a running ovelin.exe: a DDEML
// client connects to service "ovelin", topic "system", and executes
// [open("path")]; the program opens the file in a document window.
#include <windows.h>

#include <ddeml.h>

#include <string>

#include "tests/app/AppFixture.h"
#include "tests/app/RunningProgram.h"

namespace {

HDDEDATA CALLBACK IgnoreCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

// A DDEML client instance, uninitialised with the object.
class DdemlClient {
 public:
  DdemlClient() {
    ok_ = ::DdeInitializeA(&instance_, IgnoreCallback, APPCMD_CLIENTONLY, 0) == DMLERR_NO_ERROR;
  }
  ~DdemlClient() {
    if (conversation_) ::DdeDisconnect(conversation_);
    if (ok_) ::DdeUninitialize(instance_);
  }
  bool Connect(const char* service, const char* topic) {
    HSZ serviceName = ::DdeCreateStringHandleA(instance_, service, CP_WINANSI);
    HSZ topicName = ::DdeCreateStringHandleA(instance_, topic, CP_WINANSI);
    conversation_ = ::DdeConnect(instance_, serviceName, topicName, nullptr);
    ::DdeFreeStringHandle(instance_, serviceName);
    ::DdeFreeStringHandle(instance_, topicName);
    return conversation_ != nullptr;
  }
  // True when the server acknowledged the command positively.
  bool Execute(const std::string& command) {
    auto* bytes = reinterpret_cast<BYTE*>(const_cast<char*>(command.c_str()));
    HDDEDATA result = ::DdeClientTransaction(bytes, static_cast<DWORD>(command.size() + 1),
                                             conversation_, nullptr, CF_TEXT, XTYP_EXECUTE,
                                             10000, nullptr);
    return result != nullptr;
  }
  bool Ready() const { return ok_; }

 private:
  DWORD instance_ = 0;
  bool ok_ = false;
  HCONV conversation_ = nullptr;
};

using DdeClient = AppTest;

TEST_F(DdeClient, OpenCommandOpensADocumentInTheRunningProgram) {
  const std::string path = SaveEquationFile("sent.qvm", "a^2+b^2=c^2");
  ASSERT_FALSE(path.empty());

  RunningProgram program(appData.Path().string(), "");
  ASSERT_TRUE(program.Started());
  WindowSearch search = program.WaitForDocumentWindow();
  ASSERT_NE(search.main, nullptr);
  {
    DdemlClient client;
    ASSERT_TRUE(client.Ready());
    ASSERT_TRUE(client.Connect("ovelin", "system"));
    EXPECT_TRUE(client.Execute("[open(\"" + path + "\")]"));
  }
  const DWORD start = ::GetTickCount();
  while (DocumentWindowTitles(search.main).find("sent.qvm") == std::string::npos &&
         ::GetTickCount() - start < 10000)
    ::Sleep(50);
  EXPECT_EQ(DocumentWindowTitles(search.main), "sent.qvm|Ovelin41");
  EXPECT_EQ(program.CloseAndWait(search.main), 0);
}

}  // namespace
