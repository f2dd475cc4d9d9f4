; The Windows installer: Tambrel and its skin in one folder under Program Files, a Start-menu
; shortcut, and an uninstaller that Windows lists under installed programs. Silent with /S.
;   makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z -DVERSION_QUAD=x.y.z.w -DPROGRAM=tambrel.exe
;            -DSKIN=Pf.she -DICON=tambrel.ico -DOUTFILE=setup.exe tambrel.nsi
Unicode true
; A 64-bit installer writes the 64-bit registry and sees the real Program Files, as the 64-bit
; program it installs does.
Target amd64-unicode
ManifestDPIAware true
ManifestSupportedOS all
; Program Files and HKLM need an administrator.
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tambrel"

Name "Tambrel"
Caption "Tambrel ${VERSION} 安装"
BrandingText "Tambrel ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tambrel"
; A second installation goes where the first one is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "Tambrel 文本编辑器"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "Tambrel 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "Tambrel 开发者"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "版权所有 © Tambrel 开发者"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"

; The shortcut goes to every user's Start menu, as the program goes to every user's Program Files.
Function .onInit
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Tambrel"
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=tambrel.exe" "${PROGRAM}"
  ; The program will not start without its skin beside it.
  File "/oname=Pf.she" "${SKIN}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Tambrel.lnk" "$INSTDIR\tambrel.exe" "" "$INSTDIR\tambrel.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tambrel 文本编辑器"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Tambrel 开发者"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tambrel.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\tambrel.exe"
  Delete "$INSTDIR\Pf.she"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: documents a user saved into the folder stay.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tambrel.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
