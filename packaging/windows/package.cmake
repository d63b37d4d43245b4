# Makes ravolin-memorel-VERSION-windows.zip and ravolin-memorel-VERSION-setup.exe
# in BUILD from a stripped install of the build into BUILD/package/ravolin-memorel.
set(stage ${BUILD}/package/ravolin-memorel)
file(REMOVE_RECURSE ${BUILD}/package)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${stage} --strip
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
set(zip ${BUILD}/ravolin-memorel-${VERSION}-windows.zip)
file(REMOVE ${zip})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ravolin-memorel
                WORKING_DIRECTORY ${BUILD}/package COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "${zip}")
if(NOT MAKENSIS)
  message(STATUS "no installer: makensis (Debian's nsis) is not installed")
  return()
endif()

# The uninstaller removes what was installed, file by file, so whatever the
# user keeps in the folder (settings beside the program) stays.
file(GLOB_RECURSE files RELATIVE ${stage} ${stage}/*)
file(GLOB_RECURSE dirs LIST_DIRECTORIES true RELATIVE ${stage} ${stage}/*)
list(REMOVE_ITEM dirs ${files})
list(SORT dirs ORDER DESCENDING)  # inner folders first
set(remove "")
foreach(f ${files})
  string(REPLACE "/" "\\" f "${f}")
  string(APPEND remove "Delete \"$INSTDIR\\${f}\"\n")
endforeach()
foreach(d ${dirs})
  string(REPLACE "/" "\\" d "${d}")
  string(APPEND remove "RMDir \"$INSTDIR\\${d}\"\n")
endforeach()
file(WRITE ${BUILD}/package/uninstall-files.nsh "${remove}")
set(setup ${BUILD}/ravolin-memorel-${VERSION}-setup.exe)
execute_process(COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${VERSION} -DSTAGE=${stage}
                -DFILES=${BUILD}/package/uninstall-files.nsh -DICON=${ICON} -DOUTFILE=${setup}
                ${SOURCE}/packaging/windows/ravolin-memorel.nsi COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "${setup}")
