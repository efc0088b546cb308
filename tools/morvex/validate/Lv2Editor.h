#pragma once

#include <lilv/lilv.h>

#include <cstdint>
#include <vector>

#include "tools/lv2host/UridMap.h"
#include "tools/morvex/validate/EditorCheck.h"

// A control input as the user interface hears of it.
struct Lv2ControlPort {
  uint32_t index;
  float minValue;
  float maxValue;
};

// The plug-in's first user interface, as LV2 hosts show one: through suil,
// embedded in a window of the host's own, driven by its idle calls, and told
// of control values by port events (values across each port's range, as
// automation moves them). Its own instance, not the audio one, is the
// interface's business.
class Lv2EditorSide : public EditorSide {
 public:
  Lv2EditorSide(const LilvPlugin* plugin, UridMap& urids, std::vector<Lv2ControlPort> ports)
      : mPlugin(plugin), mUrids(urids), mPorts(std::move(ports)) {}

  std::string run(StrictInstance& instance, const std::atomic<bool>& stop) override;

 private:
  const LilvPlugin* mPlugin;
  UridMap& mUrids;
  std::vector<Lv2ControlPort> mPorts;
};
