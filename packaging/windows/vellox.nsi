; Windows installer for Vellox. Built by tools/package.sh with
;   makensis -DVERSION=<x.y.z> -DURL=<product page> -DSTAGE=<staged install>
;            -DART=<artwork folder> -DOUTFILE=<setup.exe> vellox.nsi
; STAGE holds Vellox.vst3, Vellox.clap, vellox.exe, LICENSE.txt, THIRD-PARTY.txt and the
; licenses folder (`cmake --install <windows tree> --prefix STAGE`); ART holds
; vellox.ico, wizard.bmp and header.bmp (make_artwork.py).
;
; The bundle goes to %CommonProgramFiles%\VST3, where every VST 3 host looks;
; the command-line tool, the notices and the uninstaller to
; %ProgramFiles%\Vellox (the destination page). Silent use: setup.exe /S
; (/D=folder picks the destination), uninstall.exe /S.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

!define PRODUCT "Vellox"
!define PUBLISHER "Quenwick"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vellox"
!define BUNDLE_DIR "$COMMONFILES64\VST3\Vellox.vst3"

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
BrandingText "${PRODUCT} ${VERSION} by ${PUBLISHER}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; An earlier install's folder is the default destination.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
; Sharp at any display scale rather than enlarged by Windows.
ManifestDPIAware true
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}. GNU GPL version 3 or later."

; Vellox's own look: its knob as the icon, its panel and chop cycle beside the pages.
!define MUI_ICON "${ART}\vellox.ico"
!define MUI_UNICON "${ART}\vellox.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${ART}\wizard.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${ART}\wizard.bmp"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${ART}\header.bmp"
!define MUI_HEADERIMAGE_UNBITMAP "${ART}\header.bmp"
; Never stretched out of shape: the pictures keep their proportions whatever
; size the dialog font and the display scale give their frames.
!define MUI_HEADERIMAGE_BITMAP_STRETCH AspectFitHeight
!define MUI_HEADERIMAGE_UNBITMAP_STRETCH AspectFitHeight
!define MUI_WELCOMEFINISHPAGE_BITMAP_STRETCH AspectFitHeight
!define MUI_UNWELCOMEFINISHPAGE_BITMAP_STRETCH AspectFitHeight
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC

!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION}, a chopper audio effect, as a VST 3 plug-in for 64-bit hosts.$\r$\n$\r$\nIn a repeating cycle it keeps the signal at full level, then pulls it down to an adjustable residual level for 0.1 s. Close your audio host before you go on.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_DIRECTORYPAGE_TEXT_TOP "The plug-in always goes to $COMMONFILES64\VST3, where VST 3 hosts look for it.$\r$\n$\r$\nThis folder receives the command-line tool (if chosen), the licences and the uninstaller."
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "${PRODUCT} ${VERSION} is installed"
!define MUI_FINISHPAGE_TEXT "The plug-in is in $COMMONFILES64\VST3\Vellox.vst3. Start your VST 3 host (or let it rescan its plug-ins) and add ${PRODUCT} to a mono or stereo track.$\r$\n$\r$\nThe licences are in $INSTDIR."
!define MUI_FINISHPAGE_LINK "${PRODUCT} on the web"
!define MUI_FINISHPAGE_LINK_LOCATION "${URL}"
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "${PRODUCT} will be removed: the plug-in ${BUNDLE_DIR} and, in the folder below, the command-line tool, the licences and the uninstaller."
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

; Installing to another folder than last time removes the earlier folder's
; files first: the new uninstaller knows only the new folder.
Section "-Earlier folder"
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
  ${AndIf} ${FileExists} "$0\uninstall.exe"
    DetailPrint "Removing the earlier install in $0"
    Delete "$0\vellox.exe"
    Delete "$0\LICENSE.txt"
    Delete "$0\THIRD-PARTY.txt"
    RMDir /r "$0\licenses"
    Delete "$0\uninstall.exe"
    RMDir "$0"
  ${EndIf}
SectionEnd

Section "VST 3 plug-in" SecPlugin
  SectionIn RO
  ; A fresh copy: files of an older version must not stay in the bundle.
  RMDir /r "${BUNDLE_DIR}"
  SetOutPath "$COMMONFILES64\VST3"
  File /r "${STAGE}\Vellox.vst3"

  SetOutPath "$INSTDIR"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\THIRD-PARTY.txt"
  SetOutPath "$INSTDIR\licenses"
  File "${STAGE}\licenses\*.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
SectionEnd

Section "CLAP plug-in" SecClap
  SetOutPath "$COMMONFILES64\CLAP"
  File "${STAGE}\Vellox.clap"
SectionEnd

Section "Command-line tool" SecTool
  SetOutPath "$INSTDIR"
  File "${STAGE}\vellox.exe"
SectionEnd

; The Add/Remove Programs entry, with the size of what was chosen.
Section "-Register"
  SectionGetSize ${SecPlugin} $0
  ${If} ${SectionIsSelected} ${SecTool}
    SectionGetSize ${SecTool} $1
    IntOp $0 $0 + $1
  ${EndIf}
  ${If} ${SectionIsSelected} ${SecClap}
    SectionGetSize ${SecClap} $1
    IntOp $0 $0 + $1
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION} (VST 3 plug-in)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${URL}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Short enough for the small description box at any dialog font.
LangString DESC_Plugin ${LANG_ENGLISH} "The plug-in, for every VST 3 host. Always installed."
LangString DESC_Clap ${LANG_ENGLISH} "Vellox.clap in $COMMONFILES64\CLAP, for CLAP hosts. It sounds and saves as the VST 3."
LangString DESC_Tool ${LANG_ENGLISH} "vellox.exe: renders WAV files through the plug-in, from a command prompt."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPlugin} $(DESC_Plugin)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecClap} $(DESC_Clap)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecTool} $(DESC_Tool)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
  RMDir /r "${BUNDLE_DIR}"
  RMDir "$COMMONFILES64\VST3"  ; only if no other plug-in is left in it
  Delete "$COMMONFILES64\CLAP\Vellox.clap"
  RMDir "$COMMONFILES64\CLAP"
  Delete "$INSTDIR\vellox.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY.txt"
  RMDir /r "$INSTDIR\licenses"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
