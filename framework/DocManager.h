// CDocTemplate, CMultiDocTemplate and CDocManager.
// A template joins a document class, a frame class and a view class under
// one resource id: string <id> holds seven fields separated by "\n" (window
// title, document name, file-new name, filter name, filter extensions,
// registry file type id, registry file type name); menu and accelerators
// <id>, when present, are shared by the template's frames.
// An untitled document is called by the document name and a running number
// ("Sheet1", "Sheet2"), or "Untitled" without a document name.
// Choices of ours: File New with several templates uses the first (no
// chooser); opening a path that is already open activates its window; the
// DDE commands open, print and printto take quoted arguments; shell types
// are registered for the current user.
#pragma once

#include "framework/Collections.h"
#include "framework/DocView.h"

class CDocTemplate : public CCmdTarget {
  DECLARE_DYNAMIC(CDocTemplate)
 public:
  enum DocStringIndex {
    windowTitle,
    docName,
    fileNewName,
    filterName,
    filterExt,
    regFileTypeId,
    regFileTypeName
  };
  enum Confidence {
    noAttempt,
    maybeAttemptForeign,
    maybeAttemptNative,
    yesAttemptForeign,
    yesAttemptNative,
    yesAlreadyOpen
  };

  ~CDocTemplate() override;

  // The field `index` of the document strings; FALSE when it is empty.
  virtual BOOL GetDocString(CString& value, DocStringIndex index) const;
  // The template's filter extensions (".a;.b" split into ".a", ".b").
  CStringArray GetFilterExtensions() const;

  virtual void AddDocument(CDocument* doc);
  virtual void RemoveDocument(CDocument* doc);
  POSITION GetFirstDocPosition() const { return docs_.GetHeadPosition(); }
  CDocument* GetNextDoc(POSITION& pos) const { return docs_.GetNext(pos); }
  int GetDocumentCount() const { return docs_.GetCount(); }

  virtual CDocument* OpenDocumentFile(const char* pathName, BOOL makeVisible = TRUE) = 0;
  virtual void SetDefaultTitle(CDocument* doc) = 0;
  virtual CDocument* CreateNewDocument();
  virtual CFrameWnd* CreateNewFrame(CDocument* doc, CFrameWnd* other);
  virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, BOOL makeVisible = TRUE);
  virtual Confidence MatchDocType(const char* pathName, CDocument*& match);
  virtual BOOL SaveAllModified();
  virtual void CloseAllDocuments(BOOL endSession);
  // Resource ids of the embedded (OLE server) menu and accelerators; loads
  // them when the resources exist.
  void SetServerInfo(UINT embeddingId, UINT inPlaceId = 0);

  UINT m_nIDResource;
  UINT m_nIDServerResource = 0;
  UINT m_nIDServerInPlaceResource = 0;
  HMENU m_hMenuShared = nullptr;
  HACCEL m_hAccelTable = nullptr;
  // The frames of embedded documents use these instead (SetServerInfo).
  HMENU m_hMenuEmbedding = nullptr;
  HACCEL m_hAccelEmbedding = nullptr;

 protected:
  CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
               const CRuntimeClass* viewClass);
  void LoadTemplate();

  const CRuntimeClass* m_pDocClass;
  const CRuntimeClass* m_pFrameClass;
  const CRuntimeClass* m_pViewClass;
  CString m_strDocStrings;
  CList<CDocument*, CDocument*> docs_;
};

class CMultiDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC(CMultiDocTemplate)
 public:
  CMultiDocTemplate(UINT resourceId, const CRuntimeClass* docClass,
                    const CRuntimeClass* frameClass, const CRuntimeClass* viewClass);

  CDocument* OpenDocumentFile(const char* pathName, BOOL makeVisible = TRUE) override;
  void SetDefaultTitle(CDocument* doc) override;

  UINT m_nUntitledCount = 0;
};

class CDocManager : public CObject {
  DECLARE_DYNAMIC(CDocManager)
 public:
  CDocManager() = default;
  ~CDocManager() override;  // deletes the templates

  virtual void AddDocTemplate(CDocTemplate* docTemplate);
  POSITION GetFirstDocTemplatePosition() const { return templates_.GetHeadPosition(); }
  CDocTemplate* GetNextDocTemplate(POSITION& pos) const { return templates_.GetNext(pos); }
  int GetDocTemplateCount() const { return templates_.GetCount(); }

  virtual CDocument* OpenDocumentFile(const char* fileName);
  virtual BOOL SaveAllModified();
  virtual void CloseAllDocuments(BOOL endSession);
  int GetOpenDocumentCount() const;
  virtual BOOL DoPromptFileName(CString& fileName, UINT titleId, DWORD flags,
                                BOOL openFileDialog, CDocTemplate* docTemplate);
  virtual void OnFileNew();
  virtual void OnFileOpen();
  virtual BOOL OnDDECommand(char* command);
  void RegisterShellFileTypes(BOOL compatible);
  void UnregisterShellFileTypes();

  // Parses a DDE command "[verb("arg", ...)]"; FALSE when malformed.
  static BOOL ParseDDECommand(const char* command, CString& verb, CStringArray& args);

 private:
  CList<CDocTemplate*, CDocTemplate*> templates_;
};
