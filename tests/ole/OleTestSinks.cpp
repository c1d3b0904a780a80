// The OLE tests' advise sink and client site.
#include "tests/ole/OleTestSinks.h"

HRESULT TestAdviseSink::QueryInterface(REFIID iid, void** out) {
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IAdviseSink) return E_NOINTERFACE;
  *out = static_cast<IAdviseSink*>(this);
  AddRef();
  return S_OK;
}

void TestAdviseSink::OnDataChange(FORMATETC*, STGMEDIUM* medium) {
  ++dataChanges;
  if (medium) lastPicture = ReadPicture(*medium);
}

HRESULT TestClientSite::QueryInterface(REFIID iid, void** out) {
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IOleClientSite) return E_NOINTERFACE;
  *out = static_cast<IOleClientSite*>(this);
  AddRef();
  return S_OK;
}

HRESULT TestClientSite::SaveObject() {
  ++savesAsked;
  if (!object || !storage) return saveResult;
  const HRESULT result = OleSave(object.get(), storage.get(), TRUE);
  object->SaveCompleted(nullptr);
  return result;
}
