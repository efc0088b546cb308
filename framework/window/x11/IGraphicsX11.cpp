#include "framework/window/x11/IGraphicsX11.h"

#include <cstdint>

#include "framework/editor/IControl.h"
#include "framework/plugin/IPlugBase.h"
#include "framework/window/x11/ProgramLauncher.h"
#include "raster/LICE_SysBitmap.h"

// Xlib last: its macros must not reach the framework's headers.
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include "framework/window/x11/X11Connection.h"
#include "framework/window/x11/X11ImageWriter.h"
#include "framework/window/x11/X11ModalWindow.h"
#include "framework/window/x11/X11TextField.h"
#include "framework/window/x11/X11Tooltip.h"
// clang-format on

// Marks one of our callbacks as running, so that a close asked for inside
// it frees the window only once the outermost one has returned.
class IGraphicsX11::Busy {
 public:
  explicit Busy(IGraphicsX11* owner) : mOwner(owner) { ++mOwner->mBusy; }
  ~Busy() {
    if (--mOwner->mBusy == 0) mOwner->ReleaseIfClosing();
  }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  IGraphicsX11* mOwner;
};

IGraphicsX11::IGraphicsX11(IPlugBase* plug, int w, int h, IEventLoop& loop, int fps)
    : IGraphics(plug, w, h, fps), mLoop(loop), mTooltipCountdown(FPS()) {}

IGraphicsX11::~IGraphicsX11() {
  CloseWindow();
  Release();
}

bool IGraphicsX11::DisplayNamed() {
  return X11Connection::DisplayNamed();
}

void* IGraphicsX11::OpenWindow(void* parent) {
  if (!DecodeImages()) return nullptr;
  CloseWindow();
  Release();
  mConnection = X11Connection::Open(
      mLoop, [this] { PumpEvents(); },
      [this](const XErrorEvent& error) { HandleError(error.error_code, error.resourceid); });
  if (!mConnection) return nullptr;
  Display* display = mConnection->GetDisplay();
  mScale = mConnection->Scale();
  const Window root = RootWindow(display, mConnection->Screen());
  mParent = parent ? static_cast<Window>(reinterpret_cast<uintptr_t>(parent)) : root;

  // The view shares its parent's visual, whatever the default one is.
  XWindowAttributes parentAttributes;
  if (!XGetWindowAttributes(display, mParent, &parentAttributes)) {
    mConnection.reset();
    mParent = 0;
    return nullptr;
  }
  XSetWindowAttributes attributes = {};
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          LeaveWindowMask | KeyPressMask | StructureNotifyMask | FocusChangeMask;
  attributes.background_pixel = BlackPixel(display, mConnection->Screen());
  attributes.colormap = parentAttributes.colormap;
  mView = XCreateWindow(display, mParent, 0, 0, static_cast<unsigned>(Width() * mScale),
                        static_cast<unsigned>(Height() * mScale), 0, parentAttributes.depth,
                        InputOutput, parentAttributes.visual,
                        CWEventMask | CWBackPixel | CWColormap, &attributes);
  mGC = XCreateGC(display, mView, 0, nullptr);
  mWriter =
      std::make_unique<X11ImageWriter>(display, parentAttributes.visual, parentAttributes.depth);
  if (mParent == root) {
    // A window of its own (a stand-alone tool): named, fixed in size, and
    // closed by the window manager's close button.
    const char* name = GetPlug() ? GetPlug()->GetEffectName() : "Editor";
    XStoreName(display, mView, name);
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = Width() * mScale;
    hints->min_height = hints->max_height = Height() * mScale;
    XSetWMNormalHints(display, mView, hints);
    XFree(hints);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, mView, &deleteWindow, 1);
    mDeleteWindow = deleteWindow;
  }
  XMapWindow(display, mView);
  XFlush(display);

  mOpen = true;
  mViewGone = false;
  mClicks.Reset();
  mInvalid = IRECT(0, 0, Width(), Height());
  mTimer = mLoop.AddTimer(1.0 / FPS(), [this] { Tick(); });
  UpdateTooltips();
  return GetWindow();
}

