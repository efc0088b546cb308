#include "framework/window/x11/X11Connection.h"

#include <X11/Xresource.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Xlib's error handler is one per process; it finds the connection the
// error came in on here.
std::vector<X11Connection*>& Connections() {
  static std::vector<X11Connection*> connections;
  return connections;
}

XErrorHandler gPreviousHandler = nullptr;
bool gHandlerInstalled = false;

int ScaleOf(Display* display) {
  if (const char* forced = std::getenv("MORVEX_UI_SCALE")) {
    if (std::strcmp(forced, "2") == 0) return 2;
    if (std::strcmp(forced, "1") == 0) return 1;
  }
  const char* resources = XResourceManagerString(display);
  if (!resources) return 1;
  XrmInitialize();
  XrmDatabase database = XrmGetStringDatabase(resources);
  if (!database) return 1;
  char* type = nullptr;
  XrmValue value;
  int scale = 1;
  if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr &&
      std::atof(value.addr) >= 192.0) {
    scale = 2;
  }
  XrmDestroyDatabase(database);
  return scale;
}

}  // namespace

bool X11Connection::DisplayNamed() {
  const char* name = std::getenv("DISPLAY");
  return name && *name;
}

std::unique_ptr<X11Connection> X11Connection::Open(IEventLoop& loop, InputHandler input,
                                                   ErrorHandler error) {
  if (!DisplayNamed()) return nullptr;
  Display* display = XOpenDisplay(std::getenv("DISPLAY"));
  if (!display) return nullptr;
  return std::unique_ptr<X11Connection>(
      new X11Connection(display, loop, std::move(input), std::move(error)));
}

X11Connection::X11Connection(Display* display, IEventLoop& loop, InputHandler input,
                             ErrorHandler error)
    : mDisplay(display), mInput(std::move(input)), mError(std::move(error)), mLoop(loop) {
  if (!gHandlerInstalled) {
    gPreviousHandler = XSetErrorHandler(OnError);
    gHandlerInstalled = true;
  }
  Connections().push_back(this);
  mScale = ScaleOf(display);

  mWatch = mLoop.AddWatch(
      ConnectionNumber(display),
      [this] {
        // A copy: the handler may close the window, and this connection
        // with it.
        const InputHandler handler = mInput;
        handler();
      },
      [this] { return XPending(mDisplay) > 0; });
}

X11Connection::~X11Connection() {
  // Errors about requests still in flight (a window the host destroyed
  // first) must reach our handler, not Xlib's, which ends the process.
  XSync(mDisplay, False);
  mLoop.Remove(mWatch);
  std::vector<X11Connection*>& connections = Connections();
  for (size_t i = 0; i < connections.size(); ++i) {
    if (connections[i] == this) {
      connections.erase(connections.begin() + static_cast<long>(i));
      break;
    }
  }
  XCloseDisplay(mDisplay);
  // With no window left, the host gets its own handler back, so that none
  // of ours is called once the plug-in's library is unloaded. One a host
  // installed after ours stays.
  if (connections.empty() && gHandlerInstalled) {
    const XErrorHandler current = XSetErrorHandler(gPreviousHandler);
    if (current != OnError) XSetErrorHandler(current);
    gPreviousHandler = nullptr;
    gHandlerInstalled = false;
  }
}

int X11Connection::OnError(Display* display, XErrorEvent* event) {
  for (X11Connection* connection : Connections()) {
    if (connection->mDisplay == display) {
      if (connection->mError) connection->mError(*event);
      return 0;
    }
  }
  return gPreviousHandler ? gPreviousHandler(display, event) : 0;
}
