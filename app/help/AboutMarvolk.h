// QVAboutMarvolk: the maker's about box, with the address of the maker's
// contact page as a link (static 1028).
#pragma once

#include "controls/StaticLink.h"
#include "framework/Dialog.h"

class QVAboutMarvolk : public CDialog {
 public:
  explicit QVAboutMarvolk(CWnd* parent = nullptr);
  BOOL OnInitDialog() override;

  CStaticLink ContactLink;
};
