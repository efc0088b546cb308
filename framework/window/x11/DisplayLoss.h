#pragma once

#include <functional>

// What the process does when the X server goes away under it (killed,
// logged out, a broken connection). Xlib's default ends the process at
// once, so whatever the program still held is lost; `handler` runs first
// instead, on the thread whose Xlib call found the loss. No display may be
// used from it, and nothing may follow it: the process then ends with
// status 1 without running static destructors, which would talk to the
// dead server. An empty handler restores Xlib's default. Declared without
// Xlib, so that a program sets it without knowing the window layer's
// backend. [UI thread]
void SetDisplayLostHandler(std::function<void()> handler);
