#pragma once

#include <string>

#include "framework/lv2/LV2Identity.h"

class IPlugLV2;

// The Turtle files of the bundle, written from the plug-in itself (its
// parameters and the names of their values, display outputs, legal layouts
// and factory presets) and the family's identity, so that nothing is
// declared twice. The plug-in must be an instance without an editor;
// Presets() restores every preset in turn.
class LV2Turtle {
 public:
  static constexpr const char* kPluginsFile = "plugins.ttl";
  static constexpr const char* kPresetsFile = "presets.ttl";

  LV2Turtle(IPlugLV2& plug, const LV2Identity& identity) : mPlug(plug), mIdentity(identity) {}

  // manifest.ttl: every plug-in, the user interface and every distinct
  // preset (a name and settings an earlier preset has are listed once, as
  // the earlier one).
  std::string Manifest() const;
  // The plug-ins with their ports, and the user interface.
  std::string Plugins() const;
  // The distinct factory presets as port values and as the saved parameter chunk.
  std::string Presets();

  // The parameter's port symbol: its name in lower case, with every
  // character outside [a-z0-9] made "_" and a leading digit guarded.
  static std::string Symbol(const char* name);

 private:
  bool Offers(int layoutIdx) const;
  std::string URI(const char* suffix) const;
  std::string PluginsItAppliesTo() const;
  std::string Plugin(int layoutIdx) const;
  std::string ControlPorts() const;
  std::string IntegerProperties(int paramIdx) const;

  IPlugLV2& mPlug;
  const LV2Identity& mIdentity;
};
