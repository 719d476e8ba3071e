; The Windows installer of the suite: both players, their libraries, the help pages
; and the demo song; on a machine without a CD drive (or when ticked) the disc-image
; CD-audio driver and the demo disc. Built by installer/CMakeLists.txt:
;   makensis -DVERSION=<version> -DFILES_NSH=<generated list> -DOUTFILE=<exe> Orvanta.nsi
; The file list (installer/files.txt) becomes the macros of FILES_NSH, so the
; uninstaller removes exactly the files the installer put there.

!ifndef VERSION | FILES_NSH | OUTFILE
  !error "VERSION, FILES_NSH and OUTFILE are defined by the build"
!endif

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "${FILES_NSH}"

!define PRODUCT "Orvanta Audio Suite"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvanta"
!define MCI_KEY "Software\Microsoft\Windows NT\CurrentVersion\MCI"
!define MCI32_KEY "Software\Microsoft\Windows NT\CurrentVersion\MCI32"
!define DISC_KEY "Software\Orvanta\CDAudio"
!define DEMO_CUE "Demo\Disc\Orvanta Demo Disc.cue"
!define DRIVER "orvcda.drv"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Orvanta"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "Orvanta"
VIAddVersionKey /LANG=1033 "LegalCopyright" "The Orvanta developers"

!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION}: the players Orvanta-MP3 and Orvanta-CD.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\mpdeck.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Orvanta-MP3"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Var HasCdDrive

Section "Orvanta players" SecSuite
  SectionIn RO
  !insertmacro OrvInstallFiles_suite
  SetOutPath "$INSTDIR"
  WriteRegStr HKCU "Software\Orvanta\mpdeck\APP" "Path" "$INSTDIR\mpdeck.exe"
  WriteRegStr HKCU "Software\Orvanta\cddeck\APP" "Path" "$INSTDIR\cddeck.exe"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Orvanta"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\mpdeck.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Start menu shortcuts" SecShortcuts
  CreateDirectory "$SMPROGRAMS\Orvanta"
  CreateShortcut "$SMPROGRAMS\Orvanta\Orvanta-MP3.lnk" "$INSTDIR\mpdeck.exe"
  CreateShortcut "$SMPROGRAMS\Orvanta\Orvanta-CD.lnk" "$INSTDIR\cddeck.exe"
  CreateShortcut "$SMPROGRAMS\Orvanta\Orvanta-MP3 Help.lnk" "$INSTDIR\mpdeck.htm"
  CreateShortcut "$SMPROGRAMS\Orvanta\Orvanta-CD Help.lnk" "$INSTDIR\cddeck.htm"
  CreateShortcut "$SMPROGRAMS\Orvanta\Uninstall Orvanta.lnk" "$INSTDIR\Uninstall.exe"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "Shortcuts" 1
SectionEnd

; Names the driver as "CDAudio" in one MCI list, keeping the value it replaces (once,
; at the first install) under the given name in the uninstall key.
!macro OrvRegisterDriver KEY KEPT
  ${If} $1 <> 1
    ReadRegStr $0 HKLM "${KEY}" "CDAudio"
    ${If} $0 == "${DRIVER}"
      StrCpy $0 ""
    ${EndIf}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "${KEPT}" "$0"
  ${EndIf}
  WriteRegStr HKLM "${KEY}" "CDAudio" "${DRIVER}"
!macroend

; Puts back the value kept by OrvRegisterDriver, or removes ours.
!macro OrvRestoreDriver KEY KEPT
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "${KEPT}"
  ${If} $1 == ""
    DeleteRegValue HKLM "${KEY}" "CDAudio"
  ${Else}
    WriteRegStr HKLM "${KEY}" "CDAudio" "$1"
  ${EndIf}
!macroend

