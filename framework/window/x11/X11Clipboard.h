#pragma once

#include <X11/Xlib.h>

#include <string>

// Reads the CLIPBOARD selection as UTF-8 text: it asks the owner for
// UTF8_STRING and, when refused, for STRING (Latin-1, converted). The
// answer comes through a window of ours; the wait polls the connection
// with a time-out, so an owner that never answers costs at most that long
// and the editor's other events stay queued for its own loop. Transfers
// in pieces (INCR) are not taken: they are for texts far larger than a
// value typed into a field. [UI thread]
class X11Clipboard {
 public:
  static constexpr int kDefaultTimeoutMs = 500;

  // requestor: the window the owner writes its answer to.
  X11Clipboard(Display* display, Window requestor);

  // True with the text when the clipboard held some; false, with the text
  // emptied, when nobody owns the clipboard, the owner has no text, or it
  // did not answer within timeoutMs in all.
  bool GetText(std::string* text, int timeoutMs = kDefaultTimeoutMs);

 private:
  // The owner's answer to the request for target, or false at the deadline.
  bool WaitForNotify(Atom target, long long deadlineMs, XSelectionEvent* notify);
  bool ReadProperty(std::string* bytes);

  Display* mDisplay;
  Window mRequestor;
  Atom mClipboard;
  Atom mProperty;
  Atom mUtf8;
  Atom mIncr;
};
