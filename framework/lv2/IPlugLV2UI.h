#pragma once

#include <cstdint>
#include <memory>

#include "framework/lv2/LV2Identity.h"
#include "framework/lv2/LV2UIHost.h"
#include "lv2/ui/ui.h"

class IPlugLV2;
class IdleEventLoop;

// The user interface: a plug-in instance of its own that carries the
// editor, embedded in the host's window (ui:parent) or, through the show
// interface, in a window of its own. The host's idle calls drive it: each
// is one pass of the editor's own loop, where its redraw timer and display
// connection live; nothing else turns that loop. Parameter gestures go out as port writes
// with touch notifications; port events move the controls, and the display
// outputs move their displays. [UI thread]
class IPlugLV2UI {
 public:
  // The descriptor of the user interface; null past index 0.
  static const LV2UI_Descriptor* Descriptor(const LV2Identity& identity, uint32_t index);

  // loop is the one plug's editor was made with.
  IPlugLV2UI(std::unique_ptr<IdleEventLoop> loop, std::unique_ptr<IPlugLV2> plug,
             const LV2UIHost& host);
  ~IPlugLV2UI();

  IPlugLV2UI(const IPlugLV2UI&) = delete;
  IPlugLV2UI& operator=(const IPlugLV2UI&) = delete;

  // Opens the editor in the host's window, when the host gave one; false
  // when there is no editor or no screen.
  bool Embed();
  // The open view's window id.
  LV2UI_Widget Widget() const;
  // A control port's value (in its own units) or a display output's.
  void PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer);
  // 0 while the view is open; 1 once it is gone (closed by the user or
  // with its parent), after which the host stops calling.
  int Idle();
  // A window of the user interface's own; 0 on success.
  int Show();
  int Hide();

 private:
  // Declared first: the editor leaves the loop as the plug-in goes.
  std::unique_ptr<IdleEventLoop> mLoop;
  std::unique_ptr<IPlugLV2> mPlug;
  LV2UIHost mHost;
};
