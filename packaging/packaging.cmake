# Installation layout and the Debian package.
#
#   cmake --install build --prefix /usr/local
#   cd build && cpack -G DEB
#
# The programs find their installation data in ../share/qv82hs next to
# bin/ (src/app/data_folder.h), so the data folder must stay under the
# same prefix as the programs.
include(GNUInstallDirs)
# Installing and packaging take what the build made: cpack must not start a
# build of every test first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS qv82hs qv82hs-cli qv82hs-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/data/qv82hs.ini ${CMAKE_SOURCE_DIR}/data/io.ini
              ${CMAKE_SOURCE_DIR}/data/template.xml ${CMAKE_SOURCE_DIR}/data/Production.ini
        DESTINATION ${CMAKE_INSTALL_DATADIR}/qv82hs)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/qv82hs.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/qv82hs.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/qv82hs-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME qv82hs.png)
endforeach()

# Draws the PNG sizes of the icon; run by hand, the PNGs are committed.
add_executable(qv82hs-render-icon EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/packaging/render_icon.cpp)
target_link_libraries(qv82hs-render-icon PRIVATE Qt6::Gui)

# One version for the title, --version and the package.
file(STRINGS ${CMAKE_SOURCE_DIR}/src/app/version.h version_line REGEX "kVersionText = \"")
string(REGEX REPLACE ".*kVersionText = \"([^\"]+)\".*" "\\1" QV82_VERSION "${version_line}")

set(CPACK_PACKAGE_NAME qv82hs)
set(CPACK_PACKAGE_VERSION ${QV82_VERSION})
set(CPACK_PACKAGE_VENDOR "QV82HS utility developers")
set(CPACK_PACKAGE_CONTACT "QV82HS utility developers <qv82hs@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "QV82HS coin selector programming and configuration utility")
# One string: two would be joined with ";" into the package's description.
set(CPACK_PACKAGE_DESCRIPTION
    "Programs, configures, tests and upgrades QV82HS coin selectors over ccTalk: a window\n(qv82hs), a command line (qv82hs-cli) and a simulated coin selector (qv82hs-sim).")
# The programs without their debugging symbols: a tenth of the size.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The dependencies are the Debian Qt 6 runtime packages the programs link.
# dpkg-shlibdeps (dpkg-dev) finds them with their versions; without it they
# are named here.
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6core6, libqt6gui6, libqt6widgets6, libqt6serialport6, libqt6charts6, libc6, libstdc++6")
endif()
include(CPack)
