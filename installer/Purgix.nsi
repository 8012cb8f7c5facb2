; Purgix's setup: the zip's files installed for the current user alone, with
; no administrator rights, and the uninstaller that takes them away again.
;
; tools/package stages the zip's files in STAGE (with Skins.nsh, the shipped
; skin files by name) and compiles this script with
;   makensis -DVERSION=2.0.0 -DSTAGE=<folder> -DOUTFILE=<setup.exe>
;            -DHOMEPAGE=<url> -DICON=<Purgix.ico> installer/Purgix.nsi
;
; Switches: /S installs silently; /RUN, with /S, starts Purgix when the
; install ends (the finish page's check box does it otherwise); /D=<folder>
; chooses the folder (last on the line, unquoted). The uninstaller takes /S.

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Purgix"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The program's settings store, Software\Quenlor\<exe name>\Options.
!define SETTINGS_KEY "Software\Quenlor\Purgix"

Target amd64-unicode
SetCompressor /SOLID /FINAL lzma
; Every staged file carries the commit's time, so keeping the times keeps
; the setup's bytes the same from build to build.
SetDateSave on
; A file that cannot be replaced (Purgix still running) fails the install:
; a half-upgraded folder would be worse.
AllowSkipFiles off

Name "Purgix"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Purgix"
; An upgrade goes where the last install went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show
BrandingText "Purgix ${VERSION}"

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include "${STAGE}\Skins.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Setup will install Purgix ${VERSION} for you alone, in a folder of your own. It needs no administrator rights.$\r$\n$\r$\nIf Purgix is running, Setup asks it to save its settings and end before replacing its files; your skin choice is kept.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Purgix.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Purgix now"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Purgix"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Quenlor"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Purgix Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) 2026 Quenlor"

; Files are replaced or removed only once the running copy has saved its
; settings and ended. The program's own "/exit" asks it to and waits; a
; non-zero answer with no Purgix window left still lets the work go on.
!macro StopPurgix
  ${If} ${FileExists} "$INSTDIR\Purgix.exe"
    ${Do}
      ExecWait '"$INSTDIR\Purgix.exe" /exit' $0
      FindWindow $1 "PurgixForm"
      ${If} $0 == 0
      ${OrIf} $1 == 0
        ${Break}
      ${EndIf}
      ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Purgix is still running and did not end when asked.$\r$\n$\r$\nExit it from its tray icon, then choose Retry." /SD IDCANCEL IDCANCEL`
        Abort "Purgix is still running."
      ${EndIf}
    ${Loop}
  ${EndIf}
!macroend

!macro InstallSkinFile NAME
  File "${STAGE}\Skin\${NAME}"
!macroend

!macro RemoveSkinFile NAME
  Delete "$INSTDIR\Skin\${NAME}"
!macroend

Function .onInit
  SetShellVarContext current
FunctionEnd

Section "Purgix"
  !insertmacro StopPurgix

  SetOutPath "$INSTDIR"
  File "${STAGE}\Purgix.exe"
  File "${STAGE}\Help.chm"
  File "${STAGE}\LICENSE"
  File "${STAGE}\README.txt"
  SetOutPath "$INSTDIR\Skin"
  !insertmacro SkinFiles InstallSkinFile
  SetOutPath "$INSTDIR"

  ; The user's skin choice stays when that skin is still there; the program
  ; may have written the file as UTF-16, which the profile API reads too.
  ReadINIStr $0 "$INSTDIR\Config.inf" "CONFIGSKIN" "SKIN"
  ${If} ${FileExists} "$INSTDIR\Skin\$0"
    DetailPrint "Keeping the skin in use: $0"
  ${Else}
    File "${STAGE}\Config.inf"
  ${EndIf}

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Purgix.lnk" "$INSTDIR\Purgix.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Purgix"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quenlor"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Purgix.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${HOMEPAGE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; A silent install has no finish page to start Purgix from: /RUN asks for it.
Function .onInstSuccess
  ${If} ${Silent}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/RUN" $1
    ${IfNot} ${Errors}
      Exec '"$INSTDIR\Purgix.exe"'
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

; Mirrors the install: only what it put there, and the folders only when
; nothing of the user's is left in them. The settings are asked about first:
; the skin choice in Config.inf is one of them, and goes or stays with them.
Section "Uninstall"
  !insertmacro StopPurgix

  StrCpy $R0 "keep"
  ${If} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Remove your Purgix settings as well (the options and the skin choice)?" /SD IDNO IDYES`
    StrCpy $R0 "remove"
  ${ElseIfNot} ${FileExists} "$APPDATA\Quenlor\Purgix\Config.inf"
    ; Kept: the choice moves, bytes and all, to the user's own copy, which
    ; start-up reads first; a reinstall then starts with the same skin. A user
    ; copy that already exists is the one the program reads and writes.
    ${If} ${FileExists} "$INSTDIR\Config.inf"
      CreateDirectory "$APPDATA\Quenlor\Purgix"
      CopyFiles /SILENT "$INSTDIR\Config.inf" "$APPDATA\Quenlor\Purgix\Config.inf"
    ${EndIf}
  ${EndIf}

  Delete "$INSTDIR\Purgix.exe"
  Delete "$INSTDIR\Help.chm"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Config.inf"
  !insertmacro SkinFiles RemoveSkinFile
  RMDir "$INSTDIR\Skin"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\Purgix.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; "Start with Windows" may sit in either Run key; the machine's one needs
  ; rights this user may not have, and then stays.
  DeleteRegValue HKCU "${RUN_KEY}" "Purgix"
  DeleteRegValue HKLM "${RUN_KEY}" "Purgix"

  ${If} $R0 == "remove"
    DeleteRegKey HKCU "${SETTINGS_KEY}\Options"
    DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Quenlor"
    Delete "$APPDATA\Quenlor\Purgix\Config.inf"
    RMDir "$APPDATA\Quenlor\Purgix"
    RMDir "$APPDATA\Quenlor"
  ${EndIf}
SectionEnd
