// QVMStylesPropPage: the Styles page of the preferences sheet: the
// multiplication sign, tab and line spacing, negative numbers, integral and
// combination styles, the general pen and four switches. Every paint draws
// previews of the integral and combination styles with the equation engine.
// Choices of ours: the Greek sigma and theta variants are not on this page
// (it has no controls for them), so it leaves those two options alone.
#pragma once

#include "app/preferences/PreferencePage.h"

class QVMStylesPropPage : public QVMPreferencePage {
  DECLARE_DYNAMIC(QVMStylesPropPage)
 public:
  QVMStylesPropPage();

  int MultiplyStyle = 0;
  double TabWidth = 0;
  double VerticalSpacing = 0;
  int NegativeNumberStyle = 0, IntegralStyle = 0, PermCombStyle = 0;
  int UseWingdings = 0, WipeBackground = 0, MixedNumerals = 0;
  CComboBox PenList;
  CString PenText;
  int RaiseDecimal = 0;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void PrepareControls() override;
  void LoadFields(QVMOptions& options) override;
  void StoreFields(QVMOptions& options) override;
  void PaintExtras(CDC& dc) override;
  void OnMixedNumerals() {}

 private:
  // Draws `text` with the engine at the top-left corner of control `anchor`.
  void DrawPreview(CDC& dc, int anchor, const char* text, QVMOptions& options);

  DECLARE_MESSAGE_MAP()
};
