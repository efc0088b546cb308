#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "framework/editor/IGraphics.h"
#include "framework/window/BundleFonts.h"
#include "framework/window/BundleImages.h"
#include "framework/window/TextEntryField.h"

class LICE_MemBitmap;

// A window layer without a screen: the editor runs exactly as in a window,
// but the caller ticks the timer, injects the mouse, wheel and key events
// in editor pixels, and scripts the answers to menus, text fields, message
// boxes and file dialogs. What a real layer would put on the screen lands
// in an in-memory "screen" that can be inspected or written to a PNG.
// Tests, snapshots and tools drive the editor through it. [UI thread]
class IGraphicsOffscreen : public IGraphics {
 public:
  // One entry of a menu as the user would see it.
  struct MenuEntry {
    std::string label;  // with the menu's number prefix
    bool separator = false;
    bool title = false;
    bool checked = false;
    bool enabled = true;
    bool submenu = false;
  };

  // The answer to the next menu: item indices from the top menu down
  // through submenus; empty cancels, and so does a separator, a title or a
  // disabled item.
  using MenuPick = std::vector<int>;

  IGraphicsOffscreen(IPlugBase* plug, int w, int h, int fps = 0);
  ~IGraphicsOffscreen() override;

  // ---- The window-layer operations. ----
  bool DrawScreen(IRECT* r) override;
  void ForceEndUserEdit() override;
  void Resize(int w, int h) override;
  const char* GetGUIAPI() override { return "Offscreen"; }
  bool OnScreen() const override { return false; }
  // The next scripted answer, else 1 (the default button).
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* area) override;
  // Opens the field; a scripted text is then typed into it, replacing the
  // initial text, and committed at once.
  void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* initialText,
                       IParam* param) override;
  void HostPath(WDL_String* path) override;
  void PluginPath(WDL_String* path) override;
  void DesktopPath(WDL_String* path) override;
  void AppSupportPath(WDL_String* path, bool isSystem = false) override;
  void SandboxSafeAppSupportPath(WDL_String* path) override;
  // The next scripted path, else a cancelled dialog (empty file).
  void PromptForFile(WDL_String* file, EFileAction action = kFileOpen, WDL_String* dir = nullptr,
                     const char* extensions = "") override;
  bool PromptForColor(IColor* color, const char* prompt = "") override;
  // Records the address; reports success unless told otherwise.
  bool OpenURL(const char* url, const char* windowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errorMsg = nullptr) override;
  // Each opening gives a new view handle, as a window system would, which
  // a host may draw off the screen (platform/NSViewCache.h) while it is open.
  // Null for a parent window, which a view on no screen cannot enter.
  void* OpenWindow(void* parent) override;
  // The Carbon form: a view in the host's window, returned as the control.
  void* OpenWindow(void* window, void* control, short x, short y) override;
  void CloseWindow() override;
  void* GetWindow() override { return mWindow; }
  bool GetTextFromClipboard(WDL_String* text) override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  void UpdateTooltips() override;
  // The PNG of that base name in the plug-in bundle's resources.
  LICE_IBitmap* OSLoadBitmap(int id, const char* name) override;

  // The plug-in's bundle, where its images and fonts are found; the main
  // bundle until set.
  void SetBundleID(const char* bundleID) {
    mImages.SetBundleID(bundleID);
    AddBundleFonts(bundleID);
  }
  const char* GetBundleID() const { return mImages.GetBundleID(); }
  // A folder that holds the images and the fonts folder instead (see
  // BundleImages::SetFolder).
  void SetImageFolder(const char* folder) {
    mImages.SetFolder(folder);
    AddFolderFonts(folder);
  }

  // ---- The caller's side. ----

  // One timer tick: while the window is open, redraws the dirty area.
  // Returns whether anything was drawn.
  bool Tick();
  // Events as a window delivers them (the last position is remembered for
  // keys). A click count of 2 or more is a double-click; drags are not
  // delivered while a text field is open; the wheel discards an open text
  // field first; a click commits it.
  void MouseDown(int x, int y, IMouseMod mod = IMouseMod(true), int clickCount = 1);
  void MouseUp(int x, int y, IMouseMod mod = IMouseMod(true));
  void MouseDrag(int x, int y, IMouseMod mod = IMouseMod(true));
  void MouseMove(int x, int y, IMouseMod mod = IMouseMod());
  void MouseWheel(int x, int y, int delta, IMouseMod mod = IMouseMod());
  // A key of the editor's table at the last mouse position; whether a
  // control took it.
  bool KeyDown(int key);

  void ScriptMenuPick(MenuPick pick) { mMenuPicks.push_back(std::move(pick)); }
  void ScriptTextEntry(std::string text) { mTextAnswers.push_back(std::move(text)); }
  void ScriptMessageBoxAnswer(int answer) { mMessageBoxAnswers.push_back(answer); }
  void ScriptFileChoice(std::string path) { mFileChoices.push_back(std::move(path)); }
  void SetClipboardText(std::string text) { mClipboard = std::move(text); }
  void SetOpenURLResult(bool opens) { mURLsOpen = opens; }

  // The entries of the last menu shown, top level first, then each
  // submenu opened on the way to the pick.
  const std::vector<std::vector<MenuEntry>>& LastMenu() const { return mLastMenu; }
  bool TextEntryOpen() const { return mField.has_value(); }
  // The open field's text, or the empty string.
  const std::string& TextEntryText() const;
  const IRECT& TextEntryRECT() const { return mEditRECT; }
  // Keys typed into the open field, each judged as it is typed; false when
  // there is no field or one was refused.
  bool TypeText(const std::string& text);
  bool PressBackspace();
  void MoveTextCaret(int characters);
  // Ends the open field as Return does, applying its text.
  void PressReturn();
  const std::vector<std::string>& OpenedURLs() const { return mOpenedURLs; }
  const std::vector<std::string>& MessageBoxes() const { return mMessageBoxes; }

  // What the last screen copy showed; null before the first.
  const LICE_IBitmap* Screen() const;
  int ScreenCopies() const { return mScreenCopies; }
  // The screen as an opaque PNG; false when there is none or it cannot be
  // written.
  bool WriteScreenPNG(const char* path) const;

 private:
  // Gives the open view's drawing, at the editor's size, to hosts.
  void OfferCacheDisplay();
  IPopupMenu* RunMenu(IPopupMenu* menu, const MenuPick& pick, size_t depth);
  void EndTextEntry(bool commit);

  BundleImages mImages;
  bool mOpen = false;
  void* mWindow = nullptr;
  // Area the window must repaint whether or not a control is dirty.
  IRECT mInvalid;
  LICE_MemBitmap* mScreen = nullptr;
  int mScreenCopies = 0;
  int mPrevX = 0;
  int mPrevY = 0;

  std::optional<TextEntryField> mField;
  IControl* mEditControl = nullptr;
  IParam* mEditParam = nullptr;
  IRECT mEditRECT;

  std::deque<MenuPick> mMenuPicks;
  std::deque<std::string> mTextAnswers;
  std::deque<int> mMessageBoxAnswers;
  std::deque<std::string> mFileChoices;
  std::string mClipboard;
  std::vector<std::vector<MenuEntry>> mLastMenu;
  std::vector<std::string> mOpenedURLs;
  bool mURLsOpen = true;
  std::vector<std::string> mMessageBoxes;
};
