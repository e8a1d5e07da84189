# The Windows editor's resources, and its installer: `cpack -G NSIS` in the Windows
# build folder makes one setup program that shows the licence, installs the editor
# and quellhart-cli (stripped of their debugging information), a Start menu entry and
# the .ess file type, offers to start the editor when it is done, and an uninstaller
# that gives back what it took. It installs silently with /S.
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
set(CPACK_STRIP_FILES ON)
# A 64-bit setup program for a 64-bit editor; it runs where the editor runs. The
# finish page starts the editor through the shell, so that it runs as the signed-in
# user and not with the setup's rights (an elevated window takes no files dropped
# from Explorer).
set(CPACK_NSIS_DEFINES "Target amd64-unicode
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT 'Run Quellhart Savegame Editor'
!define MUI_FINISHPAGE_RUN_FUNCTION StartEditorAsUser
Function StartEditorAsUser
  Exec '\\\"$WINDIR\\\\explorer.exe\\\" \\\"$INSTDIR\\\\bin\\\\quellhart-editor.exe\\\"'
FunctionEnd")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/res/images/quellhart-editor.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/res/images/quellhart-editor.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\quellhart-editor.exe")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# An installed copy is removed only once the user has confirmed the install: its
# uninstaller runs silently as the install's first step, not before the wizard's first
# page, so that a setup cancelled on any page leaves the old copy working. Before that,
# a running editor (the name its process holds) is asked to be closed: its program file
# cannot be replaced while it runs, and its window may hold edits not yet committed.
# Silent, the setup then stops, with exit code 2, having touched nothing.
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "
  editorRunning:
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w \\\"QuellhartSavegameEditor\\\") p .r0'
  IntPtrCmp $0 0 editorClosed
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION 'Quellhart Savegame Editor is running. Commit your changes and close it, then choose Retry.' /SD IDCANCEL IDRETRY editorRunning
    Abort 'Quellhart Savegame Editor is running; nothing was installed.'
  editorClosed:
  ReadRegStr $1 HKLM 'Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}' 'UninstallString'
  StrCmp $1 '' noOldCopy
    StrCpy $2 $1 1 0
    StrCmp $2 '\\\"' 0 +2
      StrCpy $1 $1 -1 1
    StrLen $2 '\\\\Uninstall.exe'
    StrCpy $3 $1 -$2
    ExecWait '\\\"$1\\\" /S _?=$3'
    Delete $1
    RMDir $3
  noOldCopy:
")
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
  SetRegView 64
  DeleteRegKey SHCTX 'Software\\\\${CPACK_PACKAGE_VENDOR}\\\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}'
  DeleteRegKey /ifempty SHCTX 'Software\\\\${CPACK_PACKAGE_VENDOR}'
  SetRegView 32
  DeleteRegKey SHCTX 'Software\\\\${CPACK_PACKAGE_VENDOR}\\\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}'
  DeleteRegKey /ifempty SHCTX 'Software\\\\${CPACK_PACKAGE_VENDOR}'
  SetRegView 64
")
include(CPack)
