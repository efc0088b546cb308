#include "framework/window/offscreen/IGraphicsOffscreen.h"

#include <atomic>
#include <cstring>

#include "framework/editor/IControl.h"
#include "framework/editor/IKeyCodes.h"
#include "framework/editor/IPopupMenu.h"
#include "framework/window/BundleImages.h"
#include "framework/window/UserPaths.h"
#include "platform/NSViewCache.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_SysBitmap.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_blit.h"
#include "raster/lice_png.h"

namespace {

// Handles unique in the process, as a window system's are, so that the
// views of two editors never share one.
std::atomic<uintptr_t> gViewsOpened{0};

// A host's picture of the view: the whole editor, drawn afresh.
Boolean CacheDisplay(void* info, NSBitmapImageRep* rep) {
  auto* graphics = static_cast<IGraphicsOffscreen*>(info);
  IRECT whole(0, 0, graphics->Width(), graphics->Height());
  graphics->Draw(&whole);
  const LICE_SysBitmap* drawn = graphics->GetDrawBitmap();
  if (!drawn || drawn->getWidth() != rep->pixelsWide || drawn->getHeight() != rep->pixelsHigh)
    return false;
  // The raster's pixels are the bitmap's: alpha first, a byte each.
  const size_t rowBytes = static_cast<size_t>(rep->pixelsWide) * sizeof(LICE_pixel);
  for (int y = 0; y < rep->pixelsHigh; ++y)
    std::memcpy(
        rep->bitmapData + static_cast<size_t>(y) * static_cast<size_t>(rep->bytesPerRow),
        drawn->getBits() + static_cast<size_t>(y) * static_cast<size_t>(drawn->getRowSpan()),
        rowBytes);
  return true;
}

}  // namespace

IGraphicsOffscreen::IGraphicsOffscreen(IPlugBase* plug, int w, int h, int fps)
    : IGraphics(plug, w, h, fps) {}

IGraphicsOffscreen::~IGraphicsOffscreen() {
  CloseWindow();
  delete mScreen;
}

bool IGraphicsOffscreen::DrawScreen(IRECT* r) {
  const LICE_SysBitmap* drawn = GetDrawBitmap();
  if (!drawn) return false;
  // Like a window, the screen keeps what it showed outside the area
  // redrawn; a new or resized screen takes the whole editor.
  if (!mScreen) mScreen = new LICE_MemBitmap();
  if (!r || mScreen->getWidth() != drawn->getWidth() ||
      mScreen->getHeight() != drawn->getHeight()) {
    LICE_Copy(mScreen, drawn);
  } else {
    const IRECT area = r->Intersect(IRECT(0, 0, Width(), Height()));
    LICE_Blit(mScreen, drawn, area.L, area.T, area.L, area.T, area.W(), area.H(), 1.0f,
              LICE_BLIT_MODE_COPY);
  }
  ++mScreenCopies;
  return true;
}

void IGraphicsOffscreen::ForceEndUserEdit() {
  EndTextEntry(false);
}

void IGraphicsOffscreen::Resize(int w, int h) {
  if (w == Width() && h == Height()) return;
  IGraphics::Resize(w, h);
  if (mOpen) OfferCacheDisplay();
}

void IGraphicsOffscreen::OfferCacheDisplay() {
  NSViewSetCacheDisplay(mWindow,
                        NSSize{static_cast<double>(Width()), static_cast<double>(Height())},
                        CacheDisplay, this);
}

int IGraphicsOffscreen::ShowMessageBox(const char* text, const char* caption, int) {
  mMessageBoxes.push_back(std::string(caption ? caption : "") + ": " + (text ? text : ""));
  if (mMessageBoxAnswers.empty()) return 1;
  const int answer = mMessageBoxAnswers.front();
  mMessageBoxAnswers.pop_front();
  return answer;
}

IPopupMenu* IGraphicsOffscreen::CreateIPopupMenu(IPopupMenu* menu, IRECT*) {
  // The menu takes the button-up, so the control loses the mouse now.
  ReleaseMouseCapture();
  mLastMenu.clear();
  if (!menu) return nullptr;
  MenuPick pick;
  if (!mMenuPicks.empty()) {
    pick = std::move(mMenuPicks.front());
    mMenuPicks.pop_front();
  }
  return RunMenu(menu, pick, 0);
}

