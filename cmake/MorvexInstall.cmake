# What 'make install' puts under CMAKE_INSTALL_PREFIX (the Makefile's PREFIX,
# staged under DESTDIR by packagers):
#   bin/morvex
#   share/man/man1/morvex.1
#   lib/morvex/libmorvex_platform.so          the platform stand-in the hosts link
#   lib/morvex/morvex-display.so              `morvex editor` and `morvex validate`,
#                                             loaded only by them
#   lib/morvex/libmorvex_rtcheck.so           what `morvex validate --strict`
#                                             preloads into itself
#   lib/morvex/Components/Morvex.component    where the stand-in's hosts find it
#   lib/lv2/Morvex.lv2                        where LV2 hosts look; needs
#                                             nothing else of ours
# morvex finds the stand-in relative to itself, the component uses the one
# its host has loaded, and the stand-in finds the components folder beside
# itself, so the tree works wherever it lands.
# The Makefile's uninstall removes this same list.
set(morvex_component lib/morvex/Components/Morvex.component)
set(morvex_lv2 lib/lv2/Morvex.lv2)

install(TARGETS morvex RUNTIME DESTINATION bin)
install(FILES ${MORVEX_MAN_PAGE} DESTINATION share/man/man1)
install(TARGETS morvex_platform morvex_display_module morvex_rtcheck LIBRARY DESTINATION lib/morvex)

install(TARGETS Morvex MorvexUI LIBRARY DESTINATION ${morvex_component}/Contents/MacOS)
install(FILES ${MORVEX_BUNDLE}/Contents/Info.plist DESTINATION ${morvex_component}/Contents)
install(DIRECTORY ${MORVEX_BUNDLE}/Contents/Resources DESTINATION ${morvex_component}/Contents)

install(TARGETS MorvexLV2 MorvexLV2UI LIBRARY DESTINATION ${morvex_lv2})
install(DIRECTORY ${MORVEX_LV2_BUNDLE}/ DESTINATION ${morvex_lv2}
        FILES_MATCHING PATTERN "*.ttl" PATTERN "*.png" PATTERN "*.ttf" PATTERN "LICENSE-*")

