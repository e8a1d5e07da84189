# The Windows editor's resources, and its installer: `cpack -G NSIS` in the Windows
# build folder makes one setup program that shows the licence, installs the editor
# and quellhart-cli, a Start menu entry and the .ess file type, offers to start the
# editor when it is done, and an uninstaller that gives back what it took. It
# installs silently with /S.
enable_language(RC)
configure_file(${PROJECT_SOURCE_DIR}/res/quellhart-editor.rc.in
               ${CMAKE_CURRENT_BINARY_DIR}/quellhart-editor.rc @ONLY)
target_sources(quellhart-editor PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/quellhart-editor.rc)
set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/quellhart-editor.rc APPEND PROPERTY OBJECT_DEPENDS
             ${PROJECT_SOURCE_DIR}/res/quellhart-editor.manifest
             ${PROJECT_SOURCE_DIR}/res/images/quellhart-editor.ico
             ${PROJECT_SOURCE_DIR}/res/images/bitmap132.bmp)
install(TARGETS quellhart-editor RUNTIME DESTINATION bin)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME "Quellhart Savegame Editor")
set(CPACK_PACKAGE_VENDOR "Quellhart editor developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "quellhart-editor-${PROJECT_VERSION}-setup")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Quellhart Savegame Editor")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "QuellhartSavegameEditor")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Edit Quellhart saved games")
set(CPACK_NSIS_DISPLAY_NAME "Quellhart Savegame Editor")
set(CPACK_NSIS_PACKAGE_NAME "Quellhart Savegame Editor")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# A 64-bit setup program for a 64-bit editor; it runs where the editor runs.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/res/images/quellhart-editor.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/res/images/quellhart-editor.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\quellhart-editor.exe")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_NSIS_MUI_FINISHPAGE_RUN quellhart-editor.exe)
# The Start menu entry.
set(CPACK_PACKAGE_EXECUTABLES "quellhart-editor" "Quellhart Savegame Editor")
# The file type, for every user. The editor is always in the saves' "Open with"
# list; it becomes the program that opens them only where no other program does yet
# (a choice of the user's or another program's stays), and the uninstaller takes
# back that default only where it is still the editor's. Other programs' entries
# under .ess are never touched.
set(QH_PROG_ID "Quellhart.SaveGame")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  SetRegView 64
  WriteRegStr HKLM 'Software\\\\Classes\\\\${QH_PROG_ID}' '' 'Quellhart saved game'
  WriteRegStr HKLM 'Software\\\\Classes\\\\${QH_PROG_ID}\\\\DefaultIcon' '' '$INSTDIR\\\\bin\\\\quellhart-editor.exe,0'
  WriteRegStr HKLM 'Software\\\\Classes\\\\${QH_PROG_ID}\\\\shell\\\\open\\\\command' '' '\\\"$INSTDIR\\\\bin\\\\quellhart-editor.exe\\\" \\\"%1\\\"'
  WriteRegStr HKLM 'Software\\\\Classes\\\\.ess\\\\OpenWithProgids' '${QH_PROG_ID}' ''
  ReadRegStr $0 HKCR '.ess' ''
  StrCmp $0 '' 0 +2
    WriteRegStr HKLM 'Software\\\\Classes\\\\.ess' '' '${QH_PROG_ID}'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  SetRegView 64
  DeleteRegKey HKLM 'Software\\\\Classes\\\\${QH_PROG_ID}'
  DeleteRegValue HKLM 'Software\\\\Classes\\\\.ess\\\\OpenWithProgids' '${QH_PROG_ID}'
  DeleteRegKey /ifempty HKLM 'Software\\\\Classes\\\\.ess\\\\OpenWithProgids'
  ReadRegStr $0 HKLM 'Software\\\\Classes\\\\.ess' ''
  StrCmp $0 '${QH_PROG_ID}' 0 +2
    DeleteRegValue HKLM 'Software\\\\Classes\\\\.ess' ''
  DeleteRegKey /ifempty HKLM 'Software\\\\Classes\\\\.ess'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
")
include(CPack)
