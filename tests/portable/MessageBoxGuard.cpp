// Test-run guard: every message box is recorded instead of shown, so no test
// can block waiting for a person. Tests read and clear the record.
#include "tests/portable/MessageBoxGuard.h"

#include <gtest/gtest.h>

namespace {

std::vector<RecordedMessageBox>& Record() {
  static std::vector<RecordedMessageBox> boxes;
  return boxes;
}

int RecordingHook(HWND, const char* text, const char* caption, UINT type) {
  Record().push_back({text ? text : "", caption ? caption : "", type});
  return (type & 0x0F) == MB_YESNO || (type & 0x0F) == MB_YESNOCANCEL ? IDYES : IDOK;
}

class MessageBoxEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { SetMessageBoxHook(RecordingHook); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new MessageBoxEnvironment);

}  // namespace

std::vector<RecordedMessageBox> TakeMessageBoxes() {
  std::vector<RecordedMessageBox> boxes;
  boxes.swap(Record());
  return boxes;
}
