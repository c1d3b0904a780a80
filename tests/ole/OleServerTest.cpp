// The class library's OLE server in-process: objects made through the
// template server's class factory, called directly (no marshalling), so a
// fault here is the server's own and not COM's.
#include <gtest/gtest.h>

#include <string>

#include "framework/App.h"
#include "framework/DocManager.h"
#include "framework/Ole.h"
#include "framework/OleServer.h"
#include "tests/ole/OleTestDoc.h"
#include "tests/ole/OleTestIds.h"
#include "tests/ole/OleTestSinks.h"
#include "tests/portable/MessageBoxGuard.h"
#include "tests/portable/TempFolder.h"

namespace {

const std::string kHelloArchive = std::string("\x07") + "OLETEST" + "\x05" + "hello";

class OleServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TakeMessageBoxes();
    docTemplate_ =
        new CMultiDocTemplate(IDR_OLETEST_DOC, RUNTIME_CLASS(OleTestDoc),
                              RUNTIME_CLASS(OleTestChildFrame), RUNTIME_CLASS(OleTestView));
    docTemplate_->SetServerInfo(IDR_OLETEST_EMBEDDED);
    server_.ConnectTemplate(kOleTestClassId, docTemplate_, FALSE);
  }
  void TearDown() override {
    docTemplate_->CloseAllDocuments(TRUE);
    delete docTemplate_;
    AfxOleSetUserCtrl(TRUE);
    EXPECT_TRUE(TakeMessageBoxes().empty());
  }

  // A new object through the class factory.
  template <typename T>
  ComPtr<T> Create(REFIID iid) {
    ComPtr<T> object;
    EXPECT_HRESULT_SUCCEEDED(server_.CreateInstance(nullptr, iid, object.OutVoid()));
    return object;
  }
  template <typename T, typename From>
  static ComPtr<T> As(const ComPtr<From>& from, REFIID iid) {
    ComPtr<T> to;
    EXPECT_HRESULT_SUCCEEDED(from->QueryInterface(iid, to.OutVoid()));
    return to;
  }
  OleTestDoc* Doc() const {
    POSITION pos = docTemplate_->GetFirstDocPosition();
    return pos ? static_cast<OleTestDoc*>(docTemplate_->GetNextDoc(pos)) : nullptr;
  }

  ComApartment apartment_;
  COleTemplateServer server_;
  CMultiDocTemplate* docTemplate_ = nullptr;
};

TEST_F(OleServerTest, FactoryMakesAnEmbeddedDocumentThatClosesWithItsLastReference) {
  ComPtr<IUnknown> outer = Create<IUnknown>(IID_IUnknown);
  ComPtr<IOleObject> aggregated;
  EXPECT_EQ(CLASS_E_NOAGGREGATION,
            server_.CreateInstance(outer.get(), IID_IOleObject, aggregated.OutVoid()));
  ASSERT_EQ(1, docTemplate_->GetDocumentCount());
  EXPECT_TRUE(Doc()->IsEmbedded());
  EXPECT_TRUE(IsEqualCLSID(kOleTestClassId, Doc()->m_clsid));
  ComPtr<IOleObject> object = As<IOleObject>(outer, IID_IOleObject);
  outer.Reset();
  EXPECT_EQ(1, docTemplate_->GetDocumentCount());
  object.Reset();
  EXPECT_EQ(0, docTemplate_->GetDocumentCount());
}

TEST_F(OleServerTest, OneIdentityForEveryInterface) {
  ComPtr<IOleObject> object = Create<IOleObject>(IID_IOleObject);
  ComPtr<IUnknown> a = As<IUnknown>(object, IID_IUnknown);
  ComPtr<IUnknown> b = As<IUnknown>(As<IDataObject>(object, IID_IDataObject), IID_IUnknown);
  ComPtr<IUnknown> c = As<IUnknown>(As<IPersistStorage>(object, IID_IPersistStorage), IID_IUnknown);
  EXPECT_EQ(a.get(), b.get());
  EXPECT_EQ(a.get(), c.get());
  ComPtr<IOleInPlaceObject> inPlace;
  EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(IID_IOleInPlaceObject, inPlace.OutVoid()));
}

