# Rigtune for Windows ships the ready-to-run folder that scripts/windows/deploy.sh lays out (the
# program, the DLLs it imports, the Qt plugins it loads) and nothing else, in two packages:
#   Rigtune-<version>-win64.exe  an installer into Program Files, with a Start-menu entry and an
#                                uninstaller in the system's list of programs (NSIS);
#   Rigtune-<version>-win64.zip  the folder itself, which runs wherever it is unpacked.
# The folder is packaged as laid out rather than installed again from the targets, so the packages
# hold exactly what the Windows tests ran.

# Only a folder laid out from this build's program is packed (check-ready-to-run.cmake).
install(CODE "set(RIGTUNE_READY_TO_RUN [[${RIGTUNE_READY_TO_RUN}]])
    set(RIGTUNE_BUILT [[$<TARGET_FILE:rigtune>]])")
install(SCRIPT check-ready-to-run.cmake)
install(DIRECTORY ${RIGTUNE_READY_TO_RUN}/ DESTINATION .)

set(CPACK_GENERATOR NSIS ZIP)
# The values below reach the installer's script as written here, backslashes too.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME Rigtune)
# CPack recognises 64-bit Windows by the Microsoft compiler only, and would say win32.
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Rigtune)
# One key for every version, so that a newer installer finds and removes the older one.
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Rigtune)
# Silent too (/S), the older version's uninstaller runs and is waited for; it removes the files it
# installed, so none of them outlives the new version.
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)

# A 64-bit installer. Debian's makensis makes a 32-bit one unless told, and Windows shows a 32-bit
# program its 32-bit view of the registry: the uninstaller entry would land under WOW6432Node.
# Files are installed with the time of installing rather than one stored in the installer, which
# would differ from build to build.
set(CPACK_NSIS_DEFINES "Target amd64-unicode\n!include FileFunc.nsh\nSetDateSave off")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Rigtune)
set(CPACK_NSIS_DISPLAY_NAME Rigtune)
set(CPACK_NSIS_MENU_LINKS Rigtune.exe Rigtune)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/rigtune.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/rigtune.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME Rigtune.exe)
set(CPACK_NSIS_URL_INFO_ABOUT https://rigtune.example.org/)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")

# The uninstaller's entry as Windows documents it, after what CPack's template writes there:
# NoModify and NoRepair as DWORDs (the template writes strings), and the size that "Apps & features"
# shows, in KB. The template's uninstaller removes Software\<publisher>\Rigtune last and leaves
# Software\<publisher> behind, empty; both go first (the Start-menu folder that it reads from there
# afterwards, it also reads from the uninstaller's entry).
set(uninstall_key "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall")
string(APPEND uninstall_key "\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
    WriteRegDWORD SHCTX \"${uninstall_key}\" NoModify 1
    WriteRegDWORD SHCTX \"${uninstall_key}\" NoRepair 1
    \${GetSize} \"$INSTDIR\" /S=0K $0 $1 $2
    WriteRegDWORD SHCTX \"${uninstall_key}\" EstimatedSize $0")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
    DeleteRegKey SHCTX \"Software\\${CPACK_PACKAGE_VENDOR}\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}\"
    DeleteRegKey /ifempty SHCTX \"Software\\${CPACK_PACKAGE_VENDOR}\"")
include(CPack)
