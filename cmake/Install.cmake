# cmake --install: the programs, adapters, providers, message files and
# samples together in PREFIX/lib/qorprt (they find each other beside
# themselves), links to the programs in PREFIX/bin, manual pages, the systemd
# units and the logrotate snippet.
include(GNUInstallDirs)
set(QOR_INSTALL_DIR lib/qorprt)

set(QOR_PROGRAMS qorprtt qorcnfig qorhost)
set(QOR_SHARED_OBJECTS razevu3 qor32hll qor32e62 qor32whl qor32pcs pcshll32 whllapi whlapi32)
foreach(target IN LISTS QOR_PROGRAMS QOR_SHARED_OBJECTS)
  if(TARGET ${target})
    install(TARGETS ${target} RUNTIME DESTINATION ${QOR_INSTALL_DIR} LIBRARY DESTINATION ${QOR_INSTALL_DIR})
  endif()
endforeach()
install(FILES ${QOR_BIN_DIR}/QORPRTW.QOR ${QOR_BIN_DIR}/QORCNFIG.QOR DESTINATION ${QOR_INSTALL_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/hostsim/samples DESTINATION ${QOR_INSTALL_DIR})

# PREFIX/bin/NAME -> ../lib/qorprt/NAME: the programs still find their files.
set(QOR_LINK_DIR ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${QOR_LINK_DIR})
foreach(program IN LISTS QOR_PROGRAMS)
  file(CREATE_LINK ../${QOR_INSTALL_DIR}/${program} ${QOR_LINK_DIR}/${program} SYMBOLIC)
  install(FILES ${QOR_LINK_DIR}/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

install(FILES doc/man/qorprtt.1 doc/man/qorcnfig.1 doc/man/qorhost.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES doc/man/qorprt-sessions.5 DESTINATION ${CMAKE_INSTALL_MANDIR}/man5)

# The units name the programs by the prefix given at install time.
foreach(unit system/qorprt.service:qorprt.service.in user/qorprt.service:qorprt-user.service.in)
  string(REPLACE ":" ";" parts ${unit})
  list(GET parts 0 destination)
  list(GET parts 1 source)
  install(CODE "set(QOR_INSTALL_BIN \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/${destination}\")
    configure_file(\"${CMAKE_SOURCE_DIR}/packaging/${source}\"
                   \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/${destination}\" @ONLY)")
endforeach()
install(FILES packaging/qorprt.logrotate DESTINATION ${CMAKE_INSTALL_SYSCONFDIR}/logrotate.d RENAME qorprt)
install(FILES packaging/qorprt.default DESTINATION ${CMAKE_INSTALL_SYSCONFDIR}/default RENAME qorprt)
