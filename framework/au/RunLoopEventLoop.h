#pragma once

#include "framework/plugin/IEventLoop.h"

// The editor's loop under an Audio Unit: the platform's run loop of the
// thread that adds each timer or watch, in the common modes, which the host
// turns (CFRunLoopRun) as it does for any view. One object serves every
// thread. [UI thread]
IEventLoop& PlatformRunLoop();
