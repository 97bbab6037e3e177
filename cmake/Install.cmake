# cmake --install: the programs, adapters, providers, message files and
# samples together in PREFIX/lib/qorprt (they find each other beside
# themselves), links to the programs in PREFIX/bin, manual pages, the systemd
# units, the logrotate snippet, the service defaults and the directory of
# the services' settings.
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
install(FILES doc/man/qorprt-service.8 DESTINATION ${CMAKE_INSTALL_MANDIR}/man8)

# The files under /etc and /var follow the prefix given at install time
# ("cmake --install --prefix" may differ from the configured one) by the rules
# of GNUInstallDirs: /usr puts them in /etc and /var, /opt/NAME in /etc/opt/NAME
# and /var/opt/NAME, any other prefix under itself (/usr/local/etc). An
# absolute CMAKE_INSTALL_SYSCONFDIR or CMAKE_INSTALL_LOCALSTATEDIR is kept.
install(CODE "
  function(qor_full_dir var dir)
    if(IS_ABSOLUTE \"\${dir}\")
      set(full \"\${dir}\")
    elseif(CMAKE_INSTALL_PREFIX MATCHES \"^/usr/?$\")
      set(full \"/\${dir}\")
    elseif(CMAKE_INSTALL_PREFIX MATCHES \"^/opt/([^/]+)/?$\")
      set(full \"/\${dir}/opt/\${CMAKE_MATCH_1}\")
    else()
      set(full \"\${CMAKE_INSTALL_PREFIX}/\${dir}\")
    endif()
    set(\${var} \"\${full}\" PARENT_SCOPE)
  endfunction()
  qor_full_dir(QOR_SYSCONFDIR \"${CMAKE_INSTALL_SYSCONFDIR}\")
  qor_full_dir(QOR_LOCALSTATEDIR \"${CMAKE_INSTALL_LOCALSTATEDIR}\")
  set(QOR_INSTALL_BIN \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  set(QOR_CONFIG_DIR \"\${QOR_SYSCONFDIR}/qorprt\")
  set(QOR_DEFAULTS_FILE \"\${QOR_SYSCONFDIR}/default/qorprt\")
  set(QOR_SPOOL_DIR \"\${QOR_LOCALSTATEDIR}/spool/qorprt\")
  file(INSTALL \"${CMAKE_SOURCE_DIR}/packaging/qorprt.logrotate\"
       DESTINATION \"\${QOR_SYSCONFDIR}/logrotate.d\" RENAME qorprt)
  file(INSTALL \"${CMAKE_SOURCE_DIR}/packaging/qorprt.default\"
       DESTINATION \"\${QOR_SYSCONFDIR}/default\" RENAME qorprt)
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${QOR_CONFIG_DIR}\")
")

# The units name the programs and directories of that prefix.
foreach(unit system/qorprt.service:qorprt.service.in system/qorprt@.service:qorprt@.service.in
             user/qorprt.service:qorprt-user.service.in)
  string(REPLACE ":" ";" parts ${unit})
  list(GET parts 0 destination)
  list(GET parts 1 source)
  install(CODE "message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/${destination}\")
    configure_file(\"${CMAKE_SOURCE_DIR}/packaging/${source}\"
                   \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/${destination}\" @ONLY)")
endforeach()
