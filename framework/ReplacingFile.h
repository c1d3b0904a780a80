// CReplacingFile: a file written in the place of another one. The bytes go
// to a temporary file beside the target, named target + "." + number +
// ".tmp" and made anew, so no two saves ever share one; the data reach the
// disk before the temporary file takes the target's place in one step, so
// readers see the old file or the new one, never a part of one, and a
// save cut short leaves the target as it was.
// Choices of ours: a read-only target is refused (Windows refuses to
// replace it, other systems may not); temporary files of that naming that
// earlier saves left behind are removed when the target is saved again, but
// only those no one holds open: the file a save is writing stays open from
// its creation until it has replaced the target, and it cannot be opened
// exclusively meanwhile. The exceptions name the target, not the temporary
// file.
#pragma once

#include "framework/File.h"

// The operating-system error of a target refused for being read-only.
extern const long kReadOnlyFileError;

class CReplacingFile : public CFile {
 public:
  explicit CReplacingFile(const char* target);
  // A temporary file that did not replace the target is removed.
  ~CReplacingFile() override;

  // Refuses a read-only target, removes leftovers of earlier saves and
  // makes the temporary file; false with `error` filled when it cannot.
  bool Begin(CFileException* error);
  // Writes the bytes through to the disk and puts the file in the target's
  // place; throws CFileException (and removes the temporary file) on failure.
  void Commit();

  const CString& GetTemporaryPath() const { return temporary_; }

  // Whether `path` names a file marked read-only.
  static bool IsReadOnly(const char* path);
  // Removes the temporary files of earlier saves of `target` that no one
  // holds open.
  static void RemoveLeftovers(const char* target);

 private:
  void Discard();
  void MoveOverTarget();

  CString target_;
  CString temporary_;
};

// Writes `count` bytes as the new contents of `target` through a replacing
// file; throws CFileException.
void ReplaceFileContents(const char* target, const void* data, UINT count);
