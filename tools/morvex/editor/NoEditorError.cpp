#include "tools/morvex/editor/NoEditorError.h"

#include <string>

#include "effect/MorvexIdentity.h"

ToolError NoEditorError() {
  return ToolError(
      "Morvex has no editor: its images are missing from, or damaged in, the bundle's "
      "Contents/Resources (" +
      std::string(kMorvexBundleID) + ")");
}
