; Installer for Needlecast: puts the saver where Windows lists screen savers and makes it the current one.
;
; Build (scripts/package.sh does this):
;   makensis -DVERSION=<version> -DVERSION_QUAD=<version as four numbers>
;            -DSCR32=<32-bit needlecast.scr> -DSCR64=<64-bit needlecast.scr>
;            -DLICENSE=<LICENSE> -DICON=<needlecast.ico> -DPICTURE=<164x314 BMP>
;            -DOUTFILE=<setup .exe> needlecast.nsi
; Runs silently with /S, showing no page and opening nothing; the uninstaller too.

Unicode true
SetCompressor /SOLID lzma

!macro Needs NAME
  !ifndef ${NAME}
    !error "Give -D${NAME}=... on the makensis command line (VERSION, VERSION_QUAD, SCR32, SCR64, LICENSE, ICON, PICTURE, OUTFILE)"
  !endif
!macroend
!insertmacro Needs VERSION
!insertmacro Needs VERSION_QUAD
!insertmacro Needs SCR32
!insertmacro Needs SCR64
!insertmacro Needs LICENSE
!insertmacro Needs ICON
!insertmacro Needs PICTURE
!insertmacro Needs OUTFILE

!include LogicLib.nsh
!include MUI2.nsh
!include x64.nsh

!define PRODUCT "Needlecast"
!define PUBLISHER "The Needlecast developers"
!define SAVER "needlecast.scr"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define DESKTOP_KEY "Control Panel\Desktop"
; SystemParametersInfo: SPI_SETSCREENSAVEACTIVE, and SPIF_UPDATEINIFILE | SPIF_SENDCHANGE.
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_SEND 3

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
; The list of files done stays behind "Show details".
ShowInstDetails hide
ShowUninstDetails hide
; The folder that holds the uninstaller; .onInit picks Program Files of the system's bitness.
InstallDir "$PROGRAMFILES\${PRODUCT}"
; No file times in the installer: the same savers give the same bytes.
SetDateSave off

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"

; $SaverPath: where the saver goes (or went), with file-system redirection off on 64-bit Windows.
Var SaverPath

; The pages: the saver's icon on both programs, a frame of the saver beside the welcome and
; finish pages, and the finish page's box that opens the screen saver settings.
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${PICTURE}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${PICTURE}"
!define MUI_WELCOMEPAGE_TEXT "Needlecast is a screen saver that plays Buffon's needle experiment: \
needles fly at a pane of ruled lines, and those that cross a line estimate pi.$\r$\n$\r$\n\
Setup installs it and makes it your screen saver.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the screen saver settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenSettings
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

; Sets $SaverPath and the registry view for the system's bitness. On 64-bit Windows this
; 32-bit program would see SysWOW64 under System32 and the 32-bit registry, so both
; redirections are turned off for as long as the program runs.
!macro PickSystem UN
Function ${UN}PickSystem
  ${If} ${RunningX64}
    SetRegView 64
    ${DisableX64FSRedirection}
    StrCpy $SaverPath "$WINDIR\System32\${SAVER}"
  ${Else}
    StrCpy $SaverPath "$SYSDIR\${SAVER}"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro PickSystem ""
!insertmacro PickSystem "un."

Function .onInit
  ; A folder given with /D stays as given.
  ${If} ${RunningX64}
  ${AndIf} $INSTDIR == "$PROGRAMFILES\${PRODUCT}"
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
  ${EndIf}
FunctionEnd

Section "Needlecast"
  Call PickSystem

  ; The saver, of the system's bitness, into the folder the screen saver settings list.
  ClearErrors
  ${If} ${RunningX64}
    SetOutPath "$WINDIR\System32"
    File "/oname=${SAVER}" "${SCR64}"
  ${Else}
    SetOutPath "$SYSDIR"
    File "/oname=${SAVER}" "${SCR32}"
  ${EndIf}
  IfErrors 0 +2
    Abort "Could not write $SaverPath"

  ; The user's screen saver as it was, for the uninstaller to give back. Installing again
  ; over an earlier install keeps what that install found, rather than recording our own
  ; saver as the one to go back to.
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} ${Errors}
    StrCpy $1 0
  ${Else}
    StrCpy $1 1
  ${EndIf}
  GetFullPathName /SHORT $3 $SaverPath
  StrCpy $6 1
  ClearErrors
  ReadRegDWORD $2 HKLM "${UNINSTALL_KEY}" "PreviousScreenSaverSet"
  ${IfNot} ${Errors}
  ${AndIf} $1 == 1
    ${If} $0 == $SaverPath
    ${OrIf} $0 == $3
      StrCpy $6 0
    ${EndIf}
  ${EndIf}
  ${If} $6 == 1
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PreviousScreenSaver" $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "PreviousScreenSaverSet" $1
    ; Whether screen savers were on, as the setting's own text ("" when there was none).
    ClearErrors
    ReadRegStr $7 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PreviousScreenSaveActive" $7
  ${EndIf}

  ; Needlecast as the current screen saver (Windows takes the full path), with screen savers
  ; switched on, and the running system told at once, as the display settings do.
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $SaverPath
  System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_SEND})'
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"

  ; The uninstaller and its entry in the installed-programs list.
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SaverPath"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstalledSaver" "$SaverPath"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; The saver's size in KiB, for the list's size column.
  FileOpen $4 $SaverPath r
  FileSeek $4 0 END $5
  FileClose $4
  IntOp $5 $5 / 1024
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $5
SectionEnd

; The finish page's box, ticked (a silent setup shows no page, so opens nothing): the screen
; saver settings with Needlecast chosen, as Windows' own Install does it.
Function OpenSettings
  Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver $SaverPath'
FunctionEnd

Section "Uninstall"
  Call un.PickSystem
  ; The path the install recorded wins over the one worked out here.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstalledSaver"
  ${If} $0 != ""
    StrCpy $SaverPath $0
  ${EndIf}

  ; Give the screen saver back, but only while ours is still the chosen one: if the user
  ; has picked another since, that choice stays. Windows' own settings may have written
  ; our path in its short form, so both forms count as ours (NSIS compares without case).
  GetFullPathName /SHORT $1 $SaverPath
  ClearErrors
  ReadRegStr $2 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  StrCpy $5 0
  ${IfNot} ${Errors}
    ${If} $2 == $SaverPath
      StrCpy $5 1
    ${ElseIf} $1 != ""
    ${AndIf} $2 == $1
      StrCpy $5 1
    ${EndIf}
  ${EndIf}
  ${If} $5 == 1
    ClearErrors
    ReadRegDWORD $3 HKLM "${UNINSTALL_KEY}" "PreviousScreenSaverSet"
    ReadRegStr $4 HKLM "${UNINSTALL_KEY}" "PreviousScreenSaver"
    ${If} ${Errors}
    ${OrIf} $3 != 1
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $4
    ${EndIf}
    ; Screen savers on or off as they were, told to the running system (which writes the
    ; setting as it does so); then the setting exactly as found, none if there was none.
    ReadRegStr $6 HKLM "${UNINSTALL_KEY}" "PreviousScreenSaveActive"
    ${If} $6 == "1"
      StrCpy $7 1
    ${Else}
      StrCpy $7 0
    ${EndIf}
    System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i $7, p 0, i ${SPIF_UPDATE_AND_SEND})'
    ${If} $6 == ""
      DeleteRegValue HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" $6
    ${EndIf}
  ${EndIf}

  ; A saver still running keeps its file until the next restart.
  Delete /REBOOTOK $SaverPath
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; Run in place (with _?=) the uninstaller cannot delete itself; the folder then stays.
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
