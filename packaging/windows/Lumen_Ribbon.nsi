; The Windows installers: Lumen_Ribbon.scr and Lumen_Ribbon.dll side by side in the system
; folder, where the screen saver settings list them.
;   makensis -DVERSION=x.y.z -DBIN_DIR=<folder of the two programs> -DSOURCE_DIR=<sources>
;            -DOUT_FILE=<installer> [-DWIN64] Lumen_Ribbon.nsi
; Without WIN64: a 32-bit installer of the 32-bit saver, which on 64-bit Windows goes to SysWOW64
; (after pointing the user to the 64-bit installer). With WIN64: a 64-bit installer of the 64-bit
; saver into the real System32; 32-bit Windows does not start it at all.
; Command line of the installer: /S silent, /CURRENT make it the current screen saver (the
; interactive installer offers it checked). Of the uninstaller: /S silent, /REMOVESETTINGS
; delete Lumen_Ribbon.ini too (kept otherwise).

!ifdef WIN64
  Target amd64-unicode
!else
  Unicode true
!endif
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include x64.nsh

!define PRODUCT "Lumen_Ribbon"
!define PUBLISHER "The Lumen_Ribbon developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumen_Ribbon"
!define DESKTOP_KEY "Control Panel\Desktop"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
; Only the uninstaller and the license live here; the saver belongs in the system folder.
!ifdef WIN64
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show

Var SaverDir

!define MUI_ICON "${SOURCE_DIR}/resources/lumen_ribbon.ico"
!define MUI_UNICON "${SOURCE_DIR}/resources/lumen_ribbon.ico"
!define MUI_FINISHPAGE_TITLE "$(FinishTitle)"
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!define MUI_FINISHPAGE_TEXT_LARGE
!insertmacro MUI_PAGE_LICENSE "${SOURCE_DIR}/LICENSE"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} installer"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) ${PUBLISHER}, MIT License"

LangString SecSaverName ${LANG_ENGLISH} "Screen saver"
LangString SecSaverName ${LANG_JAPANESE} "スクリーンセーバー"
LangString SecSaverText ${LANG_ENGLISH} "Lumen_Ribbon.scr and Lumen_Ribbon.dll, side by side in the system folder."
LangString SecSaverText ${LANG_JAPANESE} "Lumen_Ribbon.scr と Lumen_Ribbon.dll をシステム フォルダーに置きます。"
LangString SecCurrentName ${LANG_ENGLISH} "Set as current saver"
LangString SecCurrentName ${LANG_JAPANESE} "現在のセーバーにする"
LangString SecCurrentText ${LANG_ENGLISH} "Choose Lumen_Ribbon in the screen saver settings now."
LangString SecCurrentText ${LANG_JAPANESE} "スクリーンセーバーの設定で Lumen_Ribbon を選んだ状態にします。"
LangString SecRemoveName ${LANG_ENGLISH} "Screen saver"
LangString SecRemoveName ${LANG_JAPANESE} "スクリーンセーバー"
LangString SecRemoveText ${LANG_ENGLISH} "Removes both programs and the entries the installer made."
LangString SecRemoveText ${LANG_JAPANESE} "2 つのプログラムと、インストール時の登録を削除します。"
LangString SecSettingsName ${LANG_ENGLISH} "Settings file"
LangString SecSettingsName ${LANG_JAPANESE} "設定ファイル"
LangString SecSettingsText ${LANG_ENGLISH} "Also deletes your music choice, Lumen_Ribbon.ini."
LangString SecSettingsText ${LANG_JAPANESE} "BGM の設定 (Lumen_Ribbon.ini) も削除します。"
LangString FinishTitle ${LANG_ENGLISH} "Lumen_Ribbon is installed"
LangString FinishTitle ${LANG_JAPANESE} "Lumen_Ribbon をインストールしました"
LangString FinishText ${LANG_ENGLISH} "Lumen_Ribbon is in the system folder, where the screen saver settings list it. Its music choice is kept in Lumen_Ribbon.ini beside it, a folder an ordinary user may not write.$\r$\n$\r$\nWindows Vista and later usually give such a program a copy of the file for each user instead (under %LOCALAPPDATA%\VirtualStore). Where Windows refuses the write, the settings dialog's 設定 button shows $\"設定を Lumen_Ribbon.ini に書き込めません！$\" (the settings cannot be written) and the dialog stays open: nothing is lost silently, and the saver keeps the settings it had."
LangString FinishText ${LANG_JAPANESE} "Lumen_Ribbon をシステム フォルダーにインストールしました。スクリーンセーバーの設定の一覧に表示されます。BGM の設定は同じフォルダーの Lumen_Ribbon.ini に保存されますが、このフォルダーには一般ユーザーが書き込めないことがあります。$\r$\n$\r$\nWindows Vista 以降では、多くの場合 Windows がユーザーごとのコピー (%LOCALAPPDATA%\VirtualStore の下) に保存します。書き込みが拒否されたときは、設定画面の「設定」を押すと「設定を Lumen_Ribbon.ini に書き込めません！」と表示され、設定画面は閉じません。設定が黙って失われることはなく、それまでの設定がそのまま使われます。"

