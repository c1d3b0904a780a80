// The program as an OLE server in this process: the embedded start, the
// equation item's picture, extent and native data through the template
// server's class factory (no marshalling, so a fault here is the server's
// own), and Update and Return into a container.
#include <memory>
#include <string>

#include "app/document/LoweringHint.h"
#include "app/document/ServerIds.h"
#include "app/document/ServerItem.h"
#include "framework/Dc.h"
#include "framework/DocManager.h"
#include "framework/Ole.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/ole/OleTestSinks.h"
#include "tests/ole/OleTestSupport.h"

namespace {

CCommandLineInfo ParsedCommandLine(const char* flag) {
  const char* argv[] = {"ovelin.exe", flag};
  CCommandLineInfo info;
  info.ParseArguments(2, argv);
  return info;
}

class OleServerApp : public AppTest {
 protected:
  void TearDown() override {
    AfxOleSetUserCtrl(TRUE);
    AppTest::TearDown();
  }
  // A new object of the first template through its class factory.
  template <typename T>
  ComPtr<T> Create(REFIID iid) {
    ComPtr<T> object;
    EXPECT_HRESULT_SUCCEEDED(app->TemplateServer[0].CreateInstance(nullptr, iid, object.OutVoid()));
    return object;
  }
  // A storage holding a document with `text`, saved as the program saves.
  ComPtr<IStorage> StorageWith(const char* text) {
    QVM400Doc* doc = NewDocument();
    EXPECT_NE(doc, nullptr);
    ComPtr<IStorage> storage = MakeMemoryStorage();
    if (!doc) return storage;
    doc->SetEquationText(text);
    doc->SaveToStorage(storage.get());
    doc->OnCloseDocument();
    return storage;
  }
  // The one embedded document (made through the class factory).
  QVM400Doc* EmbeddedDocument() const {
    CDocTemplate* docTemplate = app->TemplateServer[0].GetDocTemplate();
    for (POSITION pos = docTemplate->GetFirstDocPosition(); pos;) {
      CDocument* doc = docTemplate->GetNextDoc(pos);
      if (doc->m_bEmbedded) return static_cast<QVM400Doc*>(doc);
    }
    return nullptr;
  }
  // A new object whose container site holds it in a storage of its own.
  ComPtr<IOleObject> CreateInSite(TestClientSite& site) {
    site.storage = MakeMemoryStorage();
    ComPtr<IOleObject> object = Create<IOleObject>(IID_IOleObject);
    if (!object) return object;
    EXPECT_HRESULT_SUCCEEDED(object->QueryInterface(IID_IPersistStorage, site.object.OutVoid()));
    EXPECT_HRESULT_SUCCEEDED(site.object->InitNew(site.storage.get()));
    EXPECT_HRESULT_SUCCEEDED(object->SetClientSite(&site));
    return object;
  }
  // The equation measured as the item's picture measures it: on a metafile.
  static ExtentRecord MeasuredOnAMetafile(QVM400Doc* doc) {
    ExtentRecord extent;
    CMetaFileDC probe;
    if (probe.Create()) doc->MeasureEquation(extent, &probe);
    ::DeleteMetaFile(probe.Close());
    return extent;
  }
  int Amount() {
    QVIniFile written;
    written.AssignPath(SettingsFile("QVM4ADJ").c_str());
    EXPECT_TRUE(written.LoadFromDisk());
    return written.ReadInt("Lowering Hint", "Amount");
  }

