// QVAboutMarvolk: binds the contact address to its link control.
#include "app/help/AboutMarvolk.h"

#include "resources/resource.h"

QVAboutMarvolk::QVAboutMarvolk(CWnd* parent) : CDialog(IDD_ABOUT_MARVOLK, parent) {}

BOOL QVAboutMarvolk::OnInitDialog() {
  ContactLink.SubclassDlgItem(IDC_MARVOLK_LINK, this);
  return CDialog::OnInitDialog();
}
