// OLE start-up, the server's lifetime and COleTemplateServer.
// AfxOleInit initialises OLE for the program's thread. The server ends when
// its last object (document, class-factory lock) is released and the user
// has not taken control: AfxOleUnlockApp then closes the main window, or
// ends the message loop when there is none.
// COleTemplateServer is the class factory of one document template: each
// object a container creates is a new document of that template.
// Choices of ours: the server registers per user (HKCU\Software\Classes);
// where the merged class view does not show per-user classes (Wine 8) the
// same keys are also written under HKEY_CLASSES_ROOT, and unregistering
// removes both. No in-place bits are ever registered (an in-place type is
// registered as a plain server), so containers open the object in the
// program's own window instead of waiting for in-place activation.
#pragma once

#include <objbase.h>

#include "framework/Object.h"
#include "framework/String.h"

class CDocTemplate;
class CDocument;

enum OLE_APPTYPE {
  OAT_UNKNOWN = -1,
  OAT_INPLACE_SERVER = 0,
  OAT_SERVER = 1,
  OAT_CONTAINER = 2,
  OAT_DISPATCH_OBJECT = 3,
  OAT_DOC_OBJECT_SERVER = 4,
  OAT_DOC_OBJECT_CONTAINER = 5
};

// OleInitialize on this thread; FALSE when OLE is missing or too old.
BOOL AfxOleInit();
// Revokes the class factories and ends OLE (the program's exit).
void AfxOleTerm();

// The server's lock count: documents and container locks hold it.
void AfxOleLockApp();
void AfxOleUnlockApp();
// TRUE while nothing holds the server.
BOOL AfxOleCanExitApp();
// Whether the user (not a container) controls the program's life.
void AfxOleSetUserCtrl(BOOL userCtrl);
BOOL AfxOleGetUserCtrl();

class COleTemplateServer : public CObject {
  DECLARE_DYNAMIC(COleTemplateServer)
 public:
  COleTemplateServer();
  ~COleTemplateServer() override;
  COleTemplateServer(const COleTemplateServer&) = delete;
  COleTemplateServer& operator=(const COleTemplateServer&) = delete;

  // Joins `clsid` to `docTemplate`; `multiInstance` starts a new server
  // process for every object instead of serving all from this one.
  void ConnectTemplate(REFCLSID clsid, CDocTemplate* docTemplate, BOOL multiInstance);
  // Offers the class factory to COM (CoRegisterClassObject).
  BOOL Register();
  void Revoke();
  BOOL IsRegistered() const { return cookie_ != 0; }
  // Every connected template server.
  static BOOL RegisterAll();
  static void RevokeAll();

  // Writes (`registering`) or removes the server's keys: ProgID, CLSID,
  // LocalServer32, InprocHandler32, verbs, MiscStatus, DefaultIcon, data
  // formats. The symbol arrays are accepted for compatibility and unused.
  BOOL UpdateRegistry(OLE_APPTYPE appType = OAT_INPLACE_SERVER, const char** symbols = nullptr,
                      const char** overwriteSymbols = nullptr, BOOL registering = TRUE);

  REFCLSID GetClassID() const { return clsid_; }
  CDocTemplate* GetDocTemplate() const { return docTemplate_; }
  // The server whose template made `doc`, or null.
  static COleTemplateServer* FromDocument(const CDocument* doc);

  // IClassFactory::CreateInstance: a new embedded document of the template.
  HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out);

 private:
  class Factory;
  Factory* factory_;
  CLSID clsid_{};
  CDocTemplate* docTemplate_ = nullptr;
  BOOL multiInstance_ = FALSE;
  DWORD cookie_ = 0;
};

// The class id as "{...}".
CString AfxClassIdText(REFCLSID clsid);
