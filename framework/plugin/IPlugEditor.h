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
};
