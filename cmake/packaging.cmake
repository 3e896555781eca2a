# What `cmake --install` lays out and what CPack packs, in one of two ways:
#
#   desktop (the default): a Debian package. The program goes in
#     /usr/lib/tarno/, the place of a package's private executables (it is
#     not to be run directly, and an executable in /usr/share would be
#     wrong); its data in /usr/share/tarno/tarno/; the launcher
#     /usr/bin/tarno starts it from /usr/share/tarno, since the program reads
#     its data relative to its working directory.
#   handheld (TARNO_HANDHELD_BUNDLE, on when cross-compiling): a zip of what
#     goes on the SD card: tarno.gpe, which the console's menu starts from
#     its own folder, beside tarno/ with the data, and README.txt. A bundle
#     for users is made only from a build with the handheld's SDK (./setup
#     package); the ARM tree's, from Debian's armel libraries, is a test
#     artefact.
#
# Sections: the data files; desktop install; handheld install; CPack.

option(TARNO_HANDHELD_BUNDLE "Install and pack for the handheld's SD card" ${CMAKE_CROSSCOMPILING})

set(CPACK_PACKAGE_NAME tarno)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scientific pocket calculator with a keypad to tap")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# ---- The data files: the keypad pictures, the font with its licence, the click
set(TARNO_DATA_FILES
    tarno/tarno.bmp tarno/tarno9.bmp tarno/arial.ttf tarno/arial.ttf.LICENSE tarno/tarno.wav)

if(NOT TARNO_HANDHELD_BUNDLE)
  # ---- Desktop install -----------------------------------------------------
  set(TARNO_PACKAGE_DIR "${PROJECT_BINARY_DIR}/packaging")
  # Debian wants the man page and the changelog compressed, without a time
  # stamp in the gzip header (-n), so that a rebuild gives the same bytes. The
  # package is native (we are its upstream, its version has no Debian
  # revision), so its changelog is changelog.gz, not changelog.Debian.gz.
  foreach(doc tarno.1 changelog)
    add_custom_command(OUTPUT "${TARNO_PACKAGE_DIR}/${doc}.gz"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${TARNO_PACKAGE_DIR}"
      COMMAND gzip -9n -c "${PROJECT_SOURCE_DIR}/packaging/${doc}" > "${TARNO_PACKAGE_DIR}/${doc}.gz"
      DEPENDS "${PROJECT_SOURCE_DIR}/packaging/${doc}" VERBATIM)
  endforeach()
  add_custom_target(tarno-package-docs ALL
    DEPENDS "${TARNO_PACKAGE_DIR}/tarno.1.gz" "${TARNO_PACKAGE_DIR}/changelog.gz")

  install(TARGETS tarno RUNTIME DESTINATION lib/tarno)
  # The window's own icon, for the desktop's window only.
  install(FILES ${TARNO_DATA_FILES} tarno/icon.bmp DESTINATION share/tarno/tarno)
  install(PROGRAMS packaging/tarno.sh DESTINATION bin RENAME tarno)
  install(FILES packaging/tarno.desktop DESTINATION share/applications)
  foreach(size 48 256)
    install(FILES packaging/icons/tarno-${size}.png
      DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME tarno.png)
  endforeach()
  install(FILES "${TARNO_PACKAGE_DIR}/tarno.1.gz" DESTINATION share/man/man1)
  install(FILES packaging/copyright "${TARNO_PACKAGE_DIR}/changelog.gz" DESTINATION share/doc/tarno)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION math)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "tarno maintainers <maintainers@users.noreply.c-seed-5dff0625.example>")
  # The extended description; CPack puts the summary above it as the synopsis.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "tarno is a scientific pocket calculator made for the GP2X handheld that
also runs in a window on the desktop: a number display above a keypad of
8 rows by 5 keys, pressed with the mouse. It works strictly from left to
right on IEEE doubles, with 8 levels of parentheses, a memory, the last
answer, second functions behind a shift key, degrees or radians, and the
number formats Norm, Sci and fixed 0 to 9 decimals.")
  execute_process(COMMAND dpkg --print-architecture
    OUTPUT_VARIABLE TARNO_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  # The file that `cpack` writes (DEB-DEFAULT's name), for the tests.
  set(TARNO_DEB_FILE "tarno_${PROJECT_VERSION}_${TARNO_DEB_ARCH}.deb")
else()
  # ---- Handheld install ----------------------------------------------------
  install(PROGRAMS $<TARGET_FILE:tarno> DESTINATION . RENAME tarno.gpe)
  # Stripped as the desktop package's program is (CPack strips installed
  # targets only, and a renamed copy is a plain file to it).
  install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/tarno.gpe\" COMMAND_ERROR_IS_FATAL ANY)")
  install(FILES ${TARNO_DATA_FILES} DESTINATION tarno)
  # The README says what the program needs on the console, as it was linked.
  if(TARNO_STATIC)
    set(TARNO_BUNDLE_LINKING "tarno.gpe is linked statically: SDL, SDL_ttf, SDL_mixer and the C library
  are inside it, so the console needs nothing else but its menu to start it.")
  else()
    set(TARNO_BUNDLE_LINKING "tarno.gpe is linked dynamically: the console must have the shared
  libraries it was linked against, from the SDK it was built with: the C
  library, SDL 1.2, SDL_ttf 2.0 and SDL_mixer 1.2, and theirs.")
  endif()
  configure_file(packaging/README.handheld.txt.in "${PROJECT_BINARY_DIR}/packaging/README.txt" @ONLY)
  install(FILES "${PROJECT_BINARY_DIR}/packaging/README.txt" DESTINATION .)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "tarno-${PROJECT_VERSION}-handheld")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
# The bundle's name, for the tests.
set(TARNO_ZIP_FILE "tarno-${PROJECT_VERSION}-handheld.zip")

# ---- CPack ------------------------------------------------------------------
include(CPack)
