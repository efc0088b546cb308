#pragma once

// A host's own top-level window on the X display, holding a plug-in's view
// (a window of that display, as a view factory hands it out), sized as the
// view is and not resizable. Closing it destroys the view inside, which the
// editor takes as the host removing it. Declared without Xlib, so that a
// host shows a view without knowing the window layer's backend.
// [UI thread]
class X11HostWindow {
 public:
  // Connects to the display $DISPLAY names; see Connected.
  X11HostWindow();
  // Destroys the window, then closes the connection.
  ~X11HostWindow();
  X11HostWindow(const X11HostWindow&) = delete;
  X11HostWindow& operator=(const X11HostWindow&) = delete;

  bool Connected() const { return mDisplay != nullptr; }
  // Puts the view into a new window of that title and shows it; false when
  // the view is no window of this display.
  bool Show(void* view, const char* title);
  // Shows an empty window of that size, for a user interface that puts its
  // view into the parent it is given (an LV2 user interface's parent); false
  // without a display.
  bool ShowEmpty(int width, int height, const char* title);
  // The shown window, as the parent a user interface is given; null when
  // none is shown.
  void* Handle() const;
  // Waits until the display has done what it was asked.
  void Sync();
  // The pixels the window shows that are not black, its views' included;
  // 0 when none is shown.
  long LitPixels() const;
  // Shown, and not yet closed by the user or by Close.
  bool IsOpen() const { return mWindow != 0; }
  // Takes what the display sent: the user's request to close the window
  // closes it.
  void HandlePendingEvents();
  void Close();

 private:
  // A new window of the host's on the screen of that root window, not yet
  // shown, in place of any before.
  void Create(unsigned long root, unsigned width, unsigned height, const char* title);

  struct _XDisplay* mDisplay;
  unsigned long mWindow = 0;
  unsigned long mDeleteWindow = 0;
};
