# The Windows editor's resources, and its installer: `cpack -G NSIS` in the Windows
# build folder makes one setup program that installs the editor and quellhart-cli,
# a Start menu entry, the .ess file type ("Open with" the editor) and an uninstaller
# that removes all of it. It installs silently with /S.
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
# The Start menu entry.
set(CPACK_PACKAGE_EXECUTABLES "quellhart-editor" "Quellhart Savegame Editor")
# The file type, for every user: saves open with the editor, with its icon.
set(QH_PROG_ID "Quellhart.SaveGame")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  SetRegView 64
  WriteRegStr HKLM 'Software\\\\Classes\\\\.ess' '' '${QH_PROG_ID}'
  WriteRegStr HKLM 'Software\\\\Classes\\\\.ess\\\\OpenWithProgids' '${QH_PROG_ID}' ''
  WriteRegStr HKLM 'Software\\\\Classes\\\\${QH_PROG_ID}' '' 'Quellhart saved game'
  WriteRegStr HKLM 'Software\\\\Classes\\\\${QH_PROG_ID}\\\\DefaultIcon' '' '$INSTDIR\\\\bin\\\\quellhart-editor.exe,0'
  WriteRegStr HKLM 'Software\\\\Classes\\\\${QH_PROG_ID}\\\\shell\\\\open\\\\command' '' '\\\"$INSTDIR\\\\bin\\\\quellhart-editor.exe\\\" \\\"%1\\\"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  SetRegView 64
  DeleteRegKey HKLM 'Software\\\\Classes\\\\${QH_PROG_ID}'
  DeleteRegValue HKLM 'Software\\\\Classes\\\\.ess\\\\OpenWithProgids' '${QH_PROG_ID}'
  ReadRegStr $0 HKLM 'Software\\\\Classes\\\\.ess' ''
  StrCmp $0 '${QH_PROG_ID}' 0 +2
    DeleteRegKey HKLM 'Software\\\\Classes\\\\.ess'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
")
include(CPack)