  ComApartment apartment_;
};

// No untitled document may keep the server alive after its containers let
// go; the window waits hidden for a container's verb.
TEST_F(OleServerApp, EmbeddedStartOpensNothingAndMarksTheProgramRunning) {
  for (const char* flag : {"/Embedding", "-Automation"}) {
    SCOPED_TRACE(flag);
    CCommandLineInfo info = ParsedCommandLine(flag);
    ASSERT_TRUE(app->StartFromCommandLine(info));
    EXPECT_EQ(app->RunningEmbedded, 1);
    EXPECT_EQ(app->GetOpenDocumentCount(), 0);
    EXPECT_TRUE(AfxOleCanExitApp());
    EXPECT_FALSE(AfxOleGetUserCtrl());
    EXPECT_FALSE(frame->IsWindowVisible());
    EXPECT_NE(TempFolder::Read(SettingsFile("QVM4ADJ")).find("Running=1"), std::string::npos);
    AfxOleSetUserCtrl(TRUE);
  }
}

TEST_F(OleServerApp, TemplatesServeUnderTheirClassIds) {
  EXPECT_TRUE(IsEqualCLSID(app->TemplateServer[0].GetClassID(), kEquationClassId));
  EXPECT_TRUE(IsEqualCLSID(app->TemplateServer[1].GetClassID(), kQvpClassId));
  EXPECT_EQ(app->TemplateServer[0].GetDocTemplate(), app->FindTemplate("Ovelin4"));
  EXPECT_EQ(app->TemplateServer[1].GetDocTemplate(), app->FindTemplate("QVP"));
}

// The padded picture and the lowering hint for measured extents; an empty
// measure must neither divide by zero nor leave an earlier hint behind.
TEST_F(OleServerApp, ItemPadsThePictureAndWritesTheLoweringHint) {
  ComPtr<IOleObject> object = Create<IOleObject>(IID_IOleObject);
  ASSERT_TRUE(object);
  QVM400Doc* doc = EmbeddedDocument();
  ASSERT_NE(doc, nullptr);
  auto* item = static_cast<QVM400SrvrItem*>(doc->GetEmbeddedItem());
  ASSERT_TRUE(item->IsKindOf(RUNTIME_CLASS(QVM400SrvrItem)));
  const struct {
    int32_t width, height, align;
    LONG paddedHeight;
    int amount;
  } cases[] = {
      {2000, 1000, 100, 1005, 104},  // pad 5
      {2000, 1000, 352, 1000, 352},  // pad 0: short of 10 points by under one unit
      {2000, 1000, 353, 1035, 374},  // pad 35
      {2000, 1000, 0, 1000, 0},
      {0, 0, 0, 0, 0},  // empty
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.align);
    CMetaFileDC dc;
    ASSERT_TRUE(dc.Create());
    ExtentRecord extent;
    extent.width = c.width;
    extent.height = c.height;
    extent.align = c.align;
    CSize size(-1, -1);
    item->DrawMeasured(&dc, extent, size);
    ::DeleteMetaFile(dc.Close());
    EXPECT_EQ(size.cx, c.width);
    EXPECT_EQ(size.cy, c.paddedHeight);
    EXPECT_EQ(Amount(), c.amount);
  }
  CSize size;
  EXPECT_FALSE(item->OnDraw(nullptr, size));
}

