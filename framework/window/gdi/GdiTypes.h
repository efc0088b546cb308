#pragma once

// Handle and record types of the GDI-style drawing layer. Handles are opaque
// pointers so that one kind cannot be passed where another is expected.

struct HDC__;
typedef HDC__* HDC;

// A rectangle in pixels; right and bottom are exclusive.
struct RECT {
  int left;
  int top;
  int right;
  int bottom;
};
