; The Windows installer, made on Linux with makensis:
;   makensis -DVERSION=4.0 -DSTAGE=folder -DFILES=files.nsh -DREMOVE=remove.nsh -DOUTFILE=setup.exe pelkorl.nsi
; STAGE holds the program as installed; files.nsh and remove.nsh list its files (made by
; tools/windows/build.sh), so the uninstaller removes exactly what was installed and
; leaves the user's settings, layout and data files alone. /S installs silently.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "x64.nsh"
!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelkorl"

Name "Pelkorl ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Pelkorl"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
    SetRegView 64
    ${If} $INSTDIR == "$PROGRAMFILES\Pelkorl"
        StrCpy $INSTDIR "$PROGRAMFILES64\Pelkorl"
    ${EndIf}
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Pelkorl"
    SetShellVarContext all
    !include "${FILES}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\Pelkorl.lnk" "$INSTDIR\pelkorl.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Pelkorl"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pelkorl.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pelkorl"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    !include "${REMOVE}"
    Delete "$INSTDIR\uninstall.exe"
    Delete "$SMPROGRAMS\Pelkorl.lnk"
    ; Only when empty: a settings file or a card written beside the program stays.
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
