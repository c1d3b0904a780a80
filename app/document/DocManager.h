// QVDocManager: the program's document manager. File New always takes the
// first registered template and never asks which one to use.
#pragma once

#include "framework/DocManager.h"

class QVDocManager : public CDocManager {
  DECLARE_DYNAMIC(QVDocManager)
 public:
  void OnFileNew() override;
};
