// libFuzzer target: the versions file through the text file reader and the
// version-line parser, with the address check on every field it yields.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/startup/VersionRecord.h"
#include "controls/TextHelpers.h"

namespace {

const std::string& ScratchPath() {
  static const std::string path = [] {
    char name[] = "/tmp/ovelin-fuzz-versions-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) std::abort();
    ::close(fd);
    return std::string(name);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(ScratchPath().c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  for (const VersionRecord& record : ReadVersionsFile(ScratchPath().c_str())) {
    if (!record.IsComplete()) std::abort();
    IsWebAddress(record.DownloadUrl.GetString());
    IsWebAddress(record.NotesUrl.GetString());
  }
  // Removed after every input: libFuzzer ends without running exit handlers.
  std::remove(ScratchPath().c_str());
  return 0;
}