IPopupMenu* IGraphicsOffscreen::RunMenu(IPopupMenu* menu, const MenuPick& pick, size_t depth) {
  std::vector<MenuEntry> shown;
  for (int i = 0; i < menu->GetNItems(); ++i) {
    const IPopupMenuItem* item = menu->GetItem(i);
    WDL_String label;
    menu->GetItemLabel(i, &label);
    MenuEntry entry;
    entry.label = label.Get();
    entry.separator = item->GetIsSeparator();
    entry.title = item->GetIsTitle();
    entry.checked = item->GetChecked();
    entry.enabled = item->GetEnabled();
    entry.submenu = item->GetSubmenu() != nullptr;
    shown.push_back(std::move(entry));
  }
  mLastMenu.push_back(std::move(shown));

  if (depth >= pick.size()) return nullptr;  // closed without a pick
  const int idx = pick[depth];
  const IPopupMenuItem* item = menu->GetItem(idx);
  if (!item) return nullptr;
  if (IPopupMenu* submenu = item->GetSubmenu()) return RunMenu(submenu, pick, depth + 1);
  // Separators, titles and disabled entries cannot be picked, as on a
  // screen; a path that goes on past a plain entry names nothing.
  if (item->GetIsSeparator() || item->GetIsTitle() || !item->GetEnabled() ||
      depth + 1 != pick.size()) {
    return nullptr;
  }
  menu->SetChosenItemIdx(idx);
  return menu;
}

void IGraphicsOffscreen::CreateTextEntry(IControl* control, IText*, IRECT* textRect,
                                         const char* initialText, IParam* param) {
  if (!control || mField) return;
  mField.emplace(initialText, param, control->GetTextEntryLength());
  mEditControl = control;
  mEditParam = param;
  mEditRECT = textRect ? *textRect : IRECT();
  if (!mTextAnswers.empty()) {
    const std::string answer = std::move(mTextAnswers.front());
    mTextAnswers.pop_front();
    mField->Clear();
    TypeText(answer);
    PressReturn();
  }
}

const std::string& IGraphicsOffscreen::TextEntryText() const {
  static const std::string kNone;
  return mField ? mField->Text() : kNone;
}

bool IGraphicsOffscreen::TypeText(const std::string& text) {
  if (!mField) return false;
  bool allTaken = true;
  for (const char c : text)
    allTaken &= mField->Insert(std::string(1, c));
  return allTaken;
}

bool IGraphicsOffscreen::PressBackspace() {
  return mField && mField->Backspace();
}

void IGraphicsOffscreen::MoveTextCaret(int characters) {
  if (mField) mField->MoveCaret(characters);
}

void IGraphicsOffscreen::PressReturn() {
  EndTextEntry(true);
}

void IGraphicsOffscreen::EndTextEntry(bool commit) {
  if (!mField) return;
  IControl* control = mEditControl;
  IParam* param = mEditParam;
  const std::string text = mField->Text();
  // Forget the field first: applying the text may close the editor.
  mField.reset();
  mEditControl = nullptr;
  mEditParam = nullptr;
  if (commit) {
    if (param) {
      SetFromStringAfterPrompt(control, param, text.c_str());
    } else {
      control->TextFromTextEntry(text.c_str());
    }
  }
  // The whole editor is repainted on the next tick.
  mInvalid = IRECT(0, 0, Width(), Height());
}

void IGraphicsOffscreen::HostPath(WDL_String* path) {
  BundleExecutablePath(path);
}

void IGraphicsOffscreen::PluginPath(WDL_String* path) {
  BundleFolderPath(path);
}

void IGraphicsOffscreen::DesktopPath(WDL_String* path) {
  UserDesktopPath(path);
}

void IGraphicsOffscreen::AppSupportPath(WDL_String* path, bool isSystem) {
  ApplicationDataPath(path, isSystem);
}

void IGraphicsOffscreen::SandboxSafeAppSupportPath(WDL_String* path) {
  UserMusicPath(path);
}

void IGraphicsOffscreen::PromptForFile(WDL_String* file, EFileAction, WDL_String* dir,
                                       const char*) {
  if (!file) return;
  file->Set("");
  if (!mOpen) return;
  if (dir && !dir->Get()[0]) UserDesktopPath(dir);
  if (mFileChoices.empty()) return;
  const std::string chosen = std::move(mFileChoices.front());
  mFileChoices.pop_front();
  file->Set(chosen.c_str());
  const size_t slash = chosen.rfind('/');
  if (dir && slash != std::string::npos) dir->Set(chosen.c_str(), static_cast<int>(slash + 1));
}

