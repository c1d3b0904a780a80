// The matrix, vector and piecewise insert dialogs: grids of edit boxes
// whose entries the opening command writes as an array construct. At OK
// each dialog works out how many rows (and columns) are in use: the highest
// whose entry is not empty. Entries are addressed from 1; entry 0 of every
// array is never bound or read. No preview; only an OK button.
#pragma once

#include <cstdint>

#include "framework/Dialog.h"

class QVMMatrixDlg : public CDialog {
 public:
  static constexpr int kSize = 8;
  QVMMatrixDlg();

  CString Cells[kSize + 1][kSize + 1];  // [row][column]
  int32_t RowCount = 0;
  int32_t ColumnCount = 0;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
};

class QVMVectorDlg : public CDialog {
 public:
  static constexpr int kSize = 8;
  QVMVectorDlg();

  CString Components[kSize + 1];
  int32_t ComponentCount = 0;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
};

class QVMPiecewiseDlg : public CDialog {
 public:
  static constexpr int kSize = 5;
  QVMPiecewiseDlg();

  CString Functions[kSize + 1];
  CString Domains[kSize + 1];
  int32_t RowCount = 0;  // rows whose function is in use; domains do not count

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
};
