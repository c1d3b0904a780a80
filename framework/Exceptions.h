// The class library's exceptions: CException and its file, archive, memory,
// resource and invalid-argument kinds. We throw them by value and catch by
// reference (catch (const CException& e)); no Delete() bookkeeping.
#pragma once

#include "framework/AfxRes.h"
#include "framework/String.h"

class CException {
 public:
  virtual ~CException() = default;
  // A readable description of the failure, for message boxes.
  virtual CString GetErrorMessage() const = 0;
};

class CMemoryException : public CException {
 public:
  CString GetErrorMessage() const override { return AfxLoadString(AFX_IDP_OUT_OF_MEMORY); }
};

class CResourceException : public CException {
 public:
  CString GetErrorMessage() const override { return AfxLoadString(AFX_IDP_RESOURCE_UNAVAILABLE); }
};

// Thrown after the user has already been told (a failed validation): catch
// it to stop the operation, never report it again.
class CUserException : public CException {
 public:
  CString GetErrorMessage() const override { return CString(); }
};

class CInvalidArgException : public CException {
 public:
  CString GetErrorMessage() const override { return AfxLoadString(AFX_IDP_INVALID_ARGUMENT); }
};

class CFileException : public CException {
 public:
  enum Cause {
    none,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };
  CFileException(int cause = none, long osError = -1, const CString& fileName = CString())
      : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}
  CString GetErrorMessage() const override;

  int m_cause;
  long m_lOsError;
  CString m_strFileName;
};

class CArchiveException : public CException {
 public:
  enum Cause {
    none,
    genericException,
    readOnly,
    endOfFile,
    writeOnly,
    badIndex,
    badClass,
    badSchema,
    bufferFull
  };
  explicit CArchiveException(int cause = none, const CString& fileName = CString())
      : m_cause(cause), m_strFileName(fileName) {}
  CString GetErrorMessage() const override;

  int m_cause;
  CString m_strFileName;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowResourceException();
[[noreturn]] void AfxThrowInvalidArgException();
[[noreturn]] void AfxThrowFileException(int cause, long osError = -1,
                                        const char* fileName = nullptr);
[[noreturn]] void AfxThrowArchiveException(int cause, const char* fileName = nullptr);
