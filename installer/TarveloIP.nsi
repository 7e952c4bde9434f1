; Installer of TarveloIP and Adapset. Built by installer/CMakeLists.txt:
;   makensis -INPUTCHARSET UTF8 -DARCH=x64|x86 -DWIZARD=<TarveloIP.exe> -DTOOL=<Adapset.exe>
;            -DVERSION=<a.b.c.d> -DOUTFILE=<setup.exe> TarveloIP.nsi
;
; TarveloIP.exe goes into Program Files\Tarvelo with Start-menu shortcuts for all
; users: the wizard, and 復原先前的網路設定 (TarveloIP.exe /restore). Adapset.exe goes into the Windows directory: the wizard starts it by full
; path with the Windows directory as working directory, and a command prompt finds it
; there too, since the Windows directory is on every user's search path. The x64
; installer is a 64-bit program itself, so its registry and file-system view is the
; native one; the x86 installer refuses 64-bit Windows, where the 32-bit programs
; would read the redirected (WOW6432Node) view of the network-card keys.
;
; Installing over an installed copy upgrades it in place: the same folder (unless /D
; names another, and then the old copy goes), the same uninstall entry. An older
; version over a newer one asks first. A running TarveloIP.exe must be closed first;
; a file still in use otherwise is replaced at the next restart, and the user is told.
; Silent mode (/S): whatever would ask is refused, with exit status 2.

!ifndef ARCH | WIZARD | TOOL | VERSION | OUTFILE
  !error "ARCH, WIZARD, TOOL, VERSION and OUTFILE must be defined"
!endif

Unicode true
!if "${ARCH}" == "x64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  Target x86-unicode
!else
  !error "ARCH must be x64 or x86"
!endif

!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define PRODUCT "TarveloIP"
!define PUBLISHER "Tarvelo"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TarveloIP"
!define SHORTCUT "$SMPROGRAMS\TarveloIP.lnk"
!define RESTORE_SHORTCUT "$SMPROGRAMS\復原先前的網路設定.lnk"

Name "Tarvelo 固定IP ADSL 設定"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
AllowSkipFiles off
ShowInstDetails show
ShowUninstDetails show
!if "${ARCH}" == "x64"
  InstallDir "$PROGRAMFILES64\Tarvelo"
!else
  InstallDir "$PROGRAMFILES\Tarvelo"
!endif

; The folder of the installed copy; the x64 installer is a 64-bit program, so this
; reads the same registry view its own uninstall entry is written to.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

LoadLanguageFile "${NSISDIR}\Contrib\Language files\TradChinese.nlf"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1028 "ProductName" "Tarvelo"
VIAddVersionKey /LANG=1028 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1028 "FileDescription" "TarveloIP 安裝程式 (${ARCH})"
VIAddVersionKey /LANG=1028 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1028 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1028 "LegalCopyright" "Copyright (C) Tarvelo"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Administrators only: the programs go into the Windows directory and the
; uninstaller is registered for the whole machine. Exit status 2 when refused.
!macro RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_ICONSTOP "請以系統管理員身分執行。" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

