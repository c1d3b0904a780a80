// CFileFolderHelper: qualifies paths and lists files matching a wildcard in a
// folder and its subfolders. Every operation clears the error text first and
// answers false on failure, with the error text set.
//
// Choices of ours:
//  - The process's current folder is never changed (other threads use it):
//    relative paths are resolved with GetFullPathName, folders tested with
//    their attributes. Paths are normalised on the way ("a\..\b" is "b").
//  - A pattern that matches nothing in a folder is an empty result, not an
//    error.
//  - Subfolder listings skip reparse points (junctions, symbolic links, so a
//    link loop cannot recurse forever) and stop kMaxFolderDepth levels deep.
//  - The feedback window is a window handle (Windows only).
//  - Off Windows (for tests) the Win32 calls are small stand-ins over POSIX:
//    "\" separates folders, a path beginning with "\" starts at "/", and
//    a folder lists in name order as NTFS does.
#pragma once

#include "framework/Collections.h"
#include "framework/String.h"

class CFileFolderHelper {
 public:
  static constexpr int kMaxFolderDepth = 32;
  static constexpr const char* kInternalError =
      "CFileFolderHelper internal error - check call parameters";

  bool MakePathAbsolute(CString& path);
  bool MakeFolderAbsolute(CString& path);
  bool FolderExists(const char* path);
  bool ListFilesInFolder(const char* pattern, const char* folder, CStringArray& files,
                         bool fullPath);
  bool ListSubfolders(const char* folder, CStringArray& folders);
  bool ListSubfolders(const char* folder, CStringArray& folders, bool fullPath);
  bool ListFilesMatching(const char* pattern, const char* folder, CStringArray& files,
                         bool fullPath);

  const CString& GetErrorText() const { return errorText_; }
  // Window whose text shows each name as it is found and every error.
  void SetFeedbackWindow(HWND window) { feedback_ = window; }

 private:
  bool QualifyPath(CString& path);
  bool QualifyFolder(CString& path);
  bool FolderExistsQualified(const CString& folder);
  bool ListFiles(const char* pattern, const CString& folder, CStringArray& files, bool fullPath);
  bool CollectSubfolders(const CString& folder, CStringArray& folders, int depth);
  bool SetInternalError();
  void SetSystemError(DWORD code, const char* element);
  void Feedback(const CString& text);

  CString errorText_;
  HWND feedback_ = nullptr;
};
