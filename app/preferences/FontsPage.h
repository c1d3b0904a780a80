// QVMFontsPropPage: the Fonts page of the preferences sheet: the main
// font's face, size and colour, and the faces, colours and bold/italic
// choices of functions, Greek letters, variables, units, quoted text and
// lower-case vectors.
// Choices of ours: a face that is not installed stays the option's face;
// a size that cannot be read keeps the previous size; "Automatic" on a
// colour button stores the option's default colour.
#pragma once

#include "app/preferences/PreferencePage.h"
#include "controls/ColorButton.h"
#include "controls/FontFaceCombo.h"

class QVMFontsPropPage : public QVMPreferencePage {
  DECLARE_DYNAMIC(QVMFontsPropPage)
 public:
  QVMFontsPropPage();

  // Bold and italic of Functions, Greek, Variables, Units, Quoted text.
  int FunctionsBold = 0, FunctionsItalic = 0, GreekBold = 0, GreekItalic = 0;
  int VariablesBold = 0, VariablesItalic = 0, UnitsBold = 0, UnitsItalic = 0;
  int QuoteBold = 0, QuoteItalic = 0, UseOneFont = 0;
  CFontFaceCombo MainFaceList;
  CString MainFace;
  CString SizeText;
  COLORREF MainColour = 0;
  CColorButton MainColourButton;
  COLORREF GreekColour = 0, VariableColour = 0;
  CColorButton GreekColourButton, VariableColourButton;
  CFontFaceCombo FunctionFaceList, UnitsFaceList, QuoteFaceList, VectorFaceList;
  CString FunctionFace, UnitsFace, QuoteFace, VectorFace;
  COLORREF FunctionColour = 0, UnitColour = 0, QuoteColour = 0, VectorColour = 0;
  CColorButton FunctionColourButton, UnitColourButton, QuoteColourButton, VectorColourButton;
  int UseWordFont = 0;

  void OnUseOneFont();
  // Disables the other faces and colours while one font serves all.
  void EnableOtherFonts();

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void PrepareControls() override;
  void LoadFields(QVMOptions& options) override;
  void StoreFields(QVMOptions& options) override;
  void AfterInit() override;

 private:
  // The font kept when the size text cannot be read.
  int32_t shownSize_ = 0;

  DECLARE_MESSAGE_MAP()
};
