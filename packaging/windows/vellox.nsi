; Windows installer for Vellox. Built by tools/package.sh with
;   makensis -DVERSION=<x.y.z> -DSTAGE=<staged install> -DOUTFILE=<setup.exe> vellox.nsi
; STAGE holds Vellox.vst3, vellox.exe, LICENSE.txt and THIRD-PARTY.txt
; (`cmake --install <windows tree> --prefix STAGE`).
;
; The bundle goes to %CommonProgramFiles%\VST3, where every VST 3 host looks;
; the command-line tool, the notices and the uninstaller to
; %ProgramFiles%\Vellox. Silent use: setup.exe /S, uninstall.exe /S.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"
!include "LogicLib.nsh"

!define PRODUCT "Vellox"
!define PUBLISHER "Quenwick"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vellox"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "GPL-3.0-or-later"

!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is a 64-bit VST 3 plug-in and needs 64-bit Windows.$\r$\nThis computer runs 32-bit Windows, so nothing was installed." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Vellox VST 3 plug-in (required)" SecPlugin
  SectionIn RO
  ; A fresh copy: files of an older version must not stay in the bundle.
  RMDir /r "$COMMONFILES64\VST3\Vellox.vst3"
  SetOutPath "$COMMONFILES64\VST3"
  File /r "${STAGE}\Vellox.vst3"

  SetOutPath "$INSTDIR"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\THIRD-PARTY.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION} (VST 3 plug-in)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "vellox command-line tool" SecTool
  SetOutPath "$INSTDIR"
  File "${STAGE}\vellox.exe"
SectionEnd

LangString DESC_Plugin ${LANG_ENGLISH} "The plug-in bundle, installed to $COMMONFILES64\VST3 where VST 3 hosts find it."
LangString DESC_Tool ${LANG_ENGLISH} "vellox.exe: renders WAV files through the plug-in and shows its parameters."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPlugin} $(DESC_Plugin)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecTool} $(DESC_Tool)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
  RMDir /r "$COMMONFILES64\VST3\Vellox.vst3"
  RMDir "$COMMONFILES64\VST3"  ; only if no other plug-in is left in it
  Delete "$INSTDIR\vellox.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
