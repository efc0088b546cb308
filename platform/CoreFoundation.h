#pragma once

// The Core Foundation subset this system uses.
#include "platform/CFArray.h"
#include "platform/CFBase.h"
#include "platform/CFBundle.h"
#include "platform/CFData.h"
#include "platform/CFDate.h"
#include "platform/CFDictionary.h"
#include "platform/CFError.h"
#include "platform/CFFileDescriptor.h"
#include "platform/CFNumber.h"
#include "platform/CFPropertyList.h"
#include "platform/CFRunLoop.h"
#include "platform/CFString.h"
#include "platform/CFURL.h"
