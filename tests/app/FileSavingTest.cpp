// Saving settings files and documents: two programs saving one file at
// once (read back from the Linux side by Python), and a save cut short by a
// killed program.
#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "tests/app/AppFixture.h"
#include "tests/app/FileSavingSupport.h"

namespace {

// Reads the settings file over and over until told to stop; every reading
// must be one whole save (the keys k0 to k99 with one value) of one of the
// savers or of the test. The verdict goes into a file: "ok" and the number
// of readings, or the first reading that was not whole.
constexpr const char kReaderScript[] = R"(import os, re, sys, time
path, stopfile, report = sys.argv[1:4]
def whole(v): return b'[Loop]\r\n' + b''.join(b'k%d=%s\r\n' % (k, v) for k in range(100)) + b'\r\n'
def verdict(text):
    open(report + '.part', 'wb').write(text)
    os.replace(report + '.part', report)
    sys.exit(0)
reads, deadline = 0, time.time() + 300
while not os.path.exists(stopfile) and time.time() < deadline:
    data = open(path, 'rb').read()
    first = re.match(rb'\[Loop\]\r\nk0=([A-Z]-\d+)\r\n', data)
    if not first or data != whole(first.group(1)): verdict(b'not whole: ' + data)
    reads += 1
verdict(b'ok %d' % reads)
)";

std::string WholeSave(const std::string& value) {
  std::string text = "[Loop]\r\n";
  for (int key = 0; key < 100; ++key) text += "k" + std::to_string(key) + "=" + value + "\r\n";
  return text + "\r\n";
}

std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

TEST(SettingsFileSaves, TwoProgramsSavingAtOnceNeverLeaveAMalformedFile) {
  TempFolder folder;
  const std::string path = folder.File("QVM400.ini"), script = folder.File("read.py");
  const std::string stop = folder.File("stop"), report = folder.File("verdict");
  TempFolder::Write(script, kReaderScript);
  TempFolder::Write(path, WholeSave("Z-0"));
  ChildProcess reader("Z:\\usr\\bin\\python3 " + Quoted(UnixPath(script)) + " " +
                      Quoted(UnixPath(path)) + " " + Quoted(UnixPath(stop)) + " " +
                      Quoted(UnixPath(report)));
  ASSERT_TRUE(reader.Started());
  {
    // Both start saving at one moment, whenever each program got going.
    const std::string start = "ovelin-savers-" + std::to_string(::GetCurrentProcessId());
    HANDLE ready = ::CreateSemaphoreA(nullptr, 0, 2, (start + "-ready").c_str());
    HANDLE go = ::CreateEventA(nullptr, TRUE, FALSE, (start + "-go").c_str());
    const std::string saver = "--save-settings " + Quoted(path);
    ChildProcess first(ChildCommand(saver + " A 500 " + start)), second(ChildCommand(saver + " B 500 " + start));
    for (int child = 0; child < 2; ++child) EXPECT_EQ(::WaitForSingleObject(ready, 60000), WAIT_OBJECT_0);
    ::SetEvent(go);
    EXPECT_EQ(first.Wait(), 0) << "saves that failed";
    EXPECT_EQ(second.Wait(), 0) << "saves that failed";
    ::CloseHandle(ready);
    ::CloseHandle(go);
  }
  TempFolder::Write(stop, "");
  const std::string verdict = WaitForFile(report, 60000);
  ASSERT_EQ(verdict.substr(0, 3), "ok ") << verdict;
  EXPECT_GT(std::atoi(verdict.c_str() + 3), 0);
  const std::string last = TempFolder::Read(path);
  EXPECT_TRUE(last == WholeSave("A-499") || last == WholeSave("B-499"));
  // Nothing else is left of a thousand saves.
  EXPECT_EQ(NamesIn(folder.Path().string()),
            (std::set<std::string>{"QVM400.ini", "read.py", "stop", "verdict"}));
}

// The temporary file a save of `name` is writing, once there is one.
std::string TemporaryFileOf(const std::string& folder, const std::string& name) {
  const std::regex ours(std::regex_replace(name, std::regex("\\."), "\\.") + "\\.\\d+\\.tmp");
  for (int wait = 0; wait < 400; ++wait, ::Sleep(50))
    for (const std::string& found : NamesIn(folder))
      if (std::regex_match(found, ours)) return found;
  return std::string();
}

using SaveLeftovers = AppTest;

// A killed save leaves its temporary file; the next save of that file
// removes it, but not while another program's save is still writing it,
// and never a file of another naming.
TEST_F(SaveLeftovers, GoAtTheNextSaveButNotWhileTheirSaveIsWriting) {
  QVM400Doc* doc = NewDocumentWith(kQuadraticFormula);
  ASSERT_NE(doc, nullptr);
  CIniFile settings;
  const struct {
    const char* name;
    std::function<bool(const std::string&)> save;
  } cases[] = {
      {"eq.qvm", [&](const std::string& path) { return doc->OnSaveDocument(path.c_str()) != FALSE; }},
      {"QVM400.ini", [&](const std::string& path) {
         settings.AssignPath(path.c_str());
         settings.WriteValue("S", "k", "v", true);
         return settings.SaveToDisk();
       }},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const std::string path = folder.File(c.name);
    const std::set<std::string> others = {std::string(c.name) + ".tmp", std::string(c.name) + ".1a.tmp",
                                          "other.qvm.5.tmp"};
    for (const std::string& other : others) TempFolder::Write(folder.File(other), "not ours");
    ChildProcess saving(ChildCommand("--hold-save " + Quoted(path)));
    const std::string leftover = TemporaryFileOf(folder.Path().string(), c.name);
    ASSERT_FALSE(leftover.empty()) << c.name;
    EXPECT_TRUE(c.save(path)) << c.name;
    EXPECT_TRUE(NamesIn(folder.Path().string()).count(leftover)) << c.name << ": taken while written";
    saving.Kill();
    EXPECT_TRUE(c.save(path)) << c.name;
    std::set<std::string> expected = others;
    expected.insert(c.name);
    EXPECT_EQ(NamesIn(folder.Path().string()), expected) << c.name;
  }
  EXPECT_TRUE(TakeShownBoxes().empty());
}

}  // namespace
