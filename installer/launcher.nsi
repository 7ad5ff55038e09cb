; The player's installer: per user, no elevation, into %LOCALAPPDATA%\Programs. installer/pack
; runs makensis with VERSION, PRODUCT_NAME, PUBLISHER, INSTALL_FOLDER, EXE_NAME (the installed
; executable's file name; all from CMakeLists.txt), ARCH (x86 or x64, the launcher's architecture),
; LAUNCHER (the executable to pack, named EXE_NAME), OUTFILE
; and, to sign, SIGN (a command taking a file). Both architectures install into the same folder
; under the same uninstall entry, so that either replaces the other.

; The installer is a program of the launcher's architecture, so that it runs wherever the
; launcher does.
!if "${ARCH}" == "x64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include FileFunc.nsh
!include LogicLib.nsh
!include MUI2.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT_NAME}"
; The browser control's settings that the launcher writes for its file name at its first start.
!define FEATURE_CONTROL "Software\Microsoft\Internet Explorer\Main\FeatureControl"

Name "${PRODUCT_NAME}"
OutFile "${OUTFILE}"
BrandingText "${PUBLISHER}"
InstallDir "$LOCALAPPDATA\Programs\${INSTALL_FOLDER}"
; An upgrade goes where the installed version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif

!define MUI_ICON "${__FILEDIR__}/../resources/launcher.ico"
!define MUI_UNICON "${__FILEDIR__}/../resources/launcher.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE_NAME}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT_NAME}"

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT_NAME} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright ${PUBLISHER}"

; A running program's image is mapped, and a mapped image cannot be opened for writing: while
; the launcher's FILE refuses that, it is running and nothing of it may change.
!macro EnsureNotRunning file
  ${DoWhile} ${FileExists} "${file}"
    ClearErrors
    FileOpen $0 "${file}" a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT_NAME} is running. Close it, then select Retry." /SD IDCANCEL IDCANCEL`
      SetErrorLevel 2
      Abort
    ${EndIf}
  ${Loop}
!macroend

Section "-${PRODUCT_NAME}"
  ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ; The installed launcher, which an earlier release may have named otherwise (its icon's path).
  ReadRegStr $3 HKCU "${UNINSTALL_KEY}" "DisplayIcon"
  StrCpy $3 $3 -2
  !insertmacro EnsureNotRunning "$INSTDIR\${EXE_NAME}"
  ${If} $3 != ""
  ${AndIf} $3 != "$INSTDIR\${EXE_NAME}"
    !insertmacro EnsureNotRunning "$3"
    Delete "$3"
  ${EndIf}
  ${If} $1 != ""
  ${AndIf} $1 != $INSTDIR
    ; The installed version moves here: what its installer made in its folder goes.
    Delete "$1\uninstall.exe"
    RMDir "$1"
  ${EndIf}
  SetOutPath "$INSTDIR"
  File "${LAUNCHER}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT_NAME}.lnk" "$INSTDIR\${EXE_NAME}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE_NAME},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Desktop shortcut"
  CreateShortcut "$DESKTOP\${PRODUCT_NAME}.lnk" "$INSTDIR\${EXE_NAME}"
SectionEnd

Section "Uninstall"
  !insertmacro EnsureNotRunning "$INSTDIR\${EXE_NAME}"
  Delete "$DESKTOP\${PRODUCT_NAME}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT_NAME}.lnk"
  Delete "$INSTDIR\${EXE_NAME}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegValue HKCU "${FEATURE_CONTROL}\FEATURE_GPU_RENDERING" "${EXE_NAME}"
  DeleteRegValue HKCU "${FEATURE_CONTROL}\FEATURE_BROWSER_EMULATION" "${EXE_NAME}"
SectionEnd
