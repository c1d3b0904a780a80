// The small pages of the preferences sheet: Units and Shortcuts (a stored
// list edited one entry per line, with empty lines below to type into) and
// Matrix (the gaps and the alignment of matrix cells).
#pragma once

#include "app/preferences/PreferencePage.h"
#include "controls/QVEdit.h"

class QVMUnitsPropPage : public QVMPreferencePage {
  DECLARE_DYNAMIC(QVMUnitsPropPage)
 public:
  QVMUnitsPropPage();
  CString ListText;
  CEdit ListEdit;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void LoadFields(QVMOptions& options) override;
  void StoreFields(QVMOptions& options) override;
  void AfterInit() override;
  void PaintExtras(CDC&) override;
  void OnListChange() {}

  DECLARE_MESSAGE_MAP()
};

class QVMMacrosPropPage : public QVMPreferencePage {
  DECLARE_DYNAMIC(QVMMacrosPropPage)
 public:
  QVMMacrosPropPage();
  QVEdit ListEdit;
  CString ListText;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void PrepareControls() override;
  void LoadFields(QVMOptions& options) override;
  void StoreFields(QVMOptions& options) override;
  void PaintExtras(CDC&) override;
  void RefuseUnstorableLine(CDataExchange* dx);
};

class QVMMatrixPropPage : public QVMPreferencePage {
  DECLARE_DYNAMIC(QVMMatrixPropPage)
 public:
  QVMMatrixPropPage();
  double ColumnGap = 0, RowGap = 0;
  int Alignment = 0;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void LoadFields(QVMOptions& options) override;
  void StoreFields(QVMOptions& options) override;
};
