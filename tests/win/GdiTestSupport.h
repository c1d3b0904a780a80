// Helpers of the GDI tests: a leak check on the GDI object counter and a
// memory DC with a colour bitmap.
#pragma once

#include <gtest/gtest.h>

#include "framework/Dc.h"

// Fails the test when the wrappers hold more or fewer GDI objects at the end
// of the scope than at its start.
class GdiBalance {
 public:
  GdiBalance() : start_(GdiObjectCounter::Alive()) {}
  ~GdiBalance() { EXPECT_EQ(GdiObjectCounter::Alive(), start_) << "GDI objects leaked"; }

 private:
  long start_;
};

// A memory DC in pixels (MM_TEXT) with a size x size screen-compatible bitmap.
struct MemoryCanvas {
  explicit MemoryCanvas(int size = 32) {
    CWindowDC screen(nullptr);
    dc.CreateCompatibleDC(&screen);
    bitmap.CreateCompatibleBitmap(&screen, size, size);
    previous = dc.SelectObject(&bitmap)->m_hObject;
  }
  ~MemoryCanvas() { ::SelectObject(dc.m_hDC, previous); }
  CDC dc;
  CBitmap bitmap;
  HGDIOBJ previous = nullptr;
};
