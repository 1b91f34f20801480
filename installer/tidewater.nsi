; Tidewater-Setup.exe: installs the screen saver into the system folder and
; its data folder (resource library, settings program, licence texts) under
; Program Files, tells the saver where that folder is ("DATAPATH"), gives a
; new user the aquarium's first-run settings, optionally makes Tidewater the
; current screen saver, and registers an uninstaller that takes all of it
; back and restores the previous screen saver. /S works for both.
;
;   makensis -DBIN=dir -DLICENCES=dir -DOUR_LICENCE=file -DICON=file -DOUTFILE=file
;            -DCONFIG_VALUES=file tidewater.nsi
;
; CONFIG_VALUES is the build's generated/config_values.nsh: the registry keys
; (MAKER_KEY, PRODUCT_KEY, CONFIG_KEY), the configuration's value names
; (VALUE_...) and the first-run values.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "${CONFIG_VALUES}"

!define PRODUCT "Tidewater"
!define PUBLISHER "Quillmoor"
!define VERSION "1.00"
!define SAVER "tidewater.scr"
!define SETTINGS "animated tidewater.exe"
; Where the installer remembers, per user, the screen saver it replaced.
!define SETUP_KEY "${PRODUCT_KEY}\Setup"
!define DESKTOP_KEY "Control Panel\Desktop"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tidewater"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "1.0.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} screen saver setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (c) ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This will install the ${PRODUCT} aquarium screen saver on your computer.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN "$INSTDIR\${SETTINGS}"
!define MUI_FINISHPAGE_RUN_TEXT "Open the ${PRODUCT} settings"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${OUR_LICENCE}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; FirstRunNumber NAME NUMBER: writes the user's value NAME as a DWORD when the
; user has no such value yet.
!macro FirstRunNumber NAME NUMBER
  ClearErrors
  ReadRegDWORD $0 HKCU "${CONFIG_KEY}" "${NAME}"
  ${If} ${Errors}
    WriteRegDWORD HKCU "${CONFIG_KEY}" "${NAME}" ${NUMBER}
  ${EndIf}
!macroend

; $R0 = the installed saver's path as the system sees it: a 32-bit program's
; system folder is SysWOW64 on 64-bit Windows, where writes to $SYSDIR go.
!macro SaverPath
  ${If} ${RunningX64}
    StrCpy $R0 "$WINDIR\SysWOW64\${SAVER}"
  ${Else}
    StrCpy $R0 "$SYSDIR\${SAVER}"
  ${EndIf}
!macroend

Section "${PRODUCT} screen saver" SecSaver
  SectionIn RO
  SetOutPath "$SYSDIR"
  File "${BIN}/${SAVER}"

  SetOutPath "$INSTDIR"
  File "${BIN}/ReraDOR.dll"
  File "${BIN}/${SETTINGS}"
!if /FileExists "${BIN}/mpadec.dll"
  File "${BIN}/mpadec.dll"
!endif
  SetOutPath "$INSTDIR\Licences"
  File /oname=Tidewater.txt "${OUR_LICENCE}"
  File "${LICENCES}/*.txt"
  SetOutPath "$INSTDIR"

  ; The saver appends the settings program's name to this path directly.
  WriteRegStr HKLM "${CONFIG_KEY}" "${VALUE_DATAPATH}" "$INSTDIR\"

  ; A new user sees every creature over a random stock scene, filling the
  ; whole of each monitor; values a user already has are kept.
  !insertmacro FirstRunValues

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} screen saver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${SETTINGS}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Make ${PRODUCT} the current screen saver" SecCurrent
  ; Remember what was there (or that nothing was), once: a second install
  ; must not take Tidewater itself for the previous saver.
  ClearErrors
  ReadRegStr $0 HKCU "${SETUP_KEY}" "PreviousPresent"
  ${If} ${Errors}
    ClearErrors
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} ${Errors}
      WriteRegStr HKCU "${SETUP_KEY}" "PreviousPresent" "0"
    ${Else}
      WriteRegStr HKCU "${SETUP_KEY}" "PreviousPresent" "1"
      WriteRegStr HKCU "${SETUP_KEY}" "Previous" "$1"
    ${EndIf}
  ${EndIf}
  !insertmacro SaverPath
  GetFullPathName /SHORT $2 "$R0"
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$2"
SectionEnd

LangString DESC_SecSaver ${LANG_ENGLISH} "The screen saver, its settings program and its pictures and sounds."
LangString DESC_SecCurrent ${LANG_ENGLISH} "Start ${PRODUCT} when the computer is idle, instead of the screen saver you have now."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSaver} $(DESC_SecSaver)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecCurrent} $(DESC_SecCurrent)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
  ; The previous screen saver comes back, when Tidewater is still the
  ; current one.
  !insertmacro SaverPath
  GetFullPathName /SHORT $2 "$R0"
  ReadRegStr $3 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ClearErrors
  ReadRegStr $0 HKCU "${SETUP_KEY}" "PreviousPresent"
  ${IfNot} ${Errors}
  ${AndIf} $3 == $2
    ${If} $0 == "1"
      ReadRegStr $1 HKCU "${SETUP_KEY}" "Previous"
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$1"
    ${Else}
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
  ${EndIf}

  DeleteRegKey HKCU "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
  DeleteRegKey HKLM "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKLM "${MAKER_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  Delete "$SYSDIR\${SAVER}"
  Delete "$INSTDIR\ReraDOR.dll"
  Delete "$INSTDIR\${SETTINGS}"
  Delete "$INSTDIR\mpadec.dll"
  Delete "$INSTDIR\tmp"
  Delete "$INSTDIR\Licences\*.txt"
  RMDir "$INSTDIR\Licences"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
