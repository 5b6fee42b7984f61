# What `cmake --install` puts under the prefix: the two programs, the bundled
# modules, the help page, the desktop entry with its icon, the man page of
# tinta_batch, and the plug-in header with its pkg-config file.
foreach(program IN ITEMS tinta_dn_quor tinta_batch)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

foreach(module IN ITEMS blur dn_quor greyscale invert)
  if(TARGET ${module})
    install(TARGETS ${module} LIBRARY DESTINATION ${TINTA_INSTALL_MODULE_DIR})
  endif()
endforeach()

set(dialog_resources ${PROJECT_SOURCE_DIR}/src/app/dialog/resources)
install(FILES ${dialog_resources}/dn_quor.html DESTINATION ${TINTA_INSTALL_DATA_DIR})
install(FILES ${dialog_resources}/tinta_dn_quor.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tinta_dn_quor.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The plug-in header for module authors. The pkg-config file finds the prefix
# from its own place, so a moved install keeps working.
install(FILES ${PROJECT_SOURCE_DIR}/include/tinta_filter.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
set(pkgconfig_dir ${CMAKE_INSTALL_DATADIR}/pkgconfig)
file(RELATIVE_PATH TINTA_PC_PREFIX ${CMAKE_INSTALL_PREFIX}/${pkgconfig_dir} ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" TINTA_PC_PREFIX "${TINTA_PC_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/tinta_filter.pc.in
               ${CMAKE_BINARY_DIR}/packaging/tinta_filter.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/tinta_filter.pc DESTINATION ${pkgconfig_dir})

# The man page is made from `tinta_batch --help` and `--version`, and
# installed compressed as manual pages are. Without help2man the build goes
# on without it.
find_program(TINTA_HELP2MAN help2man)
find_program(TINTA_GZIP gzip)
if(TARGET tinta_batch AND TINTA_HELP2MAN)
  set(man_source ${CMAKE_BINARY_DIR}/man/tinta_batch.1)
  set(man_page ${man_source})
  set(man_compress)
  if(TINTA_GZIP)
    set(man_page ${man_source}.gz)
    set(man_compress COMMAND ${TINTA_GZIP} -9nf ${man_source})
  endif()
  add_custom_command(
    OUTPUT ${man_page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${TINTA_HELP2MAN} --no-info --no-discard-stderr --locale=C.UTF-8
            "--name=apply one filter module to every image file of a folder"
            --output=${man_source} $<TARGET_FILE:tinta_batch>
    ${man_compress}
    DEPENDS tinta_batch
    VERBATIM)
  add_custom_target(tinta_batch_man ALL DEPENDS ${man_page})
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
elseif(TARGET tinta_batch)
  message(STATUS "help2man not found: the man page of tinta_batch is not built")
endif()