; The disc-image driver takes the place of the system's CD-audio device, so it is
; only preselected where there is no CD drive. Wine reads the MCI list first; the
; Windows NT family reads 32-bit drivers from MCI32. The devices it replaces are kept
; in the uninstall key and put back by the uninstaller.
Section /o "CD image driver" SecCdAudio
  !insertmacro OrvInstallFiles_cdaudio
  SetOutPath "$INSTDIR"
  ReadRegDWORD $1 HKLM "${UNINSTALL_KEY}" "CdAudioDriver"
  !insertmacro OrvRegisterDriver "${MCI_KEY}" "ReplacedCDAudio"
  !insertmacro OrvRegisterDriver "${MCI32_KEY}" "ReplacedCDAudio32"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "CdAudioDriver" 1
  ; The demo disc goes in the drive unless a disc, or an empty drive, was chosen.
  ClearErrors
  ReadRegStr $0 HKCU "${DISC_KEY}" "Disc"
  ${If} ${Errors}
    WriteRegStr HKCU "${DISC_KEY}" "Disc" "$INSTDIR\${DEMO_CUE}"
  ${EndIf}
SectionEnd

LangString DESC_SecSuite ${LANG_ENGLISH} "Orvanta-MP3, Orvanta-CD, their libraries, help pages and a demo song."
LangString DESC_SecShortcuts ${LANG_ENGLISH} "Shortcuts to both players, their help pages and the uninstaller in the Start menu."
LangString DESC_SecCdAudio ${LANG_ENGLISH} "Plays CD images (CUE sheets) as if they were discs in a drive, with a demo disc. For computers without a CD drive: it replaces the system's CD-audio device."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSuite} $(DESC_SecSuite)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecShortcuts} $(DESC_SecShortcuts)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecCdAudio} $(DESC_SecCdAudio)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function FoundCdDrive
  StrCpy $HasCdDrive 1
  Push "StopGetDrives"
FunctionEnd

Function .onInit
  StrCpy $HasCdDrive 0
  ${GetDrives} "CDROM" "FoundCdDrive"
  ; Installed before with the driver: keep it, whatever drives there are now.
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "CdAudioDriver"
  ${If} $HasCdDrive == 0
  ${OrIf} $0 == 1
    SectionSetFlags ${SecCdAudio} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

; ---- Uninstaller ----

Section "un.Orvanta players" UnSecSuite
  SectionIn RO
  !insertmacro OrvRemoveFiles_suite
  ; Only our own "Path" values: the rest of the profile stays.
  DeleteRegValue HKCU "Software\Orvanta\mpdeck\APP" "Path"
  DeleteRegValue HKCU "Software\Orvanta\cddeck\APP" "Path"

  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "CdAudioDriver"
  ${If} $0 == 1
    !insertmacro OrvRemoveFiles_cdaudio
    !insertmacro OrvRestoreDriver "${MCI_KEY}" "ReplacedCDAudio"
    !insertmacro OrvRestoreDriver "${MCI32_KEY}" "ReplacedCDAudio32"
    ; The demo disc leaves the drive with its files; a disc of the user's stays.
    ReadRegStr $1 HKCU "${DISC_KEY}" "Disc"
    ${If} $1 == "$INSTDIR\${DEMO_CUE}"
      DeleteRegValue HKCU "${DISC_KEY}" "Disc"
    ${EndIf}
  ${EndIf}

  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "Shortcuts"
  ${If} $0 == 1
    Delete "$SMPROGRAMS\Orvanta\Orvanta-MP3.lnk"
    Delete "$SMPROGRAMS\Orvanta\Orvanta-CD.lnk"
    Delete "$SMPROGRAMS\Orvanta\Orvanta-MP3 Help.lnk"
    Delete "$SMPROGRAMS\Orvanta\Orvanta-CD Help.lnk"
    Delete "$SMPROGRAMS\Orvanta\Uninstall Orvanta.lnk"
    RMDir "$SMPROGRAMS\Orvanta"
  ${EndIf}

  Delete "$INSTDIR\Uninstall.exe"
  !insertmacro OrvRemoveFolders
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Off unless the user ticks it: playlists, the disc database and the profiles.
Section /o "un.Remove my playlists, disc database and settings" UnSecSettings
  Delete "$WINDIR\mpdeck.ini"
  Delete "$WINDIR\cddeck.ini"
  DeleteRegKey HKCU "Software\Orvanta"
SectionEnd

LangString DESC_UnSecSuite ${LANG_ENGLISH} "The programs, help pages, demo files, shortcuts and the disc-image driver."
LangString DESC_UnSecSettings ${LANG_ENGLISH} "Also removes mpdeck.ini (your playlists), cddeck.ini (your disc database) and the players' settings."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecSuite} $(DESC_UnSecSuite)
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecSettings} $(DESC_UnSecSettings)
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