; Refuses to go on while TarveloIP.exe in the folder on the stack runs: Windows keeps
; a running program's file from being opened for writing. Asks the user to close it
; and try again; Cancel, or silent mode, ends with exit status 2.
!macro DefineRequireWizardClosed PREFIX
  Function ${PREFIX}RequireWizardClosed
    Exch $0
    Push $1
    ${DoWhile} ${FileExists} "$0\TarveloIP.exe"
      ClearErrors
      FileOpen $1 "$0\TarveloIP.exe" a
      ${IfNot} ${Errors}
        FileClose $1
        ${Break}
      ${EndIf}
      ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "TarveloIP 正在執行。請先關閉它，再按「重試」。" /SD IDCANCEL IDRETRY`
        SetErrorLevel 2
        Quit
      ${EndIf}
    ${Loop}
    Pop $1
    Pop $0
  FunctionEnd
!macroend
!insertmacro DefineRequireWizardClosed ""
!insertmacro DefineRequireWizardClosed "un."

; Puts a file in place under its final name. When the old file is in use and cannot
; be removed, the new one takes its place at the next restart (reboot flag set).
!macro InstallFile SOURCE TARGET
  Delete "${TARGET}.new"  ; a file planted there would keep its own permissions
  File "/oname=${TARGET}.new" "${SOURCE}"
  ClearErrors
  Delete "${TARGET}"
  ${If} ${Errors}
    Rename /REBOOTOK "${TARGET}.new" "${TARGET}"
  ${Else}
    Rename "${TARGET}.new" "${TARGET}"
  ${EndIf}
!macroend

Var PreviousDir  ; folder of the installed copy, empty when there is none

; The protected security of the programs' folders: owner Administrators; SYSTEM and
; Administrators full control, Users read and execute; nothing inherited from the
; parent (ProgramData, where every user may create files, or whatever folder /D names).
; The programs create their data folders the same way.
!define PROTECTED_FOLDER_SDDL "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)"

; Gives the folder named on the stack the protected security through a handle of the
; folder itself: a link or junction at its name is opened, not followed, and refused,
; as is a path that leads elsewhere on the way (its final path is not the path).
; Pushes "" when the folder is protected, otherwise the reason.
Function ProtectFolderByHandle
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  StrCpy $6 ""
  ; READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_READ_ATTRIBUTES; share all; OPEN_EXISTING;
  ; FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT.
  System::Call 'kernel32::CreateFileW(w r0, i 0xE0080, i 7, p 0, i 3, i 0x02200000, p 0) p .r1 ?e'
  Pop $2
  ${If} $1 == -1
    StrCpy $6 "無法開啟 (錯誤 $2)"
    Goto protect_done
  ${EndIf}
  ; FILE_BASIC_INFO: four times, then the attributes.
  System::Alloc 40
  Pop $3
  System::Call 'kernel32::GetFileInformationByHandleEx(p r1, i 0, p r3, i 40) i .r2'
  System::Call '*$3(l, l, l, l, i .r4)'
  System::Free $3
  IntOp $4 $4 & 0x410  ; reparse point, folder
  ${If} $2 == 0
  ${OrIf} $4 <> 0x10
    StrCpy $6 "不是資料夾，或是連結"
    Goto protect_close
  ${EndIf}
  ; Where the handle really leads, against the full (long) path it was opened by.
  System::Call 'kernel32::GetFinalPathNameByHandleW(p r1, w .r3, i ${NSIS_MAX_STRLEN}, i 0) i .r2'
  ${If} $2 == 0
    StrCpy $6 "無法確認路徑"
    Goto protect_close
  ${EndIf}
  StrCpy $4 $3 8
  ${If} $4 == "\\?\UNC\"
    StrCpy $3 $3 "" 8
    StrCpy $3 "\\$3"
  ${Else}
    StrCpy $4 $3 4
    ${If} $4 == "\\?\"
      StrCpy $3 $3 "" 4
    ${EndIf}
  ${EndIf}
  System::Call 'kernel32::GetFullPathNameW(w r0, i ${NSIS_MAX_STRLEN}, w .r4, p 0) i .r2'
  System::Call 'kernel32::GetLongPathNameW(w r4, w .r5, i ${NSIS_MAX_STRLEN}) i .r2'
  ${If} $2 != 0
    StrCpy $4 $5
  ${EndIf}
  ${If} $3 != $4  ; without regard to case
    StrCpy $6 "路徑經由連結指向 $3"
    Goto protect_close
  ${EndIf}
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${PROTECTED_FOLDER_SDDL}", i 1, *p .r3, p 0) i .r2'
  ${If} $2 == 0
    StrCpy $6 "無法建立權限"
    Goto protect_close
  ${EndIf}
  System::Call 'advapi32::GetSecurityDescriptorOwner(p r3, *p .r4, *i .r2)'
  System::Call 'advapi32::GetSecurityDescriptorDacl(p r3, *i .r2, *p .r5, *i .r2)'
  ; SE_FILE_OBJECT; owner, DACL, protected DACL.
  System::Call 'advapi32::SetSecurityInfo(p r1, i 1, i 0x80000005, p r4, p 0, p r5, p 0) i .r2'
  System::Call 'kernel32::LocalFree(p r3)'
  ${If} $2 != 0
    StrCpy $6 "無法設定權限 (錯誤 $2)"
  ${EndIf}
protect_close:
  System::Call 'kernel32::CloseHandle(p r1)'
protect_done:
  StrCpy $0 $6
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Ends the installation with status 2 when the folder on the stack could not be
; protected (the reason under it, "" when it was), saying so. Nothing is installed yet at that point:
; the folders this run may have created are removed again when still empty.
!macro RefuseUnprotected WHAT
  Pop $0
  Pop $1
  ${If} $1 != ""
    MessageBox MB_ICONSTOP "${WHAT}無法設定為只有系統管理員可以變更：$0 ($1)。安裝已取消，沒有安裝任何檔案。" /SD IDOK
    RMDir "$APPDATA\Tarvelo\Backups"
    RMDir "$APPDATA\Tarvelo"
    RMDir "$INSTDIR"
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

; Creates the data folder named on the stack, or takes over one already there, with the
; protected security. A link or junction (or a file) in its place is removed first,
; never followed; a folder that still cannot be protected ends the installation.
Function ProtectDataFolder
  Exch $0
  System::Call 'kernel32::GetFileAttributesW(w r0) i .r1'
  ${If} $1 != -1
    IntOp $2 $1 & 0x410  ; reparse point, folder
    ${If} $2 <> 0x10
      System::Call 'kernel32::RemoveDirectoryW(w r0)'
      System::Call 'kernel32::DeleteFileW(w r0)'
    ${EndIf}
  ${EndIf}
  System::Call 'kernel32::CreateDirectoryW(w r0, p 0)'
  Push $0
  Call ProtectFolderByHandle
  Exch
  Exch $0  ; the path under the reason
FunctionEnd

Function .onInit
  SetShellVarContext all
!if "${ARCH}" == "x86"
  ${If} ${RunningX64}
    MessageBox MB_ICONSTOP "這是 32 位元 Windows 的安裝程式。請改用 TarveloIP-setup-x64.exe。" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!else
  SetRegView 64
!endif
  !insertmacro RequireAdministrator

  ReadRegStr $PreviousDir HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $0 != ""
    ${VersionCompare} "${VERSION}" "$0" $1  ; 2: the installed one is newer
    ${If} $1 == 2
      ${IfNot} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION "已安裝較新的版本 $0。要以較舊的版本 ${VERSION} 取代它嗎？" /SD IDNO IDYES`
        SetErrorLevel 2
        Quit
      ${EndIf}
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "TarveloIP"
  Push "$INSTDIR"
  Call RequireWizardClosed
  ${If} $PreviousDir != ""
  ${AndIf} $PreviousDir != $INSTDIR
    Push "$PreviousDir"
    Call RequireWizardClosed
  ${EndIf}

  ; Before anything is installed: the folders of the settings snapshots and the install
  ; folder, writable by administrators only, or the installation ends here. Any user
  ; could otherwise replace what administrators run elevated.
  Push "$APPDATA\Tarvelo"
  Call ProtectDataFolder
  !insertmacro RefuseUnprotected "資料夾"
  Push "$APPDATA\Tarvelo\Backups"
  Call ProtectDataFolder
  !insertmacro RefuseUnprotected "資料夾"
  CreateDirectory "$INSTDIR"
  Push "$INSTDIR"
  Call ProtectFolderByHandle
  Push "$INSTDIR"
  !insertmacro RefuseUnprotected "安裝資料夾"

  SetOutPath "$INSTDIR"
  !insertmacro InstallFile "${WIZARD}" "$INSTDIR\TarveloIP.exe"
  Delete "$INSTDIR\uninstall.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetOutPath "$WINDIR"
  !insertmacro InstallFile "${TOOL}" "$WINDIR\Adapset.exe"

  ; Installed into another folder than before: the old copy goes, so only one remains.
  ${If} $PreviousDir != ""
  ${AndIf} $PreviousDir != $INSTDIR
    Delete /REBOOTOK "$PreviousDir\TarveloIP.exe"
    Delete /REBOOTOK "$PreviousDir\uninstall.exe"
    RMDir /REBOOTOK "$PreviousDir"
  ${EndIf}

  ; The shortcut starts the wizard in its own directory.
  SetOutPath "$INSTDIR"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\TarveloIP.exe" "" "$INSTDIR\TarveloIP.exe" 0
  ; Puts back the settings the wizard saved before its last change.
  CreateShortCut "${RESTORE_SHORTCUT}" "$INSTDIR\TarveloIP.exe" "/restore" "$INSTDIR\TarveloIP.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tarvelo 固定IP ADSL 設定"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\TarveloIP.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntOp $0 $0 + 64  ; Adapset.exe in the Windows directory, rounded up
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ${If} ${RebootFlag}
    MessageBox MB_ICONINFORMATION "有檔案正在使用中，將在電腦重新開機後更新。請重新開機以完成安裝。" /SD IDOK
  ${EndIf}
SectionEnd

Function un.onInit
  SetShellVarContext all
!if "${ARCH}" == "x64"
  SetRegView 64
!endif
  !insertmacro RequireAdministrator
  Push "$INSTDIR"
  Call un.RequireWizardClosed
FunctionEnd

; Removes exactly what the installer added. A file still in use goes at the next
; restart; the install directory goes only when nothing else was put into it. The
; programs' data in %ProgramData%\Tarvelo (the settings snapshots in Backups, the apply
; log) is the user's and stays.
Section "Uninstall"
  Delete "${SHORTCUT}"
  Delete "${RESTORE_SHORTCUT}"
  Delete /REBOOTOK "$WINDIR\Adapset.exe"
  Delete /REBOOTOK "$INSTDIR\TarveloIP.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The uninstaller runs from a copy in the temporary directory, which cannot delete
  ; itself while it runs; both go at the next restart, whichever order the pending
  ; deletions are carried out in.
  Delete /REBOOTOK "$EXEPATH"
  RMDir /REBOOTOK "$EXEDIR"
  Delete /REBOOTOK "$EXEPATH"
SectionEnd