// Through the class factory: load, picture, extent, save, as a container
// in this process would.
TEST_F(OleServerApp, ObjectLoadsDrawsMeasuresAndSavesTheDocument) {
  ComPtr<IStorage> given = StorageWith("x=(-b+-sqrt(b^2-4ac))/(2a)");
  const std::string archive = ReadContents(given.get());
  ASSERT_EQ(archive.substr(0, 4), std::string("\x03QVM"));
  ComPtr<IPersistStorage> persist = Create<IPersistStorage>(IID_IPersistStorage);
  ASSERT_TRUE(persist);
  ASSERT_HRESULT_SUCCEEDED(persist->Load(given.get()));
  QVM400Doc* doc = EmbeddedDocument();
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->EquationText, TwentyLines({"x=(-b+-sqrt(b^2-4ac))/(2a)"}));
  EXPECT_TRUE(IsEqualCLSID(doc->m_clsid, kEquationClassId));

  const ExtentRecord expected = MeasuredOnAMetafile(doc);
  ASSERT_GT(expected.height, 0);
  ASSERT_GT(expected.align, 0);
  const int32_t pad = PointRoundingPad(expected.align);
  ComPtr<IDataObject> data;
  ASSERT_HRESULT_SUCCEEDED(persist->QueryInterface(IID_IDataObject, data.OutVoid()));
  const PictureInfo picture = GetPicture(data.get());
  EXPECT_EQ(picture.mm, MM_ANISOTROPIC);
  EXPECT_EQ(picture.xExt, expected.width);
  EXPECT_EQ(picture.yExt, expected.height + pad);
  EXPECT_EQ(Amount(), LoweringAmount(expected.align, pad, expected.height));

  ComPtr<IOleObject> object;
  ASSERT_HRESULT_SUCCEEDED(persist->QueryInterface(IID_IOleObject, object.OutVoid()));
  SIZEL extent{-1, -1};
  ASSERT_HRESULT_SUCCEEDED(object->GetExtent(DVASPECT_CONTENT, &extent));
  const ExtentRecord own = doc->MeasureOwnExtent();
  EXPECT_EQ(extent.cx, own.width);
  EXPECT_EQ(extent.cy, own.height);

  EXPECT_EQ(SavedContents(persist.get()), archive);
}

// A container plays the picture into a rectangle of its own: the equation
// must land inside that rectangle and fill its width.
TEST_F(OleServerApp, PictureScalesIntoTheContainersRectangle) {
  ComPtr<IPersistStorage> persist = Create<IPersistStorage>(IID_IPersistStorage);
  ASSERT_TRUE(persist);
  ASSERT_HRESULT_SUCCEEDED(persist->Load(StorageWith("x=(-b+-sqrt(b^2-4ac))/(2a)").get()));
  ComPtr<IDataObject> data;
  ASSERT_HRESULT_SUCCEEDED(persist->QueryInterface(IID_IDataObject, data.OutVoid()));
  FORMATETC format = PictureFormat();
  STGMEDIUM medium{};
  ASSERT_HRESULT_SUCCEEDED(data->GetData(&format, &medium));
  const auto* picture = static_cast<const METAFILEPICT*>(::GlobalLock(medium.hMetaFilePict));
  ASSERT_NE(picture, nullptr);
  ExpectPictureFillsThePastersRectangle(*picture);
  ::GlobalUnlock(medium.hMetaFilePict);
  ::ReleaseStgMedium(&medium);
}

// Far beyond a Windows metafile's 16-bit coordinates: the container gets
// the picture whole and upright, declared in 0.01 mm, and the usual hint.
TEST_F(OleServerApp, TallestEquationReachesTheContainerWholeAndUpright) {
  ComPtr<IDataObject> data = Create<IDataObject>(IID_IDataObject);
  ASSERT_TRUE(data);
  QVM400Doc* doc = EmbeddedDocument();
  ASSERT_NE(doc, nullptr);
  doc->Options.Font.Value.Size = kMaxFontSize;
  doc->SetEquationText(TallestEquation().c_str());
  const ExtentRecord expected = MeasuredOnAMetafile(doc);
  ASSERT_GT(expected.height, 300 * 32767);
  const int32_t pad = PointRoundingPad(expected.align);
  FORMATETC format = PictureFormat();
  STGMEDIUM medium{};
  ASSERT_HRESULT_SUCCEEDED(data->GetData(&format, &medium));
  const auto* picture = static_cast<const METAFILEPICT*>(::GlobalLock(medium.hMetaFilePict));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->xExt, expected.width);
  EXPECT_EQ(picture->yExt, expected.height + pad);
  ExpectTallestEquationUpright(*picture);
  ::GlobalUnlock(medium.hMetaFilePict);
  ::ReleaseStgMedium(&medium);
  EXPECT_EQ(Amount(), LoweringAmount(expected.align, pad, expected.height));
}

