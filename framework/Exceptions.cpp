// Exception messages and the throw helpers.
#include "framework/Exceptions.h"

namespace {

// The message of `cause` (the generic one for a cause we do not know) with
// the file's name filled in.
CString CauseMessage(UINT firstId, int cause, int causes, int genericCause, const CString& fileName) {
  const UINT id = firstId + static_cast<UINT>((cause >= 0 && cause < causes) ? cause : genericCause);
  const CString name = fileName.IsEmpty() ? AfxLoadString(AFX_IDS_UNNAMED_FILE) : fileName;
  return AfxFormatResource(id, name.GetString());
}

}  // namespace

CString CFileException::GetErrorMessage() const {
  return CauseMessage(AFX_IDP_FILE_CAUSE_FIRST, m_cause, endOfFile + 1, genericException,
                      m_strFileName);
}

CString CArchiveException::GetErrorMessage() const {
  return CauseMessage(AFX_IDP_ARCHIVE_CAUSE_FIRST, m_cause, bufferFull + 1, genericException,
                      m_strFileName);
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
