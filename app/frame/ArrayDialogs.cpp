// The matrix, vector and piecewise insert dialogs.
#include "app/frame/ArrayDialogs.h"

#include <algorithm>

#include "app/frame/StructureTexts.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"

namespace {

// clang-format off
// The matrix grid's edit ids, row by row from the left.
constexpr int kMatrixIds[8][8] = {
  {1033, 1021, 1022, 1036, 1037, 1038, 1039, 1040},
  {1041, 1023, 1024, 1042, 1043, 1044, 1045, 1046},
  {1034, 1025, 1026, 1047, 1048, 1049, 1050, 1051},
  {1035, 1027, 1028, 1052, 1053, 1054, 1055, 1056},
  {1057, 1029, 1030, 1058, 1059, 1060, 1061, 1062},
  {1063, 1031, 1032, 1064, 1065, 1066, 1067, 1068},
  {1069, 1070, 1071, 1072, 1073, 1074, 1075, 1076},
  {1077, 1078, 1079, 1080, 1081, 1082, 1083, 1084},
};
// Vector components, top to bottom.
constexpr int kVectorIds[8] = {1033, 1041, 1034, 1035, 1057, 1063, 1069, 1077};
// Piecewise rows, top to bottom.
constexpr int kFunctionIds[5] = {1033, 1022, 1037, 1039, 1041};
constexpr int kDomainIds[5]   = {1021, 1036, 1038, 1040, 1023};
// clang-format on

}  // namespace

QVMMatrixDlg::QVMMatrixDlg() : CDialog(IDD_MATRIX) {}

void QVMMatrixDlg::DoDataExchange(CDataExchange* dx) {
  for (int row = 1; row <= kSize; ++row)
    for (int column = 1; column <= kSize; ++column)
      DDX_Text(dx, kMatrixIds[row - 1][column - 1], Cells[row][column]);
}

// Rows and columns are counted apart: text in (1, 3) and (4, 1) gives 4 x 3.
void QVMMatrixDlg::OnOK() {
  RowCount = ColumnCount = 0;
  UpdateData(TRUE);
  for (int row = 1; row <= kSize; ++row) {
    const int lastColumn = LastEntryInUse(Cells[row], kSize);
    if (lastColumn == 0) continue;
    RowCount = row;
    ColumnCount = std::max<int32_t>(ColumnCount, lastColumn);
  }
  CDialog::OnOK();
}

QVMVectorDlg::QVMVectorDlg() : CDialog(IDD_VECTOR) {}

void QVMVectorDlg::DoDataExchange(CDataExchange* dx) {
  for (int i = 1; i <= kSize; ++i) DDX_Text(dx, kVectorIds[i - 1], Components[i]);
}

void QVMVectorDlg::OnOK() {
  ComponentCount = 0;
  UpdateData(TRUE);
  ComponentCount = LastEntryInUse(Components, kSize);
  CDialog::OnOK();
}

QVMPiecewiseDlg::QVMPiecewiseDlg() : CDialog(IDD_PIECEWISE) {}

void QVMPiecewiseDlg::DoDataExchange(CDataExchange* dx) {
  for (int i = 1; i <= kSize; ++i) {
    DDX_Text(dx, kFunctionIds[i - 1], Functions[i]);
    DDX_Text(dx, kDomainIds[i - 1], Domains[i]);
  }
}

void QVMPiecewiseDlg::OnOK() {
  RowCount = 0;
  UpdateData(TRUE);
  RowCount = LastEntryInUse(Functions, kSize);
  CDialog::OnOK();
}
