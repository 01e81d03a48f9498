; The installer of Pon_dex for one user, without administrator rights.
;
;   makensis -DVERSION=1.0 -DFILE_VERSION=1.0.0.0 -DSTAGING=<folder with the
;            programs, README.md and LICENSE> -DICON=<.ico> -DOUTFILE=<.exe> installer.nsi
;
; It installs into the user's own programs folder, where Pon_dex may write its
; settings and language file beside itself. The uninstaller deletes only the
; files this installer put there, so Pon_dex_Settings.ini, set.lng and any
; data file stay, and the folder goes only when nothing else is left in it.
; The program is 64-bit, so the installer may be too (it then also runs where
; no 32-bit subsystem is installed, as in our Wine test environment).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pon_dex"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SHORTCUT "$SMPROGRAMS\Pon_dex.lnk"

Name "Pon_dex ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Pon_dex"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "Pon_dex"
VIAddVersionKey /LANG=0 "CompanyName" "Pon_dex developers"
VIAddVersionKey /LANG=0 "LegalCopyright" "© 2026 Pon_dex developers"
VIAddVersionKey /LANG=0 "FileDescription" "Pon_dex setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Pon_dex.exe"

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the fallback; Polish is chosen on a Polish Windows.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Polish"

LangString SectionProgram ${LANG_ENGLISH} "Pon_dex and its help"
LangString SectionProgram ${LANG_POLISH} "Pon_dex i pomoc"
LangString SectionAutostart ${LANG_ENGLISH} "Start Pon_dex with Windows"
LangString SectionAutostart ${LANG_POLISH} "Uruchamiaj Pon_dex razem z Windows"
LangString StillRunning ${LANG_ENGLISH} "$0 is running. End it (Pon_dex: right-click its icon beside the clock, Zamknij) and start this program again."
LangString StillRunning ${LANG_POLISH} "$0 jest uruchomiony. Zakończ go (Pon_dex: prawy przycisk myszy na ikonie obok zegara, Zamknij) i uruchom ten program ponownie."

; A running program cannot be replaced or removed; finding that out halfway
; would leave a broken installation, so ask for it to be ended first.
; Windows refuses to open a running program's file for writing.
!macro REFUSE_IF_RUNNING file
  ${If} ${FileExists} "$INSTDIR\${file}"
    ClearErrors
    FileOpen $1 "$INSTDIR\${file}" a
    ${If} ${Errors}
      StrCpy $0 "${file}"
      MessageBox MB_ICONSTOP "$(StillRunning)" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    FileClose $1
  ${EndIf}
!macroend

Function .onInit
  SetShellVarContext current
FunctionEnd

Section "!$(SectionProgram)" SectionProgram
  SectionIn RO
  !insertmacro REFUSE_IF_RUNNING "Pon_dex.exe"
  !insertmacro REFUSE_IF_RUNNING "pondex_help.exe"
  SetOutPath "$INSTDIR"
  File "${STAGING}/Pon_dex.exe"
  File "${STAGING}/pondex_help.exe"
  File "${STAGING}/README.md"
  File "${STAGING}/LICENSE"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\Pon_dex.exe"

  ; Start with Windows only when chosen again (its section writes it back).
  DeleteRegValue HKCU "${RUN_KEY}" "Pon_dex"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Pon_dex"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Pon_dex developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Pon_dex.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SectionProgram} $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "$(SectionAutostart)" SectionAutostart
  WriteRegStr HKCU "${RUN_KEY}" "Pon_dex" '"$INSTDIR\Pon_dex.exe"'
SectionEnd

Function un.onInit
  SetShellVarContext current
  !insertmacro REFUSE_IF_RUNNING "Pon_dex.exe"
  !insertmacro REFUSE_IF_RUNNING "pondex_help.exe"
FunctionEnd

Section "Uninstall"
  Delete "$INSTDIR\Pon_dex.exe"
  Delete "$INSTDIR\pondex_help.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE"
  Delete "${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "Pon_dex"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  ; Not /r: the settings, the language file and data files stay, and with
  ; them the folder.
  RMDir "$INSTDIR"
SectionEnd