// Each object reports its own document's extent, not the last repaint's.
TEST_F(OleServerApp, ExtentIsTheObjectsOwnDocuments) {
  ComPtr<IOleObject> object = Create<IOleObject>(IID_IOleObject);
  ASSERT_TRUE(object);
  QVM400Doc* doc = EmbeddedDocument();
  ASSERT_NE(doc, nullptr);
  const ExtentRecord own = doc->MeasureOwnExtent();
  app->EquationExtent.width = own.width + 1234;
  app->EquationExtent.height = own.height + 567;
  SIZEL extent{-1, -1};
  ASSERT_HRESULT_SUCCEEDED(object->GetExtent(DVASPECT_CONTENT, &extent));
  EXPECT_EQ(extent.cx, own.width);
  EXPECT_EQ(extent.cy, own.height);
}

// Update and Return: the containers get the new picture and the changed
// document, then every document closes and the program is marked done.
TEST_F(OleServerApp, UpdateAndReturnUpdatesTheContainerAndCloses) {
  TestClientSite site;
  TestAdviseSink objectSink, dataSink;
  ComPtr<IOleObject> object = CreateInSite(site);
  ASSERT_TRUE(object);
  auto watch = std::make_unique<AdviseConnections>(object.get(), &objectSink, &dataSink);
  QVM400Doc* doc = EmbeddedDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetEquationText("a^2+b^2=c^2");
  app->RunningEmbedded = 1;

  app->OnCmdMsg(ID_UPDATE_AND_RETURN, CN_COMMAND, nullptr, nullptr);
  EXPECT_EQ(site.savesAsked, 1);
  const std::string saved = ReadContents(site.storage.get());
  EXPECT_EQ(saved.substr(0, 4), std::string("\x03QVM"));
  EXPECT_NE(saved.find("a^2+b^2=c^2"), std::string::npos);
  EXPECT_GE(dataSink.dataChanges, 1);
  EXPECT_EQ(dataSink.lastPicture.mm, MM_ANISOTROPIC);
  EXPECT_GE(objectSink.closes, 1);
  EXPECT_EQ(app->GetOpenDocumentCount(), 0);
  EXPECT_NE(TempFolder::Read(SettingsFile("QVM4ADJ")).find("Running=0"), std::string::npos);
  EXPECT_TRUE(TakeShownBoxes().empty());

  watch.reset();
  site.object.Reset();
  object.Reset();
  EXPECT_EQ(site.refs, 0u);
}

// Escape (the embedded keys) while the container's equation is open here:
// the container gets the changes, the window goes, the document stays open
// for the container.
TEST_F(OleServerApp, EscapeHandsTheEquationBackToItsContainer) {
  TestClientSite site;
  ComPtr<IOleObject> object = CreateInSite(site);
  ASSERT_TRUE(object);
  ASSERT_HRESULT_SUCCEEDED(object->DoVerb(OLEIVERB_SHOW, nullptr, &site, 0, nullptr, nullptr));
  QVM400Doc* doc = EmbeddedDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetEquationText("e^(i pi)=-1");
  ASSERT_TRUE(frame->IsWindowVisible() && site.shownWindow);

  MSG escape{app->EquationEditWindow(), WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {}};
  EXPECT_TRUE(frame->PreTranslateMessage(&escape));
  EXPECT_EQ(site.savesAsked, 1);
  EXPECT_NE(ReadContents(site.storage.get()).find("e^(i pi)=-1"), std::string::npos);
  EXPECT_FALSE(site.shownWindow);
  EXPECT_FALSE(frame->IsWindowVisible());
  EXPECT_EQ(app->GetOpenDocumentCount(), 1);
  EXPECT_TRUE(TakeShownBoxes().empty());

  ASSERT_HRESULT_SUCCEEDED(object->Close(OLECLOSE_NOSAVE));
  site.object.Reset();
  object.Reset();
  EXPECT_EQ(site.refs, 0u);
}

}  // namespace
