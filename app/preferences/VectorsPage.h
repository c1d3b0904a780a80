// QVMVectorsPropPage: the Vectors page of the preferences sheet: automatic
// recognition, double capitals, how vectors are shown, which lower-case
// letters are vectors, column vectors and the arrow head. The recognition
// box and the lower-case choice enable and disable the groups below them.
#pragma once

#include "app/preferences/PreferencePage.h"

class QVMVectorsPropPage : public QVMPreferencePage {
  DECLARE_DYNAMIC(QVMVectorsPropPage)
 public:
  QVMVectorsPropPage();

  CButton LowerIgnoreButton, CapsIgnoreButton;
  int Letters[26] = {};
  int DoubleCaps = 0, DetectColumnVectors = 0, LowerCase = 0, DisplayVect = 0;
  int UseAutomaticVectors = 0, ArrowHeadStyle = 0;

  // The check box id of letter `index` (a = 0).
  static int LetterId(int index);
  void UpdateControls();
  void EnableLetterBoxes(bool enable);
  void OnAutoRecognition() { UpdateControls(); }
  void OnLowercaseNoLetters() { EnableLetterBoxes(false); }
  void OnSelectLetters() { EnableLetterBoxes(true); }

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void LoadFields(QVMOptions& options) override;
  void StoreFields(QVMOptions& options) override;
  void AfterInit() override { UpdateControls(); }

  DECLARE_MESSAGE_MAP()
};
