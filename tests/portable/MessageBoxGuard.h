// Message boxes shown during a test, in order (see MessageBoxGuard.cpp).
#pragma once

#include <string>
#include <vector>

#include "framework/MessageBox.h"

struct RecordedMessageBox {
  std::string text;
  std::string caption;
  UINT type;
};

// Returns the boxes shown since the last call and forgets them.
std::vector<RecordedMessageBox> TakeMessageBoxes();