void* IGraphicsX11::OpenWindow(void* window, void*, short, short) {
  return OpenWindow(window);
}

void IGraphicsX11::CloseWindow() {
  if (!mOpen) return;
  EndTextEntry(false);
  HideTooltip();
  // A cursor hidden for a drag must not stay hidden with the window gone.
  ShowMouseCursor();
  mOpen = false;
  WindowClosed();
  if (mTimer) {
    mLoop.Remove(mTimer);
    mTimer = 0;
  }
  if (mConnection && !mViewGone) XUnmapWindow(mConnection->GetDisplay(), mView);
  ReleaseIfClosing();
}

void IGraphicsX11::ReleaseIfClosing() {
  if (!mOpen && mBusy == 0 && mConnection) Release();
}

void IGraphicsX11::Release() {
  if (!mConnection) return;
  Display* display = mConnection->GetDisplay();
  mTextField.reset();
  mTooltip.reset();
  if (mBlankCursor) XFreeCursor(display, mBlankCursor);
  if (mGC) XFreeGC(display, mGC);
  if (mView && !mViewGone) XDestroyWindow(display, mView);
  mBlankCursor = 0;
  mGC = nullptr;
  mView = 0;
  mWriter.reset();
  mConnection.reset();  // closing the display flushes what is left
  mModal = nullptr;
}

void* IGraphicsX11::GetWindow() {
  return mOpen ? reinterpret_cast<void*>(static_cast<uintptr_t>(mView)) : nullptr;
}

_XDisplay* IGraphicsX11::GetDisplay() const {
  return mConnection ? mConnection->GetDisplay() : nullptr;
}

const char* IGraphicsX11::GetGUIAPI() {
  return mOpen ? "X11 GUI" : "Headless GUI";
}

void IGraphicsX11::Tick() {
  Busy busy(this);
  // Events Xlib has already read would otherwise wait for the next wake.
  PumpEvents();
  if (!mOpen) return;
  Paint();
  TooltipTick();
  program_launcher::ReapFinished();
}

void IGraphicsX11::Paint() {
  if (!mOpen || mViewGone) return;
  IRECT r = mInvalid;
  mInvalid = IRECT();
  if (!IsDirty(&r) && r.Empty()) return;
  Draw(&r);
  XFlush(mConnection->GetDisplay());
}

bool IGraphicsX11::DrawScreen(IRECT* r) {
  const LICE_SysBitmap* bitmap = GetDrawBitmap();
  if (!mOpen || mViewGone || !bitmap || !r) return false;
  const IRECT area = r->Intersect(IRECT(0, 0, Width(), Height()));
  return mWriter->Put(mView, mGC, *bitmap, area.L, area.T, area.W(), area.H(), mScale);
}

void IGraphicsX11::PumpEvents() {
  if (!mConnection) return;
  Busy busy(this);
  Display* display = mConnection->GetDisplay();
  // Stops as soon as the view closes: what is left belongs to no window.
  while (mOpen && !mViewGone && XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    HandleEvent(event);
  }
  // An error may have told us the parent is gone.
  if (mOpen && mViewGone) CloseWindow();
}

