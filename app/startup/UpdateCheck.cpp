// The update check's worker: the download, the kept versions file and the
// notice left for the user-interface thread.
#include "app/startup/UpdateCheck.h"

#include "app/startup/VersionsDownload.h"
#include "framework/File.h"
#include "resources/resource.h"

void UpdateCheckLink::RequestStop() {
  stop_ = true;
  const std::lock_guard<std::mutex> lock(mutex_);
  notices_.clear();
}

bool UpdateCheckLink::Put(std::unique_ptr<UpdateNotice> notice) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (stop_) return false;
  notices_.push_back(std::move(notice));
  return true;
}

std::unique_ptr<UpdateNotice> UpdateCheckLink::Take() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (notices_.empty()) return nullptr;
  std::unique_ptr<UpdateNotice> notice = std::move(notices_.front());
  notices_.pop_front();
  return notice;
}

namespace {

// Writes `body` to `path`; a file left half written is removed.
void WriteWhole(const CString& path, const std::string& body) {
  try {
    CFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
    file.Write(body.data(), static_cast<UINT>(body.size()));
    file.Close();
  } catch (...) {
    ::DeleteFileA(path);
    throw;
  }
}

void RunUpdateCheck(const UpdateCheckJob& job) {
  std::string body;
  if (DownloadVersions(job.url, job.link->StopRequested(), body))
    KeepDownloadedVersions(body, job.versionsFile);
  if (job.link->StopRequested()) return;
  std::unique_ptr<UpdateNotice> notice = MakeUpdateNotice(
      ReadVersionsFile(job.versionsFile), job.productId, job.currentMajor, job.currentMinor);
  if (notice && job.link->Put(std::move(notice)))
    ::PostMessageA(job.notify, job.notifyMessage, 0, 0);
}

}  // namespace

UINT UpdateCheckThreadProc(void* param) {
  const std::unique_ptr<UpdateCheckJob> job(static_cast<UpdateCheckJob*>(param));
  // A failed check shows nothing, not even the report of an exception.
  try {
    RunUpdateCheck(*job);
  } catch (...) {
  }
  return 0;
}

// The download goes to a name of this thread's own first, so that a reader
// never sees half a file and two checks never write the same file.
bool KeepDownloadedVersions(const std::string& body, const CString& kept) {
  CString fresh;
  fresh.Format("%s.%lu.download", kept.GetString(), ::GetCurrentThreadId());
  WriteWhole(fresh, body);
  if (!ReadVersionsFile(fresh).empty() && ::MoveFileExA(fresh, kept, MOVEFILE_REPLACE_EXISTING))
    return true;
  ::DeleteFileA(fresh);
  return false;
}

std::unique_ptr<UpdateNotice> MakeUpdateNotice(const std::vector<VersionRecord>& records,
                                               int32_t productId, int32_t currentMajor,
                                               int32_t currentMinor) {
  const VersionRecord* newest = nullptr;
  for (const VersionRecord& record : records) {
    if (record.ProductId != productId) continue;
    if (!newest || record.Major > newest->Major ||
        (record.Major == newest->Major && record.Minor > newest->Minor))
      newest = &record;
  }
  const bool newMajor = newest && newest->Major > currentMajor;
  const bool newMinor = newest && newest->Major == currentMajor && newest->Minor > currentMinor;
  if (!newMajor && !newMinor) return nullptr;
  auto notice = std::make_unique<UpdateNotice>();
  notice->templateId = newMajor ? IDD_UPDATE_MAJOR : IDD_UPDATE_MINOR;
  notice->record = *newest;
  notice->currentMajor = currentMajor;
  notice->currentMinor = currentMinor;
  return notice;
}
