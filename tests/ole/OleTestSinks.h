// A container's side for the OLE tests: an advise sink that counts what it
// is told and a client site that saves the object into its storage.
#pragma once

#include <oleidl.h>
#include <windows.h>

#include "framework/ComPtr.h"
#include "tests/ole/OleTestSupport.h"

class TestAdviseSink : public IAdviseSink {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }  // lives on the test's stack
  void STDMETHODCALLTYPE OnDataChange(FORMATETC* format, STGMEDIUM* medium) override;
  void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) override { ++viewChanges; }
  void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
  void STDMETHODCALLTYPE OnSave() override { ++saves; }
  void STDMETHODCALLTYPE OnClose() override { ++closes; }

  ULONG refs = 0;
  int dataChanges = 0;
  int viewChanges = 0;
  int saves = 0;
  int closes = 0;
  PictureInfo lastPicture;
};

class TestClientSite : public IOleClientSite {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }  // lives on the test's stack
  // Saves the object into `storage` as a container does (OleSave).
  HRESULT STDMETHODCALLTYPE SaveObject() override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override {
    ++showObjects;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) override {
    shownWindow = show;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  ULONG refs = 0;
  ComPtr<IPersistStorage> object;  // set by the test
  ComPtr<IStorage> storage;        // set by the test
  HRESULT saveResult = S_OK;       // what SaveObject answers without an object
  int savesAsked = 0;
  int showObjects = 0;
  BOOL shownWindow = FALSE;
};
