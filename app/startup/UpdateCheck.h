// The update check's worker side: it downloads the maker's versions file,
// keeps it when it is whole, and leaves a notice of the newest newer version
// of this program for the user-interface thread.
// Choices of ours: the worker holds copies of what it needs and shares only
// an UpdateCheckLink with the user-interface thread, so a check still
// running at exit touches nothing freed, and a notice nobody took is freed
// with the link. A failed check, an exception included, shows nothing and
// leaves nothing. The kept versions file is replaced only by a download
// that holds a version line.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/startup/VersionRecord.h"

// One update dialog to show: the version found and the running one.
struct UpdateNotice {
  UINT templateId = 0;
  VersionRecord record;
  int32_t currentMajor = 0, currentMinor = 0;
};

// What the user-interface thread and the update check's workers share.
class UpdateCheckLink {
 public:
  // Workers stop as soon as they can; later notices are dropped.
  void RequestStop();
  const std::atomic<bool>& StopRequested() const { return stop_; }
  // Keeps `notice` for the user-interface thread; false (the notice freed)
  // once a stop was requested.
  bool Put(std::unique_ptr<UpdateNotice> notice);
  // The oldest notice not yet taken, or null.
  std::unique_ptr<UpdateNotice> Take();

 private:
  std::mutex mutex_;
  std::atomic<bool> stop_{false};
  std::deque<std::unique_ptr<UpdateNotice>> notices_;
};

// The worker's own inputs, copied on the user-interface thread.
struct UpdateCheckJob {
  int32_t productId = 0;
  CString url;
  CString versionsFile;  // where the versions file is kept
  HWND notify = nullptr;  // told of a notice with `notifyMessage`
  UINT notifyMessage = 0;
  int32_t currentMajor = 0, currentMinor = 0;
  std::shared_ptr<UpdateCheckLink> link;
};

// The worker's body: download, keep, read, compare. Takes the job.
UINT UpdateCheckThreadProc(void* job);
// Replaces `kept` with `body` when that holds a version line; otherwise
// leaves `kept` as it was. Throws CFileException when it cannot write.
bool KeepDownloadedVersions(const std::string& body, const CString& kept);
// The notice for the newest record of `productId` that is newer than the
// running version; null when there is none.
std::unique_ptr<UpdateNotice> MakeUpdateNotice(const std::vector<VersionRecord>& records,
                                               int32_t productId, int32_t currentMajor,
                                               int32_t currentMinor);
