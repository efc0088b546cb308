#pragma once

#include "platform/PlatformExport.h"

CF_EXTERN_C_BEGIN

typedef struct NSSize {
  double width;
  double height;
} NSSize;

CF_EXTERN_C_END
