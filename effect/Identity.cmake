# Morvex's identity, declared once: the effect, both bundles (the Info.plist,
# the entry points, the LV2 Turtle), the host tools, the tests and the fuzz
# targets all read it, C++ from effect/MorvexIdentity.h. The version is the
# project's. LV2 names the plug-ins by URI; hosts store these in sessions, so
# they stay.
morvex_plugin_identity(morvex_identity
  NAME Morvex
  MANUFACTURER Tarnbrook
  VERSION ${PROJECT_VERSION}
  TYPE aufx
  SUBTYPE zJAu
  MANUFACTURER_CODE Acme
  BUNDLE_ID com.tarnbrook.audiounit.Morvex
  LV2_URI urn:tarnbrook:morvex
  LICENSE urn:tarnbrook:license:proprietary)
