; Installer of VR Pedalon Hub, made by packaging/make-release.sh:
;   makensis -DVERSION=1.2.0 -DSTAGE=<folder of the zip's files> -DOUTFILE=<setup.exe> installer.nsi
; 64-bit, for all users, into Program Files. /S installs and uninstalls silently. Installing
; over an earlier install replaces it in place, in the folder it used.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
SetDateSave off ; no file times in the installer, so two builds give the same bytes
ManifestDPIAware true
RequestExecutionLevel admin

!include FileFunc.nsh
!include LogicLib.nsh

!define APP "VR Pedalon Hub"
!define PUBLISHER "VR Pedalon"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" InstallLocation
BrandingText "${APP} ${VERSION}"

VIProductVersion ${VERSION}.0
VIAddVersionKey ProductName "${APP}"
VIAddVersionKey ProductVersion ${VERSION}
VIAddVersionKey FileVersion ${VERSION}
VIAddVersionKey FileDescription "${APP} setup"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section
  SetOutPath "$INSTDIR\docs"
  File "${STAGE}/docs/protocol.md"
  SetOutPath "$INSTDIR\feeder"
  File "${STAGE}/feeder/README.txt"
  SetOutPath "$INSTDIR" ; also the shortcut's working folder
  File "${STAGE}/pedalon-hub.exe"
  File "${STAGE}/pedalon-peer.exe"
  File "${STAGE}/README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\pedalon-hub.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" Publisher "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\pedalon-hub.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" EstimatedSize $0
SectionEnd

; Removes what the installer put there, nothing else: a feeder program the user added stays.
Section Uninstall
  Delete "$SMPROGRAMS\${APP}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\docs\protocol.md"
  Delete "$INSTDIR\feeder\README.txt"
  Delete "$INSTDIR\pedalon-hub.exe"
  Delete "$INSTDIR\pedalon-peer.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\docs"
  RMDir "$INSTDIR\feeder"
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\*.*"
    DetailPrint "Kept files you added in $INSTDIR"
    MessageBox MB_OK|MB_ICONINFORMATION "VR Pedalon Hub is uninstalled. Files you added, such as the feeder program, were left in$\r$\n$INSTDIR$\r$\nDelete them yourself when you no longer need them." /SD IDOK
  ${EndIf}
SectionEnd
