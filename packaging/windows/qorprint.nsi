; The Windows installer, built on Linux by scripts/build-windows-dist:
;   makensis -DVERSION=X.Y.Z -DFILES=DIR -DOUTFILE=SETUP.EXE qorprint.nsi
; DIR holds the release files (stripped programs, libraries, message files,
; samples, readme) and the two lists the script makes from them,
; install-files.nsh and uninstall-files.nsh: the uninstaller removes exactly
; those files, so what a user or the programs put in the folder later, and
; the per-user settings, logs and jobs elsewhere, stay.
Unicode true
SetCompressor /SOLID lzma
!include MUI2.nsh

!ifndef VERSION | FILES | OUTFILE
  !error "give -DVERSION, -DFILES and -DOUTFILE"
!endif

!define PRODUCT QORPRINT
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; A 32-bit program: on 64-bit Windows this is "Program Files (x86)".
InstallDir "$PROGRAMFILES\${PRODUCT}"
; A second installation (an update) goes where the first went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 ProductName "${PRODUCT}"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileDescription "${PRODUCT} ${VERSION} Setup"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; The Start-menu entries are for every user of the machine.
Function .onInit
  SetShellVarContext all
FunctionEnd
Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Install"
  !include "${FILES}/install-files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The client takes jobs into its current folder unless given one: started
  ; from the menu, the user's own folder rather than the installation.
  ; Windows expands the variable when the entry is opened.
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  StrCpy $OUTDIR "%USERPROFILE%"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\qorprtt.exe" "" \
                 "$INSTDIR\qorprtt.exe" 0 SW_SHOWNORMAL "" "Take print jobs from the host"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Configuration.lnk" "$INSTDIR\qorcnfig.exe" "" \
                 "$INSTDIR\qorcnfig.exe" 0 SW_SHOWNORMAL "" "Choose the emulator adapter and session"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Readme.lnk" "$INSTDIR\README-windows.txt"
  StrCpy $OUTDIR "$INSTDIR"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\qorprtt.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Configuration.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Readme.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  !include "${FILES}/uninstall-files.nsh"
  Delete "$INSTDIR\uninstall.exe"
  ; Not /r: a folder that holds anything else is left with it.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
