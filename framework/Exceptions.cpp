// Exception messages and the throw helpers.
#include "framework/Exceptions.h"

CString CFileException::GetErrorMessage() const {
  static const char* const kTexts[] = {
      "No error occurred.",
      "An unspecified error occurred while accessing %s.",
      "%s was not found.",
      "%s contains an invalid path.",
      "%s could not be opened because there are too many open files.",
      "Access to %s was denied.",
      "An invalid file handle was associated with %s.",
      "%s could not be removed because it is the current directory.",
      "%s could not be created because the directory is full.",
      "Seek failed on %s.",
      "A hardware I/O error was reported while accessing %s.",
      "A sharing violation occurred while accessing %s.",
      "A locking violation occurred while accessing %s.",
      "Disk full while accessing %s.",
      "An attempt was made to access %s past its end.",
  };
  const int count = static_cast<int>(sizeof kTexts / sizeof kTexts[0]);
  const char* text = kTexts[(m_cause >= 0 && m_cause < count) ? m_cause : genericException];
  CString message;
  message.Format(text, m_strFileName.IsEmpty() ? "an unnamed file" : m_strFileName.GetString());
  return message;
}

CString CArchiveException::GetErrorMessage() const {
  static const char* const kTexts[] = {
      "No error occurred.",
      "An unexpected error occurred while reading %s.",
      "An attempt was made to write to %s while it was open for reading.",
      "An attempt was made to read past the end of %s.",
      "An attempt was made to read from %s while it was open for writing.",
      "%s has a bad format.",
      "%s contained an unexpected object.",
      "%s contains an incorrect schema.",
      "The archive buffer of %s is full.",
  };
  const int count = static_cast<int>(sizeof kTexts / sizeof kTexts[0]);
  const char* text = kTexts[(m_cause >= 0 && m_cause < count) ? m_cause : genericException];
  CString message;
  message.Format(text, m_strFileName.IsEmpty() ? "an unnamed file" : m_strFileName.GetString());
  return message;
}

void AfxThrowMemoryException() { throw CMemoryException(); }
void AfxThrowResourceException() { throw CResourceException(); }
void AfxThrowInvalidArgException() { throw CInvalidArgException(); }

void AfxThrowFileException(int cause, long osError, const char* fileName) {
  throw CFileException(cause, osError, fileName ? CString(fileName) : CString());
}

void AfxThrowArchiveException(int cause, const char* fileName) {
  throw CArchiveException(cause, fileName ? CString(fileName) : CString());
}
