// QVM400Doc: the preferences sheet on the document's options.
#include "app/App.h"
#include "app/document/Document.h"
#include "app/preferences/FontsPage.h"
#include "app/preferences/ListPages.h"
#include "app/preferences/StylesPage.h"
#include "app/preferences/VectorsPage.h"
#include "resources/resource.h"

void QVM400Doc::EditPreferences() {
  QVM400App* app = GetQVMApp();
  CString caption;
  caption.LoadString(IDS_PREFERENCES_CAPTION);
  CPropertySheet sheet(caption, nullptr, 0);
  QVMFontsPropPage fonts;
  QVMVectorsPropPage vectors;
  QVMStylesPropPage styles;
  QVMUnitsPropPage units;
  QVMMatrixPropPage matrix;
  QVMMacrosPropPage macros;
  QVMPreferencePage* const pages[] = {&fonts, &vectors, &styles, &units, &matrix, &macros};
  for (QVMPreferencePage* page : pages) {
    page->DocumentOptions = &Options;
    page->DefaultOptions = &app->DefaultOptions;
    sheet.AddPage(page);
  }
  if (Options.LastPropertyPage >= 0 && Options.LastPropertyPage < sheet.GetPageCount())
    sheet.SetActivePage(Options.LastPropertyPage);
  if (sheet.DoModal() == IDOK) {
    bool setAsDefault = false;
    for (QVMPreferencePage* page : pages) {
      page->ApplyTo(Options);
      setAsDefault = setAsDefault || page->SetAsDefaultPressed;
    }
    // One write holds what every page's "Set As Default" copied.
    if (setAsDefault) app->DefaultOptions.WriteIni(app->PreferenceIni, false);
    Equation.ForceReparse();
    SetModifiedFlag(TRUE);
    UpdateAllViews(nullptr, 0, nullptr);
  }
  app->RefocusEdit = 1;
}

void QVM400Doc::OnEditOptions() {
  EditPreferences();
  GetQVMApp()->RefocusEdit = 1;
}
