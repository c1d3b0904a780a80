// The insert dialogs with a live preview: each holds the texts of its edit
// boxes and, on every paint, draws a fixed picture of its construct's sign
// (integral, limit arrow, sum or product, root, brackets, "* 10", d/dx)
// with the equation engine, so that the boxes sit around it. The opening
// document command sets the fields, runs DoModal and builds the text.
// All have only an OK button; Esc and the close box end them with IDCANCEL.
// Choice of ours: a fitted picture whose sign measures nothing (no width or
// no height) keeps its unfitted size instead of dividing by zero, and one
// fitted to less than 0.01 mm is not drawn.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "framework/Dialog.h"
#include "framework/Geometry.h"
#include "options/QVMOptions.h"

class CDC;

// How one dialog draws its picture.
struct PreviewStyle {
  OptionStyle optionStyle;
  int32_t fontSize;  // 0.01 mm, before fitting
  UINT textAlign;
  bool fitted;       // scaled so that "int" fills 0.9 of the placeholder
};

// One text of the picture and the placeholder whose corner anchors it.
struct PreviewPiece {
  const char* text;
  int anchorId;
};

// Draws the pieces on the dialog's client area as a WM_PAINT does, after
// reading the edit boxes into the fields.
void PaintPreview(CDialog& dialog, const PreviewStyle& style,
                  std::initializer_list<PreviewPiece> pieces);

// The font size at which "int" fills 0.9 of `space` (0.01 mm), measured
// at `trialSize`; `trialSize` when the sign measures nothing.
int32_t FittedPreviewSize(CDC& dc, const QVMOptions& options, int32_t trialSize, CSize space);

class QVMIntegralDlg : public CDialog {
 public:
  QVMIntegralDlg();
  CString UpperBound, LowerBound;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnPaint();
  DECLARE_MESSAGE_MAP()
};

class QVMLimitDlg : public CDialog {
 public:
  QVMLimitDlg();
  CString Target, Variable;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnPaint();
  DECLARE_MESSAGE_MAP()
};

class QVMSumProductDlg : public CDialog {
 public:
  QVMSumProductDlg();
  CString UpperBound, LowerBound;
  CString Kind = "sigma";  // "sigma" or "product": the sign drawn

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnPaint();
  DECLARE_MESSAGE_MAP()
};

class QVMnthRootDlg : public CDialog {
 public:
  QVMnthRootDlg();
  CString Radicand, Index;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnPaint();
  DECLARE_MESSAGE_MAP()
};

class QVMBoundsDlg : public CDialog {
 public:
  QVMBoundsDlg();
  CString UpperBound, LowerBound, Expression;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnPaint();
  DECLARE_MESSAGE_MAP()
};

class QVMScientificDlg : public CDialog {
 public:
  QVMScientificDlg();
  CString Mantissa, Exponent, Decimal;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnPaint();
  DECLARE_MESSAGE_MAP()
};

class QVMDerivativeAtPointDlg : public CDialogEx {
 public:
  QVMDerivativeAtPointDlg();
  CString Point, Function;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnPaint();
  DECLARE_MESSAGE_MAP()
};
