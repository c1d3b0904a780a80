// QVPen, QVBrush and QVFont: realise a pen, brush or font description on a
// device context and put the previous object back afterwards. Every token
// owns one of each. The classes are declared everywhere (tokens are built
// by the portable parse code); Select and Deselect exist on Windows only.
// Choices of ours: a context is the pair of output and attribute DC
// handles (the attribute DC answers queries); the handles are kept as
// plain pointers so that the declarations need no GDI.
#pragma once

#include "framework/Platform.h"
#include "options/LogObjects.h"

// Holds what a realiser has selected: the context, the previous object and
// the object it created.
struct RealiserState {
  void* output = nullptr;
  void* attribute = nullptr;
  void* previous = nullptr;
  void* created = nullptr;
};

class QVPen {
 public:
  QVPen() = default;
#ifdef _WIN32
  ~QVPen();  // puts a stock object back when still selected
#else
  ~QVPen() = default;  // nothing is ever selected off Windows
#endif
  QVPen(const QVPen&) = delete;
  QVPen& operator=(const QVPen&) = delete;

#ifdef _WIN32
  // Creates the pen (width times the scale, converted for pixel devices)
  // and selects it into both DCs of the context.
  void Select(HDC output, HDC attribute);
  void Deselect();
#endif
  bool IsSelected() const { return state_.previous != nullptr; }

  QVLogPen description;
  double scale = 1.0;

 private:
  RealiserState state_;
};

class QVBrush {
 public:
  QVBrush() = default;
#ifdef _WIN32
  ~QVBrush();  // puts a stock object back when still selected
#else
  ~QVBrush() = default;  // nothing is ever selected off Windows
#endif
  QVBrush(const QVBrush&) = delete;
  QVBrush& operator=(const QVBrush&) = delete;

#ifdef _WIN32
  // Returns the brush that was selected before.
  HBRUSH Select(HDC output, HDC attribute);
  void Deselect();
#endif
  bool IsSelected() const { return state_.previous != nullptr; }

  QVLogBrush description;

 private:
  RealiserState state_;
};

class QVFont {
 public:
  QVFont() = default;
#ifdef _WIN32
  ~QVFont();  // deselects, so a forgotten Deselect leaks no font
#else
  ~QVFont() = default;
#endif
  QVFont(const QVFont&) = delete;
  QVFont& operator=(const QVFont&) = delete;

#ifdef _WIN32
  // Creates and selects the font and sets the text colour; returns the
  // absolute height used (the size, when useSize, times the scale).
  int Select(HDC output, HDC attribute, bool useSize);
  void Deselect();
#endif
  bool IsSelected() const { return state_.previous != nullptr; }

  QVLogFont description;
  double scale = 1.0;

 private:
  RealiserState state_;
  COLORREF previousColor_ = 0;
};
