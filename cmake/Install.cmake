# What an installation holds: the two programs, the rules database as a read-only template, and the
# desktop integration. The program finds the template relative to its own folder (src/app/AppPaths).
set(app_id org.qinglan.Qinglan)

install(TARGETS qinglan-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET qinglan)
  install(TARGETS qinglan RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES data/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES data/${app_id}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES data/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/ccdb.db DESTINATION ${CMAKE_INSTALL_DATADIR}/qinglan)
install(FILES data/qinglan-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET qinglan)
  install(FILES data/qinglan.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # The manual the window shows on F1, also for reading without it.
  install(FILES data/manual.html DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
install(FILES data/qinglan-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME qinglan-cli)
