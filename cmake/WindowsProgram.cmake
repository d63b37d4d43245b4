# The Windows program: its icon, version information and manifest, a
# window without a console, and the folder a user gets (the zip and the
# installer's content): the program and the converter with Qt's DLLs and
# plugins, MinGW's runtime DLLs, Qt's Japanese texts and Help.
enable_language(RC)
find_program(RVM_CONVERT convert REQUIRED)  # ImageMagick
set(RVM_ICO ${CMAKE_BINARY_DIR}/ravolin-memorel.ico)
add_custom_command(OUTPUT ${RVM_ICO}
  COMMAND ${RVM_CONVERT} icon-256.png "(" -clone 0 -resize 128x128 ")" "(" -clone 0 -resize 64x64 ")"
          icon-48.png "(" icon-48.png -resize 32x32 ")" "(" icon-48.png -resize 16x16 ")" ${RVM_ICO}
  DEPENDS resources/icon-256.png resources/icon-48.png
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/resources VERBATIM)
configure_file(packaging/windows/ravolin-memorel.rc.in ravolin-memorel.rc @ONLY)
set_property(SOURCE ${CMAKE_BINARY_DIR}/ravolin-memorel.rc APPEND PROPERTY OBJECT_DEPENDS
             ${RVM_ICO} ${CMAKE_SOURCE_DIR}/packaging/windows/ravolin-memorel.manifest)
target_sources(ravolin-memorel PRIVATE ${CMAKE_BINARY_DIR}/ravolin-memorel.rc)
set_target_properties(ravolin-memorel PROPERTIES WIN32_EXECUTABLE ON)

install(TARGETS ravolin-memorel RUNTIME DESTINATION .)
install(DIRECTORY resources/Help DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets> DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
# Qt's DLLs need MinGW's runtime; the programs themselves carry it linked in.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}")
    message(FATAL_ERROR "MinGW's ${dll} not found")
  endif()
  install(FILES ${path} DESTINATION .)
endforeach()
# Qt's Japanese texts from the host's translations package (the same Qt).
set(RVM_QT_JA /usr/share/qt6/translations/qtbase_ja.qm CACHE FILEPATH "Qt's Japanese texts")
install(FILES ${RVM_QT_JA} DESTINATION translations)

# The zip and the installer, in this build folder, made again only when
# what goes into them changed.
find_program(RVM_MAKENSIS makensis)
set(RVM_ZIP ${CMAKE_BINARY_DIR}/ravolin-memorel-${PROJECT_VERSION}-windows.zip)
set(RVM_SETUP ${CMAKE_BINARY_DIR}/ravolin-memorel-${PROJECT_VERSION}-setup.exe)
file(GLOB RVM_HELP_FILES CONFIGURE_DEPENDS resources/Help/*)
add_custom_command(OUTPUT ${RVM_ZIP} ${RVM_SETUP}
  COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DSOURCE=${CMAKE_SOURCE_DIR}
          -DVERSION=${PROJECT_VERSION} -DMAKENSIS=${RVM_MAKENSIS} -DICON=${RVM_ICO}
          -P ${CMAKE_SOURCE_DIR}/packaging/windows/package.cmake
  DEPENDS ravolin-memorel ravolin-memorel-convert ${RVM_HELP_FILES} ${RVM_QT_JA}
          packaging/windows/package.cmake packaging/windows/ravolin-memorel.nsi
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)
add_custom_target(windows-package DEPENDS ${RVM_ZIP} ${RVM_SETUP})
