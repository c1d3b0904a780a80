// QVDocManager: File New with the first template.
#include "app/document/DocManager.h"

#include "framework/App.h"
#include "resources/resource.h"

IMPLEMENT_DYNAMIC(QVDocManager, CDocManager)

void QVDocManager::OnFileNew() {
  POSITION pos = GetFirstDocTemplatePosition();
  if (!pos) {
    AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
    return;
  }
  GetNextDocTemplate(pos)->OpenDocumentFile(nullptr, TRUE);
}
