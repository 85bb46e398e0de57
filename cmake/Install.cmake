# Installing the programs. The real programs and the files they read
# "beside the executable" go together into lib/ondrelle; bin holds links to
# them, so a program started through its link still finds its files there.
include(GNUInstallDirs)

set(ONDRELLE_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/ondrelle)

# The burning library is private to the programs: it lies beside them too.
set_target_properties(ondrelle ondrelle-cli PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS ondrelle ondrelle-cli RUNTIME DESTINATION ${ONDRELLE_INSTALL_PROGRAM_DIR})
get_target_property(emberline_type emberline TYPE)
if(emberline_type STREQUAL "SHARED_LIBRARY")
  install(TARGETS emberline LIBRARY DESTINATION ${ONDRELLE_INSTALL_PROGRAM_DIR} NAMELINK_SKIP)
endif()
install(FILES ${CMAKE_BINARY_DIR}/app/lame.dll DESTINATION ${ONDRELLE_INSTALL_PROGRAM_DIR})

# ---------------------------------------------------------------------------
# Video CD and Super Video CD templates: the one place that installs them.
# The build writes them into ONDRELLE_TEMPLATE_DIR (beside the program in the
# build tree as well; cmake/VideoTemplates.cmake).
set(ONDRELLE_TEMPLATE_DIR ${CMAKE_BINARY_DIR}/app CACHE PATH "Where the build leaves the Video CD templates")
install(FILES
  ${ONDRELLE_TEMPLATE_DIR}/Emberline_VideoCD.iso
  ${ONDRELLE_TEMPLATE_DIR}/Emberline_SuperVideoCD.iso
  DESTINATION ${ONDRELLE_INSTALL_PROGRAM_DIR})
# ---------------------------------------------------------------------------

foreach(program ondrelle ondrelle-cli)
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(RELATIVE_PATH target \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\"
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ONDRELLE_INSTALL_PROGRAM_DIR}/${program}\")
    message(STATUS \"Linking: \${link} -> \${target}\")
    file(CREATE_LINK \"\${target}\" \"\${link}\" SYMBOLIC)")
endforeach()

# Desktop integration: the menu entry and the icon.
install(FILES ${CMAKE_BINARY_DIR}/app/ondrelle.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ONDRELLE_APP_ICON_PNG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${CMAKE_SOURCE_DIR}/app/pictures/ondrelle.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
