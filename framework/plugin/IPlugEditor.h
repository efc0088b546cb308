#pragma once

// What the plug-in base asks of an attached editor. The editor core
// implements it; the base owns the editor once attached and deletes it
// through this interface.
class IPlugEditor {
 public:
  virtual ~IPlugEditor() = default;

  // Moves the controls of a parameter to a value, normalised or in real
  // units. Only stores values and dirty flags, so the host's parameter
  // callback may call it from its own thread. [any thread]
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
  // Creates the drawing surfaces once the controls know their values.
  // [UI thread]
  virtual void PrepDraw() = 0;
  // Moves one control (by its index in the editor) to a normalised value;
  // an index out of range is ignored. Only stores the value and marks the
  // control dirty, so the audio thread may call it. [any thread]
  virtual void SetControlFromPlug(int controlIdx, double normalizedValue) = 0;
  // Greys out, or restores, every control bound to the parameter.
  // [UI thread]
  virtual void GrayOutControl(int paramIdx, bool gray) = 0;
  // Opens the editor's view inside the parent (null: a window of its own)
  // and returns it, or null when there is no screen. [UI thread]
  virtual void* OpenWindow(void* parent) = 0;
  // Opens the editor in a host window (the Carbon form) and returns its
  // control, or null. [UI thread]
  virtual void* OpenWindow(void* window, void* parentControl, short x, short y) = 0;
  virtual void CloseWindow() = 0;
  // The open view, or null. [UI thread]
  virtual void* GetWindow() = 0;
  // False when the editor could not be built whole (an image missing from
  // the bundle): the plug-in then goes without one. [UI thread]
  virtual bool IsComplete() const { return true; }
  // False for an editor whose views go on no screen, which only a host that
  // takes pictures of views can show. [UI thread]
  virtual bool OnScreen() const { return true; }
};
