; The Windows installer of Tallyvault: the wizard, the command line and their
; help pages, installed per machine into Program Files, with Start-menu entries,
; an optional desktop shortcut and an entry in "Apps & features".
; scripts/windows-installer.sh passes in:
;   VERSION    the product version, three numbers ("2.0.0")
;   PUBLISHER  the vendor shown in "Apps & features"
;   WIZARD_EXE the cross-built tallyvault.exe (the wizard)
;   CLI_EXE    the cross-built tallyvault-cli.exe
;   HELP_DIR   the folder of FAQ_en.htm and FAQ_fr.htm
;   README_EN, README_FR  the readme page's text (UTF-8 with BOM, CRLF)
;   OUT_FILE   where the setup program is written
;
; The data folder (HARLAN BRISTOW\Tallyvault under the common application-data
; folder) belongs to the program: its first start creates it, and neither the
; installer nor the uninstaller ever touches it, its settings, log and profiles,
; or any archive.

!macro REQUIRE name
  !ifndef ${name}
    !error "${name} is not defined: build with scripts/windows-installer.sh"
  !endif
!macroend
!insertmacro REQUIRE VERSION
!insertmacro REQUIRE PUBLISHER
!insertmacro REQUIRE WIZARD_EXE
!insertmacro REQUIRE CLI_EXE
!insertmacro REQUIRE HELP_DIR
!insertmacro REQUIRE README_EN
!insertmacro REQUIRE README_FR
!insertmacro REQUIRE OUT_FILE

Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Tallyvault"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define UNINSTALLER "Uninstall.exe"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
!define WIZARD_LINK "${PRODUCT}"
!define HELP_LINK_EN "Tallyvault Help (English)"
!define HELP_LINK_FR "Aide de Tallyvault (français)"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

!insertmacro MUI_PAGE_WELCOME
; Not a licence to accept: a text to read, passed with Next.
!define MUI_PAGE_HEADER_TEXT "$(ReadmeHeader)"
!define MUI_PAGE_HEADER_SUBTEXT "$(ReadmeSubheader)"
!define MUI_LICENSEPAGE_TEXT_TOP "$(ReadmeTop)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "$(^ClickNext)"
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "$(ReadmeText)"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used when the system's is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "French"

!include "Strings_en.nsh"
!include "Strings_fr.nsh"
LicenseLangString ReadmeText ${LANG_ENGLISH} "${README_EN}"
LicenseLangString ReadmeText ${LANG_FRENCH} "${README_FR}"

; The project states no copyright line or licence, so none is made up here.
!pragma warning disable 9100
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
!macro VERSION_KEYS lang description
  VIAddVersionKey /LANG=${lang} "ProductName" "${PRODUCT}"
  VIAddVersionKey /LANG=${lang} "ProductVersion" "${VERSION}"
  VIAddVersionKey /LANG=${lang} "CompanyName" "${PUBLISHER}"
  VIAddVersionKey /LANG=${lang} "FileDescription" "${description}"
  VIAddVersionKey /LANG=${lang} "FileVersion" "${VERSION}"
!macroend
!insertmacro VERSION_KEYS ${LANG_ENGLISH} "${SETUP_DESCRIPTION_EN}"
!insertmacro VERSION_KEYS ${LANG_FRENCH} "${SETUP_DESCRIPTION_FR}"

; Both programs work on the 64-bit view of the registry and, per machine, on
; the Start menu of all users.
!macro MACHINE_WIDE
  SetShellVarContext all
  SetRegView 64
!macroend


Function un.onInit
  !insertmacro MACHINE_WIDE
FunctionEnd

Section "Tallyvault" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=tallyvault.exe" "${WIZARD_EXE}"
  File "/oname=tallyvault-cli.exe" "${CLI_EXE}"
  ; The program opens its help pages from its own folder.
  File "${HELP_DIR}\FAQ_en.htm"
  File "${HELP_DIR}\FAQ_fr.htm"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\${WIZARD_LINK}.lnk" "$INSTDIR\tallyvault.exe"
  ; Each help page is named in its own language.
  CreateShortcut "${MENU_FOLDER}\${HELP_LINK_EN}.lnk" "$INSTDIR\FAQ_en.htm"
  CreateShortcut "${MENU_FOLDER}\${HELP_LINK_FR}.lnk" "$INSTDIR\FAQ_fr.htm"
  CreateShortcut "${MENU_FOLDER}\$(UninstallLink).lnk" "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${UNINSTALLER},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "$(DesktopShortcut)" SecDesktop
  CreateShortcut "$DESKTOP\${WIZARD_LINK}.lnk" "$INSTDIR\tallyvault.exe"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "$(MainDescription)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "$(DesktopDescription)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  !insertmacro MACHINE_WIDE
  ; A silent install puts the desktop shortcut only when asked with /DESKTOP.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/DESKTOP" $R1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecDesktop} ${SF_SELECTED}
  ${EndIf}
  ; An update goes where the last installation went, unless /D= says otherwise.
  ${If} $INSTDIR == "$PROGRAMFILES64\${PRODUCT}"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
      StrCpy $INSTDIR $0
    ${EndIf}
  ${EndIf}
FunctionEnd

; Removes exactly what the sections above put in place. Folders go only when
; empty, so nothing a user added to them is lost; the data folder is not ours.
Section "Uninstall"
  Delete "$INSTDIR\tallyvault.exe"
  Delete "$INSTDIR\tallyvault-cli.exe"
  Delete "$INSTDIR\FAQ_en.htm"
  Delete "$INSTDIR\FAQ_fr.htm"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"

  Delete "${MENU_FOLDER}\${WIZARD_LINK}.lnk"
  Delete "$DESKTOP\${WIZARD_LINK}.lnk"
  Delete "${MENU_FOLDER}\${HELP_LINK_EN}.lnk"
  Delete "${MENU_FOLDER}\${HELP_LINK_FR}.lnk"
  ; The uninstaller's link is named in the language of the installation.
  Delete "${MENU_FOLDER}\${UNINSTALL_LINK_EN}.lnk"
  Delete "${MENU_FOLDER}\${UNINSTALL_LINK_FR}.lnk"
  RMDir "${MENU_FOLDER}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
