#pragma once

// Shared by the window layer's source files only: the system callbacks and
// handle conversions.

#include <windows.h>

#include "IGraphicsWin.h"

struct IGraphicsWinProcs {
  static LRESULT CALLBACK Editor(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK Entry(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static BOOL CALLBACK MatchHostWindow(HWND window, LPARAM context);
  static UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

  // The graphics object stored in a window's user data, or null.
  static IGraphicsWin* FromWindow(HWND window) {
    return window ? reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(window, GWLP_USERDATA)) : nullptr;
  }
};

inline HWND AsWindow(void* handle) { return static_cast<HWND>(handle); }

inline RECT AsRect(const IBox& box) {
  RECT r;
  r.left = box.left;
  r.top = box.top;
  r.right = box.right;
  r.bottom = box.bottom;
  return r;
}

// Timer that drives the repaint cycle and the text entry.
constexpr UINT_PTR kEditorTimerId = 2;
// Control id of the text entry.
constexpr int kEntryControlId = 99;