TEST_F(OleServerTest, SaveWritesTheDocumentArchiveIntoContents) {
  ComPtr<IPersistStorage> persist = Create<IPersistStorage>(IID_IPersistStorage);
  ComPtr<IStorage> storage = MakeMemoryStorage();
  ASSERT_HRESULT_SUCCEEDED(persist->InitNew(storage.get()));
  EXPECT_EQ(CO_E_ALREADYINITIALIZED, persist->InitNew(storage.get()));
  EXPECT_EQ(S_FALSE, persist->IsDirty());
  Doc()->Edit("hello");
  EXPECT_EQ(S_OK, persist->IsDirty());
  ASSERT_HRESULT_SUCCEEDED(persist->Save(storage.get(), TRUE));
  ASSERT_HRESULT_SUCCEEDED(persist->SaveCompleted(nullptr));
  EXPECT_EQ(kHelloArchive, ReadContents(storage.get()));
  EXPECT_EQ(S_FALSE, persist->IsDirty());
  CLSID id{};
  ASSERT_HRESULT_SUCCEEDED(persist->GetClassID(&id));
  EXPECT_TRUE(IsEqualCLSID(kOleTestClassId, id));
}

TEST_F(OleServerTest, LoadReadsContentsIntoTheDocument) {
  ComPtr<IStorage> storage = MakeMemoryStorage();
  WriteContents(storage.get(), kHelloArchive);
  ComPtr<IPersistStorage> persist = Create<IPersistStorage>(IID_IPersistStorage);
  ASSERT_HRESULT_SUCCEEDED(persist->Load(storage.get()));
  EXPECT_EQ("hello", std::string(Doc()->text));
  EXPECT_EQ(S_FALSE, persist->IsDirty());
  EXPECT_EQ(CO_E_ALREADYINITIALIZED, persist->Load(storage.get()));
}

