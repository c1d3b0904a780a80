#include "app/DialogEx.h"

IMPLEMENT_DYNAMIC(QVDialogEx, CDialog)

BOOL QVDialogEx::OnInitDialog() {
  const BOOL result = CDialogEx::OnInitDialog();
  theLocalization.LocaliseDialog(this);
  return result;
}

QVLocalization1::QVLocalization1() {
  FolderName = "Marvolk";
  Location = LanguageFolder;
}

QVLocalization1::~QVLocalization1() = default;

CString QVLocalization1::LookupText(int table, const CString& key, int32_t& value) const {
  if (table < 0 || table > 3) return CString();
  CString normalised = key;
  normalised.Remove(' ');
  normalised.Replace("=", "__");
  const CArray<LocalisedText>& texts = Tables[table];
  for (int i = 0; i < texts.GetSize(); ++i) {
    if (texts[i].Key == normalised) {
      value = texts[i].Value;
      return texts[i].Text;
    }
  }
  return CString();
}

CString QVLocalization1::LookupControlText(const CString& controlText) const {
  int32_t ignored = 0;
  return LookupText(3, CurrentDialogName + ":" + controlText, ignored);
}

BOOL QVLocalization1::LocaliseDialog(QVDialogEx* dialog) {
  CurrentDialogName = dialog->DialogName;
  int32_t ignored = 0;
  const CString title = LookupText(3, CurrentDialogName + ":Title", ignored);
  if (!title.IsEmpty()) dialog->SetWindowText(title);
  ::EnumChildWindows(dialog->GetSafeHwnd(), LocaliseChild, reinterpret_cast<LPARAM>(this));
  return TRUE;
}

BOOL CALLBACK QVLocalization1::LocaliseChild(HWND hWnd, LPARAM object) {
  auto* self = reinterpret_cast<QVLocalization1*>(object);
  CWnd* window = CWnd::FromHandle(hWnd);
  if (!window || !self) return TRUE;
  const CString text = self->LookupControlText(window->GetWindowText());
  if (!text.IsEmpty()) window->SetWindowText(text);
  return TRUE;
}
