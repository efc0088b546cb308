#include "framework/lv2/IPlugLV2UI.h"

#include <cmath>
#include <cstring>
#include <string>

#include "framework/lv2/IPlugLV2.h"
#include "framework/lv2/IdleEventLoop.h"
#include "framework/lv2/MakePlug.h"

namespace {
IPlugLV2UI* UI(LV2UI_Handle handle) {
  return static_cast<IPlugLV2UI*>(handle);
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char*, const char* bundlePath,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
  auto loop = std::make_unique<IdleEventLoop>();
  IPlugInstanceInfo info;
  info.mResourceFolder.Set(bundlePath ? bundlePath : "");
  info.mEventLoop = loop.get();
  std::unique_ptr<IPlugLV2> plug(MakePlug(info));
  // Without its images the editor was dropped: there is nothing to show.
  // Without a display its views go on no screen, where an X11 user
  // interface cannot be.
  IPlugEditor* editor = plug ? plug->DemandGUI() : nullptr;
  if (!editor || !editor->OnScreen()) return nullptr;
  auto ui = std::make_unique<IPlugLV2UI>(std::move(loop), std::move(plug),
                                         LV2UIHost(write, controller, features));
  if (!ui->Embed()) return nullptr;
  if (widget) *widget = ui->Widget();
  return ui.release();
}

void Cleanup(LV2UI_Handle handle) {
  delete UI(handle);
}

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t bufferSize, uint32_t format,
               const void* buffer) {
  UI(handle)->PortEvent(port, bufferSize, format, buffer);
}

int Idle(LV2UI_Handle handle) {
  return UI(handle)->Idle();
}

int Show(LV2UI_Handle handle) {
  return UI(handle)->Show();
}

int Hide(LV2UI_Handle handle) {
  return UI(handle)->Hide();
}

const void* ExtensionData(const char* uri) {
  static const LV2UI_Idle_Interface kIdle = {Idle};
  static const LV2UI_Show_Interface kShow = {Show, Hide};
  if (!uri) return nullptr;
  if (!std::strcmp(uri, LV2_UI__idleInterface)) return &kIdle;
  if (!std::strcmp(uri, LV2_UI__showInterface)) return &kShow;
  return nullptr;
}

struct UIDescriptor {
  std::string mURI;
  LV2UI_Descriptor mDescriptor;

  explicit UIDescriptor(const LV2Identity& identity)
      : mURI(std::string(identity.mURI) + ":ui"),
        mDescriptor{mURI.c_str(), Instantiate, Cleanup, PortEvent, ExtensionData} {}
};
}  // namespace

const LV2UI_Descriptor* IPlugLV2UI::Descriptor(const LV2Identity& identity, uint32_t index) {
  static const UIDescriptor descriptor(identity);
  return index == 0 ? &descriptor.mDescriptor : nullptr;
}

IPlugLV2UI::IPlugLV2UI(std::unique_ptr<IdleEventLoop> loop, std::unique_ptr<IPlugLV2> plug,
                       const LV2UIHost& host)
    : mLoop(std::move(loop)), mPlug(std::move(plug)), mHost(host) {
  mPlug->SetUIHost(&mHost);
}

IPlugLV2UI::~IPlugLV2UI() {
  Hide();
  mPlug->SetUIHost(nullptr);
}

bool IPlugLV2UI::Embed() {
  IPlugEditor* editor = mPlug->GetGUI();
  if (!editor) return false;
  // A host without a window for us asks for one through the show interface.
  if (!mHost.Parent()) return true;
  if (!editor->OpenWindow(reinterpret_cast<void*>(mHost.Parent()))) return false;
  mPlug->GUIOpened();
  return true;
}

LV2UI_Widget IPlugLV2UI::Widget() const {
  return mPlug->GetGUI()->GetWindow();
}

void IPlugLV2UI::PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format,
                           const void* buffer) {
  float value;
  if (format != 0 || bufferSize != sizeof value || !buffer) return;
  std::memcpy(&value, buffer, sizeof value);
  if (!std::isfinite(value)) return;
  const int p = static_cast<int>(port);
  if (port < static_cast<uint32_t>(mPlug->NParams())) {
    mPlug->SetParameterFromPort(p, value);
  } else if (p < mPlug->FirstAudioInPort()) {
    mPlug->OnDisplayOutput(p - mPlug->FirstDisplayPort(), value);
  }
}

int IPlugLV2UI::Idle() {
  mLoop->RunFor(0);
  const bool open = mPlug->GetGUI()->GetWindow() != nullptr;
  if (!open) Hide();
  return open ? 0 : 1;
}

int IPlugLV2UI::Show() {
  IPlugEditor* editor = mPlug->GetGUI();
  if (editor->GetWindow()) return 0;
  if (!editor->OpenWindow(nullptr)) return 1;
  mPlug->GUIOpened();
  return 0;
}

int IPlugLV2UI::Hide() {
  IPlugEditor* editor = mPlug->GetGUI();
  if (editor->GetWindow()) editor->CloseWindow();
  mPlug->GUIClosed();
  return 0;
}
