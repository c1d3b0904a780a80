#include <gtest/gtest.h>

#include "framework/String.h"

TEST(CString, Smoke) { EXPECT_EQ(CString("ab") + "c", "abc"); }