// A storage the document cannot read fails the call and leaves an empty,
// usable document; no message box waits for a person.
TEST_F(OleServerTest, UnreadableStorageFailsQuietly) {
  const struct {
    const char* name;
    const char* contents;  // null: no stream at all
  } cases[] = {{"no stream", nullptr}, {"foreign marker", "\x03XYZ"}, {"cut short", "\x07OLET"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ComPtr<IStorage> storage = MakeMemoryStorage();
    if (c.contents) WriteContents(storage.get(), c.contents);
    ComPtr<IPersistStorage> persist = Create<IPersistStorage>(IID_IPersistStorage);
    EXPECT_TRUE(FAILED(persist->Load(storage.get())));
    ASSERT_NE(nullptr, Doc());
    EXPECT_TRUE(Doc()->text.IsEmpty());
    ASSERT_HRESULT_SUCCEEDED(persist->InitNew(storage.get()));
  }
}

TEST_F(OleServerTest, MetafilePictureHasTheSizeOnDrawReturns) {
  ComPtr<IDataObject> data = Create<IDataObject>(IID_IDataObject);
  Doc()->drawnSize = CSize(4321, 1234);
  FORMATETC format = PictureFormat();
  ASSERT_EQ(S_OK, data->QueryGetData(&format));
  ExpectPicture(GetPicture(data.get()), 4321, 1234);
  EXPECT_EQ(1, Doc()->draws);
}

TEST_F(OleServerTest, OtherFormatsAreRefused) {
  ComPtr<IDataObject> data = Create<IDataObject>(IID_IDataObject);
  const struct {
    FORMATETC format;
    HRESULT expected;
  } cases[] = {
      {PictureFormat(CF_TEXT, TYMED_HGLOBAL), DV_E_FORMATETC},
      {PictureFormat(CF_ENHMETAFILE, TYMED_ENHMF), DV_E_FORMATETC},
      {PictureFormat(CF_METAFILEPICT, TYMED_HGLOBAL), DV_E_TYMED},
      {PictureFormat(CF_METAFILEPICT, TYMED_MFPICT, DVASPECT_ICON), DV_E_DVASPECT},
  };
  for (const auto& c : cases) {
    FORMATETC format = c.format;
    STGMEDIUM medium{};
    EXPECT_EQ(c.expected, data->GetData(&format, &medium)) << format.cfFormat;
    EXPECT_EQ(c.expected, data->QueryGetData(&format));
    EXPECT_EQ(nullptr, medium.hGlobal);
  }
  EXPECT_EQ(0, Doc()->draws);
}

TEST_F(OleServerTest, EnumFormatEtcListsTheMetafilePictureOnly) {
  ComPtr<IDataObject> data = Create<IDataObject>(IID_IDataObject);
  ComPtr<IEnumFORMATETC> formats;
  ASSERT_HRESULT_SUCCEEDED(data->EnumFormatEtc(DATADIR_GET, formats.Out()));
  FORMATETC got[4]{};
  ULONG count = 0;
  formats->Next(4, got, &count);
  ASSERT_EQ(1u, count);
  EXPECT_EQ(CF_METAFILEPICT, got[0].cfFormat);
  EXPECT_EQ(static_cast<DWORD>(TYMED_MFPICT), got[0].tymed);
  EXPECT_EQ(static_cast<DWORD>(DVASPECT_CONTENT), got[0].dwAspect);
  ComPtr<IEnumFORMATETC> setFormats;
  EXPECT_EQ(E_NOTIMPL, data->EnumFormatEtc(DATADIR_SET, setFormats.Out()));
}

TEST_F(OleServerTest, ExtentIsTheItemsExtent) {
  ComPtr<IOleObject> object = Create<IOleObject>(IID_IOleObject);
  SIZEL size{};
  ASSERT_HRESULT_SUCCEEDED(object->GetExtent(DVASPECT_CONTENT, &size));
  EXPECT_EQ(2000, size.cx);
  EXPECT_EQ(1000, size.cy);
  EXPECT_EQ(E_FAIL, object->GetExtent(DVASPECT_ICON, &size));
  SIZEL wanted{500, 600};
  EXPECT_HRESULT_SUCCEEDED(object->SetExtent(DVASPECT_CONTENT, &wanted));
  EXPECT_EQ(CSize(500, 600), Doc()->GetEmbeddedItem()->m_sizeExtent);
  EXPECT_EQ(E_FAIL, object->SetExtent(DVASPECT_ICON, &wanted));
}

TEST_F(OleServerTest, DataAdviseFiresOnNotifyChanged) {
  ComPtr<IDataObject> data = Create<IDataObject>(IID_IDataObject);
  TestAdviseSink withData, withoutData;
  FORMATETC format = PictureFormat();
  DWORD first = 0, second = 0;
  ASSERT_HRESULT_SUCCEEDED(data->DAdvise(&format, 0, &withData, &first));
  ASSERT_HRESULT_SUCCEEDED(data->DAdvise(&format, ADVF_NODATA, &withoutData, &second));
  FORMATETC text = PictureFormat(CF_TEXT, TYMED_HGLOBAL);
  TestAdviseSink refused;
  DWORD third = 0;
  EXPECT_EQ(DV_E_FORMATETC, data->DAdvise(&text, 0, &refused, &third));

  Doc()->drawnSize = CSize(800, 300);
  Doc()->GetEmbeddedItem()->NotifyChanged();
  EXPECT_EQ(1, withData.dataChanges);
  EXPECT_EQ(MM_ANISOTROPIC, withData.lastPicture.mm);
  EXPECT_EQ(800, withData.lastPicture.xExt);
  EXPECT_EQ(300, withData.lastPicture.yExt);
  EXPECT_EQ(1, withoutData.dataChanges);
  EXPECT_EQ(0, withoutData.lastPicture.mm);

  Doc()->Edit("changed");  // UpdateAllItems reaches the item
  EXPECT_EQ(2, withData.dataChanges);
  ASSERT_HRESULT_SUCCEEDED(data->DUnadvise(first));
  Doc()->GetEmbeddedItem()->NotifyChanged();
  EXPECT_EQ(2, withData.dataChanges);
  EXPECT_EQ(3, withoutData.dataChanges);
  EXPECT_HRESULT_SUCCEEDED(data->DUnadvise(second));
  EXPECT_EQ(0u, withData.refs);
}

// A container that advised before anyone drew the item still hears of an edit.
TEST_F(OleServerTest, DataAdviseFiresBeforeTheItemWasEverRequested) {
  ComPtr<IDataObject> data = Create<IDataObject>(IID_IDataObject);
  TestAdviseSink sink;
  FORMATETC format = PictureFormat();
  DWORD connection = 0;
  ASSERT_HRESULT_SUCCEEDED(data->DAdvise(&format, ADVF_NODATA, &sink, &connection));
  Doc()->Edit("changed");
  EXPECT_EQ(1, sink.dataChanges);
  EXPECT_HRESULT_SUCCEEDED(data->DUnadvise(connection));
}

// In-place activation is refused at once, with no window made; other
// negative verbs are unknown.
TEST_F(OleServerTest, InPlaceVerbsAreRefused) {
  ComPtr<IOleObject> object = Create<IOleObject>(IID_IOleObject);
  TestClientSite site;
  ASSERT_HRESULT_SUCCEEDED(object->SetClientSite(&site));
  RECT rect{0, 0, 100, 100};
  for (LONG verb : {OLEIVERB_INPLACEACTIVATE, OLEIVERB_UIACTIVATE, -42L})
    EXPECT_EQ(E_NOTIMPL, object->DoVerb(verb, nullptr, &site, 0, nullptr, &rect)) << verb;
  EXPECT_EQ(0, site.showObjects);
  EXPECT_EQ(0, Doc()->GetViewCount());
}

// Show opens the document in a child frame of the program with the
// template's embedded menu and keys (resource 5), and tells the container.
TEST_F(OleServerTest, ShowOpensAWindowWithTheEmbeddedMenu) {
  CWinApp app("Ovelin OLE Test");
  auto* main = new OleTestMainFrame;
  ASSERT_TRUE(main->LoadFrame(IDR_OLETEST_MAIN));
  app.m_pMainWnd = main;
  ASSERT_NE(nullptr, docTemplate_->m_hMenuEmbedding);
  ComPtr<IOleObject> object = Create<IOleObject>(IID_IOleObject);
  TestClientSite site;
  ASSERT_HRESULT_SUCCEEDED(object->SetClientSite(&site));
  ASSERT_HRESULT_SUCCEEDED(object->DoVerb(OLEIVERB_SHOW, nullptr, &site, 0, nullptr, nullptr));
  EXPECT_EQ(1, site.showObjects);
  EXPECT_TRUE(site.shownWindow);
  ASSERT_EQ(1, Doc()->GetViewCount());
  POSITION pos = Doc()->GetFirstViewPosition();
  auto* child = static_cast<CMDIChildWnd*>(Doc()->GetNextView(pos)->GetParentFrame());
  EXPECT_EQ(docTemplate_->m_hMenuEmbedding, child->m_hMenuShared);
  EXPECT_EQ(docTemplate_->m_hAccelEmbedding, child->GetDefaultAccelerator());
  ASSERT_HRESULT_SUCCEEDED(object->DoVerb(OLEIVERB_HIDE, nullptr, &site, 0, nullptr, nullptr));
  EXPECT_FALSE(site.shownWindow);
  ASSERT_HRESULT_SUCCEEDED(object->Close(OLECLOSE_NOSAVE));
  main->DestroyWindow();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

TEST_F(OleServerTest, CloseSavesAChangedDocumentIntoItsContainer) {
  ComPtr<IOleObject> object = Create<IOleObject>(IID_IOleObject);
  TestClientSite site;
  TestAdviseSink sink;
  site.object = As<IPersistStorage>(object, IID_IPersistStorage);
  site.storage = MakeMemoryStorage();
  ASSERT_HRESULT_SUCCEEDED(site.object->InitNew(site.storage.get()));
  ASSERT_HRESULT_SUCCEEDED(object->SetClientSite(&site));
  DWORD connection = 0;
  ASSERT_HRESULT_SUCCEEDED(object->Advise(&sink, &connection));
  Doc()->Edit("hello");
  ASSERT_HRESULT_SUCCEEDED(object->Close(OLECLOSE_SAVEIFDIRTY));
  EXPECT_EQ(1, site.savesAsked);
  EXPECT_EQ(1, sink.saves);
  EXPECT_EQ(1, sink.closes);
  EXPECT_EQ(kHelloArchive, ReadContents(site.storage.get()));
  EXPECT_EQ(0, docTemplate_->GetDocumentCount());
  // The object outlives its document and says so.
  SIZEL size{};
  EXPECT_EQ(OLE_E_NOTRUNNING, object->GetExtent(DVASPECT_CONTENT, &size));
  site.object.Reset();
  object.Reset();
  EXPECT_EQ(0u, site.refs);
  EXPECT_EQ(0u, sink.refs);
}

TEST_F(OleServerTest, CloseWithoutSaveLeavesTheContainerAlone) {
  ComPtr<IOleObject> object = Create<IOleObject>(IID_IOleObject);
  TestClientSite site;
  ASSERT_HRESULT_SUCCEEDED(object->SetClientSite(&site));
  Doc()->Edit("hello");
  ASSERT_HRESULT_SUCCEEDED(object->Close(OLECLOSE_NOSAVE));
  EXPECT_EQ(0, site.savesAsked);
  EXPECT_EQ(0, docTemplate_->GetDocumentCount());
}

TEST_F(OleServerTest, UpdateDocumentReportsARefusingContainer) {
  ComPtr<IOleObject> object = Create<IOleObject>(IID_IOleObject);
  TestClientSite site;
  site.saveResult = E_FAIL;
  ASSERT_HRESULT_SUCCEEDED(object->SetClientSite(&site));
  EXPECT_TRUE(Doc()->OnUpdateDocument());  // unmodified: nothing to do
  EXPECT_EQ(0, site.savesAsked);
  Doc()->Edit("hello");
  EXPECT_FALSE(Doc()->OnUpdateDocument());
  EXPECT_EQ(1, site.savesAsked);
  EXPECT_EQ(1u, TakeMessageBoxes().size());
}

TEST_F(OleServerTest, HostNamesTitleTheDocument) {
  ComPtr<IOleObject> object = Create<IOleObject>(IID_IOleObject);
  ASSERT_HRESULT_SUCCEEDED(object->SetHostNames(L"Writer", L"Letter.doc"));
  EXPECT_EQ("Writer", std::string(Doc()->GetHostApp()));
  EXPECT_EQ("OleTest in Letter.doc", std::string(Doc()->GetTitle()));
}

// The last release ends a server the user does not control, and only then.
TEST_F(OleServerTest, LastReleaseEndsAServerWithoutUserControl) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  AfxOleSetUserCtrl(FALSE);
  ComPtr<IOleObject> object = Create<IOleObject>(IID_IOleObject);
  EXPECT_FALSE(AfxOleCanExitApp());
  object.Reset();
  EXPECT_TRUE(AfxOleCanExitApp());
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

  AfxOleSetUserCtrl(TRUE);
  object = Create<IOleObject>(IID_IOleObject);
  object.Reset();
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// A compound document file keeps the archive in "Contents" and reads back.
TEST_F(OleServerTest, DocumentFileIsACompoundFile) {
  TempFolder folder;
  const std::string path = folder.File("a.olt");
  ComPtr<IOleObject> object = Create<IOleObject>(IID_IOleObject);
  Doc()->text = "hello";
  ASSERT_TRUE(Doc()->OnSaveDocument(path.c_str()));
  const std::wstring widePath(path.begin(), path.end());
  ASSERT_EQ(S_OK, StgIsStorageFile(widePath.c_str()));
  Doc()->text.Empty();
  ASSERT_TRUE(Doc()->OnOpenDocument(path.c_str()));
  EXPECT_EQ("hello", std::string(Doc()->text));
  EXPECT_FALSE(Doc()->IsModified());
}

}  // namespace