void IGraphicsX11::HandleEvent(XEvent& event) {
  if (event.xany.window == mView) {
    switch (event.type) {
      case Expose: {
        const IRECT exposed(
            X11ToEditor(event.xexpose.x, mScale), X11ToEditor(event.xexpose.y, mScale),
            X11ToEditor(event.xexpose.x + event.xexpose.width + mScale - 1, mScale),
            X11ToEditor(event.xexpose.y + event.xexpose.height + mScale - 1, mScale));
        mInvalid = mInvalid.Union(exposed);
        if (event.xexpose.count == 0) Paint();
        return;
      }
      case DestroyNotify:
        if (event.xdestroywindow.window == mView) {
          // The host destroyed our parent, and with it the view.
          mViewGone = true;
          CloseWindow();
        }
        return;
      case ClientMessage:
        if (mDeleteWindow && static_cast<Atom>(event.xclient.data.l[0]) == mDeleteWindow)
          CloseWindow();
        return;
      default:
        break;
    }
  }
  if (HandleOwnWindowEvent(event)) return;
  if (mModal) {
    mModal->HandleEvent(event);
    return;
  }
  if (event.xany.window != mView) return;
  switch (event.type) {
    case ButtonPress:
      HandleButtonPress(event);
      break;
    case ButtonRelease:
      HandleButtonRelease(event);
      break;
    case MotionNotify:
      HandleMotion(event);
      break;
    case LeaveNotify:
      // Moving into a child of ours (the text field) is not leaving.
      if (event.xcrossing.mode == NotifyNormal && event.xcrossing.detail != NotifyInferior)
        OnMouseOut();
      break;
    case KeyPress:
      HandleKeyPress(event);
      break;
    default:
      break;
  }
}

void IGraphicsX11::HandleButtonPress(XEvent& xevent) {
  const XButtonEvent& event = xevent.xbutton;
  const int x = X11ToEditor(event.x, mScale), y = X11ToEditor(event.y, mScale);
  if (event.button == Button4 || event.button == Button5) {
    // The wheel: never a press. It discards a field being edited first.
    IMouseMod mod = X11MouseMod(event.state, X11Button::kNone);
    EndTextEntry(false);
    OnMouseWheel(x, y, &mod, event.button == Button4 ? 1 : -1);
    return;
  }
  if (event.button != Button1 && event.button != Button3) return;
  if (mTooltipCountdown.Cancel() == TooltipCountdown::kHide) HideTooltip();
  // Keys go to the editor once it has been clicked, as in any window.
  XSetInputFocus(mConnection->GetDisplay(), mView, RevertToParent, event.time);
  // A click outside the field (the field has a window of its own) ends the
  // edit and keeps its text.
  EndTextEntry(true);
  mPrevX = x;
  mPrevY = y;
  if (event.button == Button3) {
    mClicks.Reset();  // a right double-click is not told apart
    IMouseMod mod = X11MouseMod(event.state, X11Button::kRight);
    OnMouseDown(x, y, &mod);
    return;
  }
  IMouseMod mod = X11MouseMod(event.state, X11Button::kLeft);
  if (mClicks.Press(event.button, event.time, event.x, event.y) >= 2) {
    OnMouseDblClick(x, y, &mod);
  } else {
    OnMouseDown(x, y, &mod);
  }
}

void IGraphicsX11::HandleButtonRelease(XEvent& xevent) {
  const XButtonEvent& event = xevent.xbutton;
  if (event.button != Button1 && event.button != Button3) return;
  const int x = X11ToEditor(event.x, mScale), y = X11ToEditor(event.y, mScale);
  mPrevX = x;
  mPrevY = y;
  IMouseMod mod =
      X11MouseMod(event.state, event.button == Button1 ? X11Button::kLeft : X11Button::kRight);
  OnMouseUp(x, y, &mod);
}

void IGraphicsX11::HandleMotion(XEvent& xevent) {
  XMotionEvent& event = xevent.xmotion;
  // Only the latest position of a burst matters. The burst ends at the
  // first other event: skipping motion past a button press or release
  // would turn a drag into a click.
  Display* display = mConnection->GetDisplay();
  while (XPending(display)) {
    XEvent next;
    XPeekEvent(display, &next);
    if (next.type != MotionNotify || next.xany.window != mView) break;
    XNextEvent(display, &next);
    event = next.xmotion;
  }
  const int x = X11ToEditor(event.x, mScale), y = X11ToEditor(event.y, mScale);
  if (event.state & (Button1Mask | Button3Mask)) {
    if (TextEntryOpen()) return;
    mPrevX = x;
    mPrevY = y;
    IMouseMod mod = X11MouseMod(event.state,
                                (event.state & Button1Mask) ? X11Button::kLeft : X11Button::kRight);
    OnMouseDrag(x, y, &mod);
    return;
  }
  mPrevX = x;
  mPrevY = y;
  IMouseMod mod = X11MouseMod(event.state, X11Button::kNone);
  OnMouseOver(x, y, &mod);
  TooltipMouseOver();
}

