#pragma once

// Status codes shared by the Component Manager and Core Foundation.
enum {
  paramErr = -50,
  memFullErr = -108,
  invalidComponentID = -3000,
  validInstancesExist = -3001,
  componentNotCaptured = -3002,
  componentDontRegister = -3003,
  unresolvedComponentDLLErr = -3004,
  coreFoundationUnknownErr = -4960,
  badComponentInstance = (int)0x80008001,
  badComponentSelector = (int)0x80008002
};
