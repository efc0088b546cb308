#pragma once

#include "platform/MacErrors.h"
#include "platform/MacTypes.h"
#include "platform/PlatformExport.h"

CF_EXTERN_C_BEGIN

typedef SInt32 ComponentResult;

typedef struct ComponentRecord* Component;
typedef struct ComponentInstanceRecord* ComponentInstance;

enum {
  kAnyComponentType = 0,
  kAnyComponentSubType = 0,
  kAnyComponentManufacturer = 0,
  kAnyComponentFlagsMask = 0
};

enum {
  kComponentOpenSelect = -1,
  kComponentCloseSelect = -2,
  kComponentCanDoSelect = -3,
  kComponentVersionSelect = -4,
  kComponentRegisterSelect = -5,
  kComponentTargetSelect = -6,
  kComponentUnregisterSelect = -7
};

typedef struct ComponentDescription {
  OSType componentType;
  OSType componentSubType;
  OSType componentManufacturer;
  UInt32 componentFlags;
  UInt32 componentFlagsMask;
} ComponentDescription;

// One call's selector and arguments. Arguments sit in reverse order, one
// `long` slot each: params[0] holds the LAST argument. Every argument is
// stored at the start of its slot: integers narrower than long are widened by
// their own signedness, pointers are stored as their address, and a Float32
// keeps its bit pattern in the low 4 bytes with the upper 4 bytes zero. So
// `memcpy(&value, &params[i], sizeof value)` reads an argument of any type,
// and `(T)params[i]` reads integers and pointers. paramSize is the number of
// argument bytes: argument count * sizeof(long).
typedef struct ComponentParameters {
  UInt8 flags;
  UInt8 paramSize;
  SInt16 what;
#if defined(__LP64__)
  UInt32 padding;
#endif
  long params[1];
} ComponentParameters;

// A component's entry: called with the parameter block and the storage the
// instance set with SetComponentInstanceStorage (null during open).
typedef ComponentResult (*ComponentRoutineProcPtr)(ComponentParameters* cp,
                                                   Handle componentStorage);
typedef ComponentRoutineProcPtr ComponentRoutineUPP;

// Registry calls lock: [any thread]. Descriptions match as on the Mac: a zero
// type, subtype or manufacturer matches any, and flags must agree on the bits
// set in componentFlagsMask. Components are enumerated in the order they were
// registered (bundles in search order, see platform/HostComponents.h).
MORVEX_PLATFORM_API Component FindNextComponent(Component aComponent,
                                                ComponentDescription* looking);
MORVEX_PLATFORM_API long CountComponents(ComponentDescription* looking);
// Accepts a component or one of its instances cast to Component. For the
// name, pass the address of a char*: it is set to a Pascal string (length
// byte first, then the text and a NUL) that the registry owns for the life of
// the process; the info string likewise (empty). The icon is left alone.
MORVEX_PLATFORM_API OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd,
                                           Handle componentName, Handle componentInfo,
                                           Handle componentIcon);
// Loads the component's bundle on first use, makes the instance and calls the
// entry with kComponentOpenSelect and the instance as its one argument. A
// failed open returns the entry's status (invalidComponentID when it does not
// fit an OSErr) and leaves no instance; close is not called for it.
MORVEX_PLATFORM_API OSErr OpenAComponent(Component aComponent, ComponentInstance* ci);
MORVEX_PLATFORM_API ComponentInstance OpenComponent(Component aComponent);
// Calls the entry with kComponentCloseSelect and the instance, then frees it;
// returns the entry's status. The handle is invalid afterwards.
MORVEX_PLATFORM_API OSErr CloseComponent(ComponentInstance aComponentInstance);
MORVEX_PLATFORM_API long CountComponentInstances(Component aComponent);
MORVEX_PLATFORM_API OSErr UnregisterComponent(Component aComponent);

// Per-instance calls take no lock: [any thread].
MORVEX_PLATFORM_API Handle GetComponentInstanceStorage(ComponentInstance aComponentInstance);
MORVEX_PLATFORM_API void SetComponentInstanceStorage(ComponentInstance aComponentInstance,
                                                     Handle theStorage);
MORVEX_PLATFORM_API ComponentResult CallComponentCanDo(ComponentInstance ci, SInt16 ftnNumber);
MORVEX_PLATFORM_API ComponentResult CallComponentVersion(ComponentInstance ci);

CF_EXTERN_C_END
