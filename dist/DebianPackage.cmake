# `cpack -G DEB` in the build folder makes strikora_<version>_amd64.deb from what `cmake --install`
# places, under /usr. Its library dependencies are read off the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME strikora)
set(CPACK_PACKAGE_VENDOR "Strikora developers")
set(CPACK_PACKAGE_CONTACT "Strikora developers <maintainers@strikora.example>"
    CACHE STRING "Maintainer line of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ten-pin bowling played by ear")
set(CPACK_PACKAGE_DESCRIPTION [[
Strikora is an audio game of ten-pin bowling for blind and visually impaired
players. Nothing on the screen matters: every prompt, menu item, bowler's name,
score, pin and crowd is a sound, and the keyboard is the only control.

You aim the ball by stopping a tone that sweeps across the lane, time the
swing, hook the ball with the Shift keys, and hear the pins fall, the crowd and
an announcer. The game keeps a roster of bowlers with their averages for every
play method and skill level.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's large print is drawn in DejaVu Sans; without it the window stays blank and the
# game is played by ear as ever, so the font is recommended, not required.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-dejavu-core)
# What Debian alone asks (/usr/games, gzipped man pages and changelog) is done in the package's
# staging folder, so that `cmake --install` keeps the usual layout for any prefix.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianStaging.cmake)
set(CPACK_STRIKORA_DIST_DIR ${CMAKE_CURRENT_LIST_DIR})

include(CPack)
