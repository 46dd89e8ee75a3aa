# Runs on CPack's staging tree before the .deb is made: what a Debian package
# does differently from a plain install.
set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(program_dir "${usr}/lib/zotmaker")

# The Gold design's font is the very file fonts-dejavu-core installs (a
# dependency): link to it rather than ship a second copy. Its licence then
# comes with that package.
set(font "${program_dir}/Gold/DejaVuSerif-Bold.ttf")
if(EXISTS "${font}" AND NOT IS_SYMLINK "${font}")
    file(REMOVE "${font}" "${program_dir}/Gold/LICENSE-DejaVu.txt")
    # Relative, as links within /usr are.
    file(CREATE_LINK ../../../share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf "${font}" SYMBOLIC)
endif()

# Besides the symbols, drop the sections a Debian build drops.
foreach(program zotmaker zotmaker-cli)
    if(EXISTS "${program_dir}/${program}")
        execute_process(COMMAND strip --remove-section=.comment --remove-section=.note
                                "${program_dir}/${program}"
                        COMMAND_ERROR_IS_FATAL ANY)
    endif()
endforeach()
