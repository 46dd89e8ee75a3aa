# The installed layout keeps the program folder rule of the build tree: the
# executables, the sample designs and the about file lie in one folder,
# lib/zotmaker/, and bin/ holds relative links to the two programs.
include(GNUInstallDirs)

set(ZOT_PROGRAM_DIR lib/zotmaker)
set(ZOT_APP_ID org.zotmaker.Zotmaker)
set(ZOT_DATA_DIR ${CMAKE_SOURCE_DIR}/data)

set(ZOT_PROGRAMS zotmaker-cli)
if(TARGET zotmaker)
    list(APPEND ZOT_PROGRAMS zotmaker)
endif()
install(TARGETS ${ZOT_PROGRAMS} RUNTIME DESTINATION ${ZOT_PROGRAM_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/designs/ DESTINATION ${ZOT_PROGRAM_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/zot-about.rtf DESTINATION ${ZOT_PROGRAM_DIR})

# Relative links, so that the staged tree of a package or a DESTDIR install
# points into itself.
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
    set(ZOT_LINK_BASE "\${CMAKE_INSTALL_PREFIX}/${ZOT_PROGRAM_DIR}")
else()
    file(RELATIVE_PATH ZOT_LINK_BASE "/${CMAKE_INSTALL_BINDIR}" "/${ZOT_PROGRAM_DIR}")
endif()
foreach(program IN LISTS ZOT_PROGRAMS)
    install(CODE "
        set(bindir \"${CMAKE_INSTALL_BINDIR}\")
        if(NOT IS_ABSOLUTE \"\${bindir}\")
            set(bindir \"\${CMAKE_INSTALL_PREFIX}/\${bindir}\")
        endif()
        set(link \"\$ENV{DESTDIR}\${bindir}/${program}\")
        message(STATUS \"Installing: \${link} -> ${ZOT_LINK_BASE}/${program}\")
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${bindir}\")
        file(CREATE_LINK \"${ZOT_LINK_BASE}/${program}\" \"\${link}\" SYMBOLIC)
        list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")
    ")
endforeach()

# Manual pages go compressed, without a time stamp.
set(ZOT_MAN_PAGES zotmaker-cli.1)
if(TARGET zotmaker)
    list(APPEND ZOT_MAN_PAGES zotmaker.1)
endif()
set(ZOT_GZIPPED)
foreach(page IN LISTS ZOT_MAN_PAGES ITEMS changelog)
    if(page STREQUAL "changelog")
        set(source ${ZOT_DATA_DIR}/debian/changelog)
    else()
        set(source ${ZOT_DATA_DIR}/${page})
    endif()
    set(gzipped ${CMAKE_BINARY_DIR}/data/${page}.gz)
    add_custom_command(OUTPUT ${gzipped}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/data
        COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${source} ${gzipped}
        DEPENDS ${source} VERBATIM)
    list(APPEND ZOT_GZIPPED ${gzipped})
endforeach()
add_custom_target(zot_data ALL DEPENDS ${ZOT_GZIPPED})
list(TRANSFORM ZOT_MAN_PAGES PREPEND ${CMAKE_BINARY_DIR}/data/)
list(TRANSFORM ZOT_MAN_PAGES APPEND .gz)
install(FILES ${ZOT_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${ZOT_DATA_DIR}/completion/zotmaker-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

if(TARGET zotmaker)
    install(FILES ${ZOT_DATA_DIR}/${ZOT_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${ZOT_DATA_DIR}/${ZOT_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(DIRECTORY ${ZOT_DATA_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
    # Beside the program, as in the build tree: it finds them from its own folder.
    get_property(ZOT_QM_FILES GLOBAL PROPERTY ZOT_QM_FILES)
    install(FILES ${ZOT_QM_FILES} DESTINATION ${ZOT_PROGRAM_DIR}/translations)
endif()

# Licence and history, where Debian looks for them.
install(FILES ${ZOT_DATA_DIR}/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/zotmaker)
install(FILES ${CMAKE_BINARY_DIR}/data/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/zotmaker)
