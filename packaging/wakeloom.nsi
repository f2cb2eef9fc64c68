; The Windows installer of Wakeloom, made by the build with makensis from
; the programs it has just built. The build passes VERSION, BIN (the
; programs), SOUNDS (the default sounds), ICON and OUTFILE.
;   setup.exe /S               installs silently
;   uninstall.exe /S           removes silently; the user's alarms stay
; A 64-bit installer for the 64-bit programs.
Target amd64-unicode
!include "LogicLib.nsh"
!include "WinMessages.nsh"

!define INSTALL_KEY   "Software\Apps\Hazelmere Software Wakeloom"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Wakeloom"
!define RUN_KEY       "Software\Microsoft\Windows\CurrentVersion\Run"
; The value the scheduler writes itself, so both name one entry.
!define RUN_VALUE     "WakeloomNotifications"

Name "Wakeloom"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Wakeloom"
; Program Files and the install directory's key are the machine's.
RequestExecutionLevel admin
SetCompressor /SOLID lzma
Icon "${ICON}"
UninstallIcon "${ICON}"
BrandingText "Wakeloom ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Wakeloom"
VIAddVersionKey "CompanyName" "Hazelmere Software"
VIAddVersionKey "LegalCopyright" "Copyright 2026 Hazelmere Software"
VIAddVersionKey "FileDescription" "Wakeloom setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Asks a program's window to close and waits up to five seconds for it to
; go: a running program would keep its file.
!macro CloseProgram class
    FindWindow $0 "${class}" ""
    ${If} $0 <> 0
        SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${EndIf}
    StrCpy $1 0
    ${DoWhile} $0 <> 0
        ${If} $1 >= 50
            ${ExitDo}
        ${EndIf}
        Sleep 100
        IntOp $1 $1 + 1
        FindWindow $0 "${class}" ""
    ${Loop}
!macroend

; A process may hold its file for a moment after its window has gone.
!macro DeleteWhenFree file
    StrCpy $1 0
    ${Do}
        Delete "${file}"
        ${IfNot} ${FileExists} "${file}"
        ${OrIf} $1 >= 50
            ${ExitDo}
        ${EndIf}
        Sleep 100
        IntOp $1 $1 + 1
    ${Loop}
!macroend

!macro StopPrograms
    !insertmacro CloseProgram "WakeloomScheduler"
    !insertmacro CloseProgram "wklmgr"
    !insertmacro CloseProgram "Wakeloom"
!macroend

Section "Wakeloom"
    ; An update over a copy that runs.
    !insertmacro StopPrograms
    SetOutPath "$INSTDIR"
    File "${BIN}/Wakeloom.exe"
    File "${BIN}/wklmgr.exe"
    File "${BIN}/wklsched.exe"
    File "${BIN}/peghelp.exe"
    File "${BIN}/wkl.htp"
    SetOutPath "$INSTDIR\sounds"
    File "${SOUNDS}/*.wav"
    SetOutPath "$INSTDIR"

    WriteRegStr HKLM "${INSTALL_KEY}" "InstlDir" "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    SetShellVarContext all
    CreateShortCut "$SMPROGRAMS\Wakeloom.lnk" "$INSTDIR\Wakeloom.exe"
    SetShellVarContext current

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Wakeloom"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Hazelmere Software"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Wakeloom.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

    ; Alarms ring from now on, and after each log-in, with Wakeloom closed.
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\wklsched.exe"'
    Exec '"$INSTDIR\wklsched.exe"'
SectionEnd

; The user's settings, alarms and pending notifications stay, for a later
; install to find.
Section "Uninstall"
    !insertmacro StopPrograms
    !insertmacro DeleteWhenFree "$INSTDIR\wklsched.exe"
    !insertmacro DeleteWhenFree "$INSTDIR\wklmgr.exe"
    !insertmacro DeleteWhenFree "$INSTDIR\Wakeloom.exe"
    Delete "$INSTDIR\peghelp.exe"
    Delete "$INSTDIR\wkl.htp"
    Delete "$INSTDIR\sounds\*.wav"
    RMDir "$INSTDIR\sounds"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    SetShellVarContext all
    Delete "$SMPROGRAMS\Wakeloom.lnk"
    SetShellVarContext current
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegKey HKLM "${INSTALL_KEY}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
