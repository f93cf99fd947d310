; The Windows installer: Korvane into Program Files for every user of the
; computer, a Start-menu entry with its icon, and an uninstaller that removes
; the program and nothing else (the data folders, Documents\Korvane and
; those chosen in the program, stay).  "/S" installs and uninstalls silently.
;
; makensis -DVERSION=3.1 -DSOURCE=<program folder> -DOUTFILE=<setup.exe>
;          -DICON=<korvane.ico> -DLICENSE=<licence text> korvane.nsi

; A 64-bit installer for a 64-bit program: it runs wherever the program
; does, a Wine without its 32-bit part included.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvane"

Name "Korvane ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Korvane"
InstallDirRegKey HKLM "Software\Korvane" "InstallDir"
BrandingText "Korvane ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Korvane"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Korvane ${VERSION} setup"
VIAddVersionKey "LegalCopyright" "GNU General Public License, version 3 or later"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEPAGE_TITLE "Korvane ${VERSION}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\korvane.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "--user-folder"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "Korvane needs a 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Korvane"
  SetOutPath "$INSTDIR"
  ; An earlier version's files go first, so nothing stale stays beside the new ones.
  RMDir /r "$INSTDIR\plugins"
  RMDir /r "$INSTDIR\modules"
  File /r "${SOURCE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Started from the menu, Korvane works in the folder last chosen, else in
  ; Documents\Korvane.
  CreateShortcut "$SMPROGRAMS\Korvane.lnk" "$INSTDIR\korvane.exe" "--user-folder" "$INSTDIR\korvane.exe" 0

  WriteRegStr HKLM "Software\Korvane" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Korvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Korvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\korvane.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\Korvane.lnk"
  ; Only what the installer put there: the data folders live elsewhere and
  ; are never touched.
  RMDir /r "$INSTDIR\modules"
  RMDir /r "$INSTDIR\plugins"
  RMDir /r "$INSTDIR\translations"
  RMDir /r "$INSTDIR\fonts"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\korvane.exe"
  Delete "$INSTDIR\qt.conf"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\Korvane"
SectionEnd
