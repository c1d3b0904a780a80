// QVMPreferencePage: what the six pages of the preferences sheet share.
// A page edits the document's option set; its "Set As Default" button
// copies its values into the application's default set instead. A page
// copies the options into its fields when it is first shown and back
// (ApplyTo) only when it was shown; painting records it as the page to
// reopen the sheet on.
// Choices of ours: "Set As Default" copies nothing when the page's values
// do not pass validation (the user is told and stays on the field).
#pragma once

#include "framework/Controls.h"
#include "framework/DataExchange.h"
#include "framework/PropertySheet.h"
#include "options/QVMOptions.h"

class CDC;

class QVMPreferencePage : public CPropertyPage {
  DECLARE_DYNAMIC(QVMPreferencePage)
 public:
  QVMPreferencePage(UINT templateId, int pageIndex, int setAsDefaultId);

  // Copies the page's fields into `options`; nothing unless it was shown.
  void ApplyTo(QVMOptions& options);
  void OnSetAsDefault();
  int PageIndex() const { return pageIndex_; }

  QVMOptions* DocumentOptions = nullptr;
  QVMOptions* DefaultOptions = nullptr;
  bool SetAsDefaultPressed = false;
  bool Initialised = false;

 protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnPaint();

  // Binds the controls that need objects, before any data exchange.
  virtual void PrepareControls() {}
  // Options to fields (integer options first put back into their range).
  virtual void LoadFields(QVMOptions& options) = 0;
  // Fields to options.
  virtual void StoreFields(QVMOptions& options) = 0;
  // After the controls got the fields.
  virtual void AfterInit() {}
  // Drawing of the page's own on every paint.
  virtual void PaintExtras(CDC&) {}

  // An integer option as a page shows it: back to its range midpoint first
  // when outside the range.
  static int ShownInt(QVOptionInt& option);
  // Stores `value`, or the range midpoint when it lies outside the range.
  static void StoreInt(QVOptionInt& option, int value) { option.SetValue(value); }
  static void StoreBool(QVOptionBool& option, int value) { option.Value = value != 0; }
  static void StoreString(QVOptionString& option, const char* value);
  // A length option (in 0.01 mm) as a page shows it: millimetres, in a box
  // that takes 0 to 100.
  static double ShownMillimetres(QVOptionInt& option);
  static void StoreMillimetres(QVOptionInt& option, double millimetres);
  static void DDX_Millimetres(CDataExchange* dx, int id, double& millimetres);

 private:
  int pageIndex_;
  int setAsDefaultId_;

  DECLARE_MESSAGE_MAP()
};
