#include "framework/window/x11/X11Clipboard.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <chrono>

namespace {

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string Latin1ToUtf8(const std::string& latin1) {
  std::string utf8;
  for (const char c : latin1) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (u >> 6));
      utf8 += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return utf8;
}

}  // namespace

X11Clipboard::X11Clipboard(Display* display, Window requestor)
    : mDisplay(display),
      mRequestor(requestor),
      mClipboard(XInternAtom(display, "CLIPBOARD", False)),
      mProperty(XInternAtom(display, "MORVEX_CLIPBOARD", False)),
      mUtf8(XInternAtom(display, "UTF8_STRING", False)),
      mIncr(XInternAtom(display, "INCR", False)) {}

bool X11Clipboard::GetText(std::string* text, int timeoutMs) {
  if (!text) return false;
  text->clear();
  if (XGetSelectionOwner(mDisplay, mClipboard) == None) return false;
  const long long deadline = NowMs() + timeoutMs;
  // An answer to an earlier request that timed out must not pass for this
  // one's.
  XEvent stale;
  while (XCheckTypedWindowEvent(mDisplay, mRequestor, SelectionNotify, &stale)) {
  }
  for (const Atom target : {mUtf8, XA_STRING}) {
    XDeleteProperty(mDisplay, mRequestor, mProperty);
    XConvertSelection(mDisplay, mClipboard, target, mProperty, mRequestor, CurrentTime);
    XFlush(mDisplay);
    XSelectionEvent notify;
    if (!WaitForNotify(target, deadline, &notify)) return false;
    if (notify.property == None) continue;  // this target refused
    std::string bytes;
    if (!ReadProperty(&bytes)) return false;
    *text = target == XA_STRING ? Latin1ToUtf8(bytes) : bytes;
    return true;
  }
  return false;
}

bool X11Clipboard::WaitForNotify(Atom target, long long deadlineMs, XSelectionEvent* notify) {
  for (;;) {
    XEvent event;
    while (XCheckTypedWindowEvent(mDisplay, mRequestor, SelectionNotify, &event)) {
      if (event.xselection.selection == mClipboard && event.xselection.target == target) {
        *notify = event.xselection;
        return true;
      }
    }
    const long long left = deadlineMs - NowMs();
    if (left <= 0) return false;
    pollfd connection = {ConnectionNumber(mDisplay), POLLIN, 0};
    poll(&connection, 1, static_cast<int>(left));
  }
}

bool X11Clipboard::ReadProperty(std::string* bytes) {
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  // The length is in 32-bit units; a clipboard text beyond 4 MiB is not
  // one we want.
  const int status = XGetWindowProperty(mDisplay, mRequestor, mProperty, 0, 1L << 20, True,
                                        AnyPropertyType, &type, &format, &items, &after, &data);
  const bool usable = status == Success && data && type != mIncr && format == 8;
  if (usable) bytes->assign(reinterpret_cast<const char*>(data), items);
  if (data) XFree(data);
  return usable;
}
