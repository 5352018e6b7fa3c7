; The per-user installer of Merovan for Windows, made by cmake/installer-windows.cmake with makensis
; beside the zip, from the same program folder. It needs no administrator rights: the program goes
; to %LOCALAPPDATA%\Programs\Merovan (a folder the user can write, as the program keeps its settings
; in its own folder), the Start-menu entry to the user's Start menu, and the file type .tqload, the
; uninstall entry and everything else to HKEY_CURRENT_USER. The uninstaller removes what the
; installer put there and nothing else: the user's loadings (Loadings\, and loading files anywhere),
; changed settings, recent.cfg and the model variants in Models\ stay, and it never goes near the
; FS2000 folder and its backups. Both run silently with /S.
;
; Defines given by installer-windows.cmake: PRODUCT, VERSION (1.1.0), COMPANY, COPYRIGHT, WEB,
; DESCRIPTION, ICON, OUTFILE, and the include files it writes: FILES_NSH (the program's files),
; UNFILES_NSH (their removal), TEXTS_NSH (the texts of data/windows/installer.tsv), SETTINGS (the
; folder holding strt.cfg and options.cfg as laid out for a first start).

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Merovan"
!define PROGID "Merovan.Loading"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Merovan"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\merovan.exe"
!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(strUninstallKeeps)"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The installer speaks the language of Windows, English for a Windows in neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!include "${TEXTS_NSH}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${COPYRIGHT}"

Function .onInit
    SetShellVarContext current
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

; Windows keeps a running program's file from being written: a Merovan that runs is said so, before
; anything changes, instead of a half-replaced program folder.
!macro RefuseWhileRunning
    ${If} ${FileExists} "$INSTDIR\merovan.exe"
        ClearErrors
        FileOpen $0 "$INSTDIR\merovan.exe" a
        ${If} ${Errors}
            MessageBox MB_OK|MB_ICONSTOP "$(strRunning)" /SD IDOK
            Abort
        ${EndIf}
        FileClose $0
    ${EndIf}
!macroend

Section
    !insertmacro RefuseWhileRunning
    !include "${FILES_NSH}"
    ; Where the aircraft's own model variants go; empty, as in the zip.
    CreateDirectory "$INSTDIR\Models"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "${SHORTCUT}" "$INSTDIR\merovan.exe" "" "$INSTDIR\merovan.exe" 0 SW_SHOWNORMAL "" "${DESCRIPTION}"

    ; A double click on a loading file starts the program with the file as its first argument.
    WriteRegStr HKCU "Software\Classes\.tqload" "" "${PROGID}"
    WriteRegStr HKCU "Software\Classes\.tqload" "Content Type" "application/x-merovan-loading"
    WriteRegStr HKCU "Software\Classes\.tqload\OpenWithProgids" "${PROGID}" ""
    WriteRegStr HKCU "Software\Classes\${PROGID}" "" "$(strFileType)"
    WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\merovan.exe,0"
    WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\merovan.exe" "%1"'

    ; Among the installed apps.
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${WEB}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\merovan.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; Explorer shows the new file type at once.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; $R0 = 1 when the files $R1 and $R2 hold the same bytes, else 0 (also when one cannot be read).
Function un.SameBytes
    Push $0
    Push $1
    Push $2
    Push $3
    Push $4
    StrCpy $R0 0
    ClearErrors
    FileOpen $0 "$R1" r
    ${IfNot} ${Errors}
        FileOpen $1 "$R2" r
        ${IfNot} ${Errors}
            ${Do}
                ClearErrors
                FileReadByte $0 $2
                ${If} ${Errors}
                    StrCpy $4 end
                ${Else}
                    StrCpy $4 byte
                ${EndIf}
                ClearErrors
                FileReadByte $1 $3
                ${If} ${Errors}
                    ${If} $4 == end
                        StrCpy $R0 1
                    ${EndIf}
                    ${Break}
                ${EndIf}
                ${If} $4 == end
                ${OrIf} $2 != $3
                    ${Break}
                ${EndIf}
            ${Loop}
            FileClose $1
        ${EndIf}
        FileClose $0
    ${EndIf}
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd

; Deletes settings file $R1 while it holds what the installer laid out ($R2); one the user's use
; changed is theirs and stays.
!macro RemoveIfAsLaidOut FILE AS_LAID_OUT
    StrCpy $R1 "${FILE}"
    StrCpy $R2 "${AS_LAID_OUT}"
    Call un.SameBytes
    ${If} $R0 == 1
        Delete "${FILE}"
    ${EndIf}
!macroend

Section "Uninstall"
    !insertmacro RefuseWhileRunning
    ; The settings, before the files they are compared with go.
    InitPluginsDir
    SetOutPath "$PLUGINSDIR"
    File "${SETTINGS}/strt.cfg"
    File "${SETTINGS}/options.cfg"
    !insertmacro RemoveIfAsLaidOut "$INSTDIR\strt.cfg" "$PLUGINSDIR\strt.cfg"
    !insertmacro RemoveIfAsLaidOut "$INSTDIR\options.cfg" "$PLUGINSDIR\options.cfg"
    !insertmacro RemoveIfAsLaidOut "$INSTDIR\Data\language.crf" "$INSTDIR\Data\languages\german.crf"
    ; Out of the folder being emptied.
    SetOutPath "$TEMP"

    !include "${UNFILES_NSH}"
    Delete "$INSTDIR\uninstall.exe"
    ; Each folder only when empty: what the user keeps there keeps it.
    RMDir "$INSTDIR\Models"
    RMDir "$INSTDIR"
    ${If} ${FileExists} "$INSTDIR\*.*"
        DetailPrint "$(strUninstallKept)"
    ${EndIf}

    Delete "${SHORTCUT}"
    ReadRegStr $0 HKCU "Software\Classes\.tqload" ""
    ${If} $0 == "${PROGID}"
        DeleteRegValue HKCU "Software\Classes\.tqload" ""
        DeleteRegValue HKCU "Software\Classes\.tqload" "Content Type"
    ${EndIf}
    DeleteRegValue HKCU "Software\Classes\.tqload\OpenWithProgids" "${PROGID}"
    DeleteRegKey /ifempty HKCU "Software\Classes\.tqload\OpenWithProgids"
    DeleteRegKey /ifempty HKCU "Software\Classes\.tqload"
    DeleteRegKey HKCU "Software\Classes\${PROGID}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