bool IGraphicsOffscreen::PromptForColor(IColor*, const char*) {
  return false;
}

bool IGraphicsOffscreen::OpenURL(const char* url, const char*, const char*, const char*) {
  mOpenedURLs.emplace_back(url ? url : "");
  return mURLsOpen;
}

void* IGraphicsOffscreen::OpenWindow(void* parent) {
  // A view on no screen cannot go into a window of the host's: refused, as
  // a window layer refuses a parent it cannot reach.
  if (parent || !DecodeImages()) return nullptr;
  CloseWindow();
  mOpen = true;
  mWindow = reinterpret_cast<void*>(++gViewsOpened);
  OfferCacheDisplay();
  // A new window shows the whole editor.
  mInvalid = IRECT(0, 0, Width(), Height());
  UpdateTooltips();
  return mWindow;
}

void* IGraphicsOffscreen::OpenWindow(void* window, void*, short, short) {
  return OpenWindow(window);
}

void IGraphicsOffscreen::CloseWindow() {
  EndTextEntry(false);
  if (!mOpen) return;
  mOpen = false;
  NSViewSetCacheDisplay(mWindow, NSSize{0, 0}, nullptr, nullptr);
  mWindow = nullptr;
  WindowClosed();
}

bool IGraphicsOffscreen::GetTextFromClipboard(WDL_String* text) {
  if (!text) return false;
  text->Set(mClipboard.c_str());
  return !mClipboard.empty();
}

void IGraphicsOffscreen::HideMouseCursor() {
  if (mCursorHidden) return;
  mCursorHidden = true;
  mHiddenMousePointX = mPrevX;
  mHiddenMousePointY = mPrevY;
}

void IGraphicsOffscreen::ShowMouseCursor() {
  if (!mCursorHidden) return;
  mCursorHidden = false;
  mPrevX = mHiddenMousePointX;
  mPrevY = mHiddenMousePointY;
}

// Without a screen there is nowhere to show tooltips.
void IGraphicsOffscreen::UpdateTooltips() {}

LICE_IBitmap* IGraphicsOffscreen::OSLoadBitmap(int, const char* name) {
  return mImages.Load(name);
}

bool IGraphicsOffscreen::Tick() {
  if (!mOpen) return false;
  IRECT r = mInvalid;
  mInvalid = IRECT();
  const bool dirty = IsDirty(&r);
  if (!dirty && r.Empty()) return false;
  return Draw(&r);
}

void IGraphicsOffscreen::MouseDown(int x, int y, IMouseMod mod, int clickCount) {
  if (mField) {
    // A click in the field edits it; a click elsewhere ends the edit.
    if (mEditRECT.Contains(x, y)) return;
    EndTextEntry(true);
  }
  mPrevX = x;
  mPrevY = y;
  if (clickCount >= 2) {
    OnMouseDblClick(x, y, &mod);
  } else {
    OnMouseDown(x, y, &mod);
  }
}

void IGraphicsOffscreen::MouseUp(int x, int y, IMouseMod mod) {
  mPrevX = x;
  mPrevY = y;
  OnMouseUp(x, y, &mod);
}

void IGraphicsOffscreen::MouseDrag(int x, int y, IMouseMod mod) {
  if (mField) return;
  mPrevX = x;
  mPrevY = y;
  OnMouseDrag(x, y, &mod);
}

void IGraphicsOffscreen::MouseMove(int x, int y, IMouseMod mod) {
  mPrevX = x;
  mPrevY = y;
  OnMouseOver(x, y, &mod);
}

void IGraphicsOffscreen::MouseWheel(int x, int y, int delta, IMouseMod mod) {
  EndTextEntry(false);
  OnMouseWheel(x, y, &mod, delta);
}

bool IGraphicsOffscreen::KeyDown(int key) {
  if (key < kKeySpace || key > kKeyLetterZ) return false;
  return OnKeyDown(mPrevX, mPrevY, key);
}

const LICE_IBitmap* IGraphicsOffscreen::Screen() const {
  return mScreen;
}

bool IGraphicsOffscreen::WriteScreenPNG(const char* path) const {
  return mScreen && LICE_WritePNG(path, mScreen, false);
}
