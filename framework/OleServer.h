// COleDocument, COleServerDoc and COleServerItem.
// COleDocument keeps its file as a compound file whose stream "Contents"
// holds the document's archive. COleServerDoc is a document that a
// container can embed: one COM object per document answers IOleObject,
// IDataObject and IPersistStorage; its picture and extent come from the
// document's embedded item (COleServerItem, made by OnGetEmbeddedItem).
// The picture is CF_METAFILEPICT in MM_ANISOTROPIC with the size that the
// item's OnDraw leaves in its size argument.
// Choices of ours: no in-place activation (the in-place verbs answer
// E_NOTIMPL, every other verb opens the document in a window of the
// program); closing the window of a changed embedded document, and Close
// with a prompt, update the container without asking; links and monikers
// are not supported; deactivating the user interface leaves the document's
// window for the container. When the document closes first, the COM object stays
// alive for its holders but answers every call with OLE_E_NOTRUNNING.
#pragma once

#include <oleidl.h>

#include "framework/Dc.h"
#include "framework/DocView.h"

class COleServerItem;
class OleServerObject;

class COleDocument : public CDocument {
  DECLARE_DYNAMIC(COleDocument)
 public:
  COleDocument();
  ~COleDocument() override;

  // Files as compound files (on by default); older flat files still open.
  void EnableCompoundFile(BOOL enable = TRUE) { m_bCompoundFile = enable; }
  BOOL OnOpenDocument(const char* pathName) override;
  BOOL OnSaveDocument(const char* pathName) override;

  // The document's archive in stream "Contents" of `storage`; exceptions
  // of the archive pass to the caller. Loading empties the document first.
  void LoadFromStorage(IStorage* storage);
  void SaveToStorage(IStorage* storage);

 protected:
  BOOL m_bCompoundFile = TRUE;
};

class COleServerDoc : public COleDocument {
  DECLARE_DYNAMIC(COleServerDoc)
 public:
  COleServerDoc();
  ~COleServerDoc() override;

  // The embedded item, made on first use by OnGetEmbeddedItem.
  COleServerItem* GetEmbeddedItem();
  // A COM interface of the document's object (a new reference), or null.
  HRESULT QueryOleInterface(REFIID iid, void** out);
  IOleClientSite* GetClientSite() const { return m_pClientSite; }
  BOOL IsEmbedded() const { return m_bEmbedded; }
  const CString& GetHostApp() const { return m_strHostApp; }
  const CString& GetHostObj() const { return m_strHostObj; }
  // The class id containers know the object by.
  CLSID m_clsid{};

  // Lets every item tell its containers that it changed.
  void UpdateAllItems(COleServerItem* sender, LPARAM hint = 0, CObject* hintObject = nullptr,
                      DWORD aspect = DVASPECT_CONTENT);
  // Saves an embedded, modified document into its container; FALSE (after a
  // message) when the container refused.
  virtual BOOL OnUpdateDocument();
  // Advise notifications to the containers.
  void NotifySaved();
  void NotifyClosed();

  void OnCloseDocument() override;
  BOOL SaveModified() override;

  // --- the COM object's calls; overridable ---
  virtual void OnSetHostNames(const char* container, const char* object);
  // Verbs show and open: a window of the program shows the document.
  virtual void OnShowDocument(BOOL show);
  // The user leaves the embedded document (Escape): the container gets the
  // changes, the document's windows hide and, when no other document shows,
  // the program steps back. A container that refuses the changes is
  // reported and the document stays in view. `undoable` is for in-place
  // activation, which we do not offer.
  virtual void OnDeactivateUI(BOOL undoable);
  virtual void OnClose(OLECLOSE saveOption);
  // The container dropped its last reference: an embedded document closes.
  virtual void OnFinalRelease();
  virtual BOOL OnLoadEmbedding(IStorage* storage);
  virtual BOOL OnSaveEmbedding(IStorage* storage, BOOL sameAsLoad);

 protected:
  // The document's item; the document deletes it.
  virtual COleServerItem* OnGetEmbeddedItem() = 0;

  CString m_strHostApp;
  CString m_strHostObj;

 private:
  friend class OleServerObject;
  friend class COleServerItem;
  void SetClientSite(IOleClientSite* site);
  // IOleClientSite::SaveObject for a modified embedded document.
  BOOL SaveToContainer();
  void ShowInFrame();
  void SendDataChange();
  OleServerObject* object_ = nullptr;
  COleServerItem* item_ = nullptr;
  IOleClientSite* m_pClientSite = nullptr;
  bool closing_ = false;
  bool shown_ = false;
};

class COleServerItem : public CObject {
  DECLARE_DYNAMIC(COleServerItem)
 public:
  // `autoDelete`: the document deletes the item when it closes.
  COleServerItem(COleServerDoc* doc, BOOL autoDelete);
  ~COleServerItem() override;

  COleServerDoc* GetDocument() const { return m_pDocument; }
  BOOL IsLinkedItem() const { return FALSE; }

  // Draws the item; `size` comes in as the extent (0.01 mm) and leaves as
  // the size of the picture. FALSE when nothing could be drawn.
  virtual BOOL OnDraw(CDC* dc, CSize& size) = 0;
  // The item's size in 0.01 mm for `aspect`; FALSE when unknown.
  virtual BOOL OnGetExtent(DWORD aspect, CSize& size);
  // A container's size for the item; stored for DVASPECT_CONTENT.
  virtual BOOL OnSetExtent(DWORD aspect, const CSize& size);
  virtual void OnUpdate(COleServerItem* sender, LPARAM hint, CObject* hintObject, DWORD aspect);
  // The item's native data; the embedded item stores its document.
  void Serialize(CArchive& ar) override;

  // Sends the changed data to every data advise sink.
  void NotifyChanged(DWORD aspect = DVASPECT_CONTENT);
  // The picture as a METAFILEPICT in global memory; null when it could not
  // be recorded.
  HGLOBAL GetMetafileData(DWORD aspect);
  // Records the picture into a Windows metafile; `size` as for OnDraw. By
  // default OnDraw draws straight into the metafile; an item whose picture
  // may outgrow the format's 16-bit coordinates records it its own way.
  // Null when nothing could be drawn.
  virtual HMETAFILE RecordMetafile(CSize& size);

  BOOL m_bAutoDelete;
  CSize m_sizeExtent;

 private:
  COleServerDoc* m_pDocument;
};
