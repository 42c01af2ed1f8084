; The Windows setup program, tarnwick-<version>-windows-x64-setup.exe, built
; with NSIS by `make package` (cmake/setup_package.cmake runs makensis with
; the defines below). It installs the screensaver the way "Tarnwick.scr /i"
; does, from Program Files:
;
;   $PROGRAMFILES64\Tarnwick\       Tarnwick.scr, models\, sounds\, pictures\,
;                                   uninstall.exe
;   $SYSDIR\Tarnwick.scr            the copy the Screen Saver Settings list
;   $SYSDIR\tarnwick.txt            the default settings, naming the folder above
;   HKLM\...\Uninstall\Tarnwick     the entry of "Installed apps"
;
; Installed again, it keeps the choices of the settings there and only
; names the install folder anew.
;
; The uninstaller runs "Tarnwick.scr /u" from the install folder, which asks
; and removes the system folder's copy, the settings and the shortcuts; run
; silently (/S) it removes the same files itself, without a box. Then it
; removes, by name, the files setup put into the install folder, each folder
; only when that leaves it empty (the user may have chosen a folder of their
; own), and the registry entry.
;
; The files carry no time of their own (the setup program is the same bytes
; from every build of one commit): they get the time they are installed.
;
; Defines: VERSION (1.0.0), VERSION_QUAD (1.0.0.0), FILES (the macros
; InstallFiles and RemoveFiles, which cmake/setup_package.cmake writes from
; the staged files), ICON (tarnwick.ico), PICTURE (tarnwick-setup.bmp, the
; side picture of the welcome and finish pages, 164 x 314), OUTFILE, WEBSITE.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true
SetDateSave off

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include "${FILES}"

!define PRODUCT "Tarnwick 3D Screensaver"
!define PUBLISHER "Moonquill"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"
!define SETTINGS_COMMENT "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tarnwick"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${PICTURE}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the Screen Saver Settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
; No page of its own asks before uninstalling: "Tarnwick.scr /u" does.
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

; The Screen Saver Settings with Tarnwick selected, as "Tarnwick.scr /i" opens them.
Function OpenScreenSaverSettings
  Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver $SYSDIR\Tarnwick.scr'
FunctionEnd

; The six choices of the settings in the system folder, lines 3 to 8, each
; with its line end, into $R0 to $R5; a choice the file lacks (it has fewer
; lines, or there is no file) gets its default: Exit On Mouse Move off, Show
; FPS off, Show Time on, 12 hrs, Play Sound on, Show On Every Monitor off.
Function ReadChoices
  StrCpy $R0 "0$\r$\n"
  StrCpy $R1 "0$\r$\n"
  StrCpy $R2 "1$\r$\n"
  StrCpy $R3 "12$\r$\n"
  StrCpy $R4 "1$\r$\n"
  StrCpy $R5 "0$\r$\n"
  ClearErrors
  FileOpen $0 "$SYSDIR\tarnwick.txt" r
  ${IfNot} ${Errors}
    FileRead $0 $1 ; the comment
    FileRead $0 $1 ; the data folder, named anew
    ${ForEach} $2 0 5 + 1
      ClearErrors
      FileRead $0 $1
      ${If} ${Errors}
        ${Break}
      ${EndIf}
      ; Without its line end (CR LF, LF or CR), then with CR LF.
      ${Do}
        StrCpy $3 $1 1 -1
        ${If} $3 != "$\r"
        ${AndIf} $3 != "$\n"
          ${ExitDo}
        ${EndIf}
        StrCpy $1 $1 -1
      ${Loop}
      StrCpy $1 "$1$\r$\n"
      ${Select} $2
        ${Case} 0
          StrCpy $R0 $1
        ${Case} 1
          StrCpy $R1 $1
        ${Case} 2
          StrCpy $R2 $1
        ${Case} 3
          StrCpy $R3 $1
        ${Case} 4
          StrCpy $R4 $1
        ${Case} 5
          StrCpy $R5 $1
      ${EndSelect}
    ${Next}
    FileClose $0
  ${EndIf}
FunctionEnd

Section "Tarnwick"
  !insertmacro InstallFiles

  ; What "Tarnwick.scr /i" does: the screensaver into the system folder and
  ; the settings there, naming the install folder as the data folder, with
  ; the choices of the settings already there.
  Call ReadChoices
  ClearErrors
  CopyFiles /SILENT "$INSTDIR\Tarnwick.scr" "$SYSDIR\Tarnwick.scr"
  FileOpen $0 "$SYSDIR\tarnwick.txt" w
  FileWrite $0 "${SETTINGS_COMMENT}$\r$\n$INSTDIR$\r$\n$R0$R1$R2$R3$R4$R5"
  FileClose $0
  ${If} ${Errors}
    Abort "Tarnwick.scr and its settings could not be written to $SYSDIR."
  ${EndIf}

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tarnwick.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${WEBSITE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

Section "Uninstall"
  ${If} ${Silent}
    ; What "Tarnwick.scr /u" removes, without its boxes.
    Delete "$SYSDIR\Tarnwick.scr"
    Delete "$SYSDIR\tarnwick.txt"
    Delete "$DESKTOP\Tarnwick Screensaver.lnk"
    Delete "$SMPROGRAMS\Tarnwick Screensaver\Tarnwick Screensaver.lnk"
    Delete "$SMPROGRAMS\Tarnwick Screensaver\Moonquill Website.lnk"
    Delete "$SMPROGRAMS\Tarnwick Screensaver\Uninstall Tarnwick Screensaver.lnk"
    RMDir "$SMPROGRAMS\Tarnwick Screensaver"
    ; The choices saved by the user who uninstalls; the folder only if empty.
    Delete "$APPDATA\Tarnwick\tarnwick.txt"
    RMDir "$APPDATA\Tarnwick"
  ${Else}
    ; The program's own uninstall, started in the install folder: it asks
    ; first, and an answer of Cancel leaves its copy in the system folder.
    SetOutPath "$INSTDIR"
    ExecWait '"$INSTDIR\Tarnwick.scr" /u'
    SetOutPath "$TEMP"
    ${If} ${FileExists} "$SYSDIR\Tarnwick.scr"
      Abort "Nothing was removed."
    ${EndIf}
    ; The program has reported its success: nothing more to look at here.
    SetAutoClose true
  ${EndIf}

  !insertmacro RemoveFiles
  Delete "$INSTDIR\uninstall.exe"
  ; Only when nothing of the user's is left in it.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
