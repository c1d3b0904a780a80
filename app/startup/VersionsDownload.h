// DownloadVersions: fetches the maker's versions file over HTTP into memory,
// through a URL moniker bound with a bind-status callback of our own.
// Choices of ours: only a complete answer with status 200 counts: a body
// that passes the cap is refused at once (the rest is never read), one
// shorter than its Content-Length is refused, and nothing is written to the
// download cache or to any file. The binding runs asynchronously on the
// calling thread, which pumps its own messages meanwhile, so a request to
// stop or the deadline ends it within a few tens of milliseconds, whatever
// the server does.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <string>

#include "app/startup/VersionRecord.h"

struct VersionsDownloadLimits {
  static constexpr size_t kMaxBytes = VersionsFileLimits::kMaxFileBytes;
  // A server that takes longer than this for so little is given up.
  static constexpr DWORD kDeadlineMs = 60000;
};

// The body of a complete 200 answer from `url` of at most `maxBytes`;
// false for anything else, and as soon as `stop` turns true.
bool DownloadVersions(const char* url, const std::atomic<bool>& stop, std::string& body,
                      size_t maxBytes = VersionsDownloadLimits::kMaxBytes,
                      DWORD deadlineMs = VersionsDownloadLimits::kDeadlineMs);