LangString Prefer64 ${LANG_ENGLISH} "This is the installer for 32-bit Windows. On this 64-bit Windows, Lumen_Ribbon-${VERSION}-win64-setup.exe installs the 64-bit saver, which is the right choice.$\r$\n$\r$\nInstall the 32-bit saver anyway?"
LangString Prefer64 ${LANG_JAPANESE} "これは 32 ビット版 Windows 用のインストーラーです。この 64 ビット版 Windows には、64 ビット版のセーバーをインストールする Lumen_Ribbon-${VERSION}-win64-setup.exe が適しています。$\r$\n$\r$\nこのまま 32 ビット版をインストールしますか？"

; The folder the saver belongs in. The 64-bit installer is a 64-bit program, so $SYSDIR is the
; real System32; the 32-bit one names SysWOW64 directly, so no file system redirection applies.
!macro SaverFolder
  !ifdef WIN64
    StrCpy $SaverDir "$SYSDIR"
  !else
    ${If} ${RunningX64}
      StrCpy $SaverDir "$WINDIR\SysWOW64"
    ${Else}
      StrCpy $SaverDir "$SYSDIR"
    ${EndIf}
  !endif
!macroend

Section "$(SecSaverName)" SecSaver
  SectionIn RO
  SetOutPath "$SaverDir"
  File "${BIN_DIR}/Lumen_Ribbon.scr"
  File "${BIN_DIR}/Lumen_Ribbon.dll"
  !ifdef WIN64
    ; Windows keeps no per-user copy of a 64-bit program's files, so an ordinary user could never
    ; save the music choice into System32: the settings file is made writable for the Users group.
    ${IfNot} ${FileExists} "$SaverDir\Lumen_Ribbon.ini"
      FileOpen $0 "$SaverDir\Lumen_Ribbon.ini" w
      FileClose $0
    ${EndIf}
    nsExec::Exec '"$SYSDIR\icacls.exe" "$SaverDir\Lumen_Ribbon.ini" /grant *S-1-5-32-545:M'
    Pop $0
  !endif
  SetOutPath "$INSTDIR"
  File "/oname=LICENSE.txt" "${SOURCE_DIR}/LICENSE"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SaverDir\Lumen_Ribbon.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$SaverDir"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$SaverDir" "/M=Lumen_Ribbon.* /S=0K /G=0" $0 $1 $2
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  IntOp $0 $0 + $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(SecCurrentName)" SecCurrent
  ; Windows keeps the saver's short path.
  GetFullPathName /SHORT $0 "$SaverDir\Lumen_Ribbon.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSaver} "$(SecSaverText)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecCurrent} "$(SecCurrentText)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  !insertmacro SaverFolder
  !ifndef WIN64
    ; A silent install goes on, as scripted installs expect.
    ${If} ${RunningX64}
      MessageBox MB_YESNO|MB_ICONINFORMATION "$(Prefer64)" /SD IDYES IDYES +2
      Abort
    ${EndIf}
  !endif
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/CURRENT" $1
  ${If} ${Errors}
  ${AndIf} ${Silent}
    !insertmacro UnselectSection ${SecCurrent}
  ${EndIf}
FunctionEnd

Section "un.$(SecRemoveName)" SecRemove
  SectionIn RO
  ; The current-saver setting goes only while it still names this saver.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "$SaverDir\Lumen_Ribbon.scr"
  ${If} $0 != ""
    ${If} $0 == $1
    ${OrIf} $0 == "$SaverDir\Lumen_Ribbon.scr"
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
  ${EndIf}
  Delete /REBOOTOK "$SaverDir\Lumen_Ribbon.scr"
  Delete /REBOOTOK "$SaverDir\Lumen_Ribbon.dll"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

Section /o "un.$(SecSettingsName)" SecSettings
  Delete "$SaverDir\Lumen_Ribbon.ini"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecRemove} "$(SecRemoveText)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSettings} "$(SecSettingsText)"
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

Function un.onInit
  !insertmacro SaverFolder
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecSettings}
  ${EndIf}
FunctionEnd
