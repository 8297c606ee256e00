; The Windows installer of KIVODialer, built on Linux with makensis (the Windows build's target
; kivo_installer): KIVODialer.exe under Program Files, a Start-menu entry, an uninstaller, the start with
; the user's logon (a component, on by default), and tel: and callto: links for the user, as the Linux
; package's desktop entry declares them. Uninstalling removes all of it; the user's settings and call
; history in the registry stay, as they would after the Linux package is removed.
;
; makensis -DVERSION=1.0.0.1 -DEXE=path/KIVODialer.exe -DOUTFILE=path/KIVODialer-setup.exe KIVODialer.nsi
; A 64-bit installer for the 64-bit program (and a 64-bit Wine runs it).
Target amd64-unicode
SetCompressor /SOLID lzma
!include "MUI2.nsh"
!include "LogicLib.nsh"

!define PRODUCT "KIVODialer"
!define PUBLISHER "Selvane-Works"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; A link scheme for the user, handled by the program with the link as its command line.
!macro RegisterLinkScheme SCHEME
  WriteRegStr HKCU "Software\Classes\${SCHEME}" "" "URL:${SCHEME}"
  WriteRegStr HKCU "Software\Classes\${SCHEME}" "URL Protocol" ""
  WriteRegStr HKCU "Software\Classes\${SCHEME}\DefaultIcon" "" '"$INSTDIR\KIVODialer.exe",0'
  WriteRegStr HKCU "Software\Classes\${SCHEME}\shell\open\command" "" '"$INSTDIR\KIVODialer.exe" %1'
!macroend
; Removed only while it is still ours: another program may have taken the scheme since.
!macro UnregisterLinkScheme SCHEME
  ReadRegStr $0 HKCU "Software\Classes\${SCHEME}\shell\open\command" ""
  ${If} $0 == '"$INSTDIR\KIVODialer.exe" %1'
    DeleteRegKey HKCU "Software\Classes\${SCHEME}"
  ${EndIf}
!macroend

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "/oname=KIVODialer.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\KIVODialer.exe"

  !insertmacro RegisterLinkScheme "tel"
  !insertmacro RegisterLinkScheme "callto"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\KIVODialer.exe",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "ログオン時に起動する" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\KIVODialer.exe"'
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  !insertmacro UnregisterLinkScheme "tel"
  !insertmacro UnregisterLinkScheme "callto"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\KIVODialer.exe"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