void IGraphicsX11::HandleKeyPress(XEvent& xevent) {
  XKeyEvent& event = xevent.xkey;
  KeySym keysym = NoSymbol;
  char typed[16];
  XLookupString(&event, typed, sizeof typed, &keysym, nullptr);
  const int key = X11KeyForKeysym(keysym);
  if (key >= 0 && OnKeyDown(mPrevX, mPrevY, key)) return;
  // Everything else belongs to the host, as the next responder would get
  // it on a Mac.
  if (mParent == RootWindow(mConnection->GetDisplay(), mConnection->Screen())) return;
  XKeyEvent forwarded = event;
  forwarded.window = mParent;
  forwarded.subwindow = 0;
  XSendEvent(mConnection->GetDisplay(), mParent, False, KeyPressMask,
             reinterpret_cast<XEvent*>(&forwarded));
}

void IGraphicsX11::HandleError(unsigned char errorCode, unsigned long resource) {
  // Only our own windows matter: a parent that is gone means the view went
  // with it. Anything else is the price of racing the host, and ignored.
  if ((errorCode == BadWindow || errorCode == BadDrawable) &&
      (resource == mView || resource == mParent)) {
    mViewGone = true;
    // Closed at the next event or tick: no Xlib call may come from here.
    mInvalid = IRECT();
  }
}

void IGraphicsX11::RunModal(X11ModalWindow& modal) {
  Busy busy(this);
  X11ModalWindow* outer = mModal;
  mModal = &modal;
  while (mOpen && !mViewGone && !modal.Finished()) {
    PumpEvents();
    if (!mOpen || mViewGone || modal.Finished()) break;
    mLoop.RunFor(0.1);
  }
  mModal = outer;
  if (mViewGone) CloseWindow();
}

void IGraphicsX11::ForceEndUserEdit() {
  EndTextEntry(false);
}

void IGraphicsX11::Resize(int w, int h) {
  if (w == Width() && h == Height()) return;
  IGraphics::Resize(w, h);
  if (!mOpen || mViewGone) return;
  XResizeWindow(mConnection->GetDisplay(), mView, static_cast<unsigned>(Width() * mScale),
                static_cast<unsigned>(Height() * mScale));
  mInvalid = IRECT(0, 0, Width(), Height());
}

void IGraphicsX11::HideMouseCursor() {
  if (mCursorHidden || !mOpen || mViewGone) return;
  Display* display = mConnection->GetDisplay();
  if (!mBlankCursor) {
    static const char kNoBits[1] = {0};
    const Pixmap blank = XCreateBitmapFromData(display, mView, kNoBits, 1, 1);
    XColor black = {};
    mBlankCursor = XCreatePixmapCursor(display, blank, blank, &black, &black, 0, 0);
    XFreePixmap(display, blank);
  }
  Window root, child;
  int rootX, rootY, x, y;
  unsigned int state;
  if (!XQueryPointer(display, mView, &root, &child, &rootX, &rootY, &x, &y, &state)) return;
  XDefineCursor(display, mView, mBlankCursor);
  XFlush(display);
  mHiddenMousePointX = rootX;
  mHiddenMousePointY = rootY;
  mCursorHidden = true;
}

void IGraphicsX11::ShowMouseCursor() {
  if (!mCursorHidden) return;
  mCursorHidden = false;
  if (!mConnection) return;
  Display* display = mConnection->GetDisplay();
  XWarpPointer(display, 0, RootWindow(display, mConnection->Screen()), 0, 0, 0, 0,
               mHiddenMousePointX, mHiddenMousePointY);
  if (!mViewGone) XUndefineCursor(display, mView);
  XFlush(display);
}
