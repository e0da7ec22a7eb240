; The Windows installer: both programs under Program Files, a Start menu entry
; for the viewer, an uninstaller registered with Windows and the viewer among
; the programs of "Open with". It touches nothing but its own folder, that
; entry and its own registry keys. /S installs and uninstalls silently.
;   makensis -DVERSION=2.0 -DSTAGE=folder -DOUTFILE=setup.exe kestrel.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KestrelViewer"
!define OPEN_WITH_KEY "Software\Classes\Applications\KestrelViewer.exe"

Name "Kestrel Viewer ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Kestrel Viewer"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Kestrel Viewer"
VIAddVersionKey "FileDescription" "Kestrel Viewer setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "The Kestrel Viewer developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
    SetShellVarContext all
    SetRegView 64
    SetOutPath "$INSTDIR"
    File "${STAGE}\KestrelViewer.exe"
    File "${STAGE}\kestrel.exe"
    File "${STAGE}\README.txt"
    SetOutPath "$INSTDIR\licences"
    File "${STAGE}\licences\*.txt"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Kestrel Viewer.lnk" "$INSTDIR\KestrelViewer.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Kestrel Viewer"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Kestrel Viewer developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\KestrelViewer.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

    ; Among the programs that "Open with" offers, for any file.
    WriteRegStr HKLM "${OPEN_WITH_KEY}" "FriendlyAppName" "Kestrel Viewer"
    WriteRegStr HKLM "${OPEN_WITH_KEY}\shell\open\command" "" '"$INSTDIR\KestrelViewer.exe" "%1"'
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    SetRegView 64
    Delete "$INSTDIR\KestrelViewer.exe"
    Delete "$INSTDIR\kestrel.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\licences\*.txt"
    RMDir "$INSTDIR\licences"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Kestrel Viewer.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "${OPEN_WITH_KEY}"
SectionEnd
