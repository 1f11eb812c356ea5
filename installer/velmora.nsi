; Installer of the launcher: puts velmora.exe, its licence and its install note
; into the suite's ERP folder chosen by the user. makensis -DVERSION=x.y.z
; -DSTAGE=<folder holding the three files> -DOUTFILE=<setup.exe>.
Unicode true
!ifndef VERSION | STAGE | OUTFILE
  !error "VERSION, STAGE and OUTFILE must be defined"
!endif

Name "Velmora ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "C:\Corvane\ERP"
RequestExecutionLevel highest
SetCompressor /SOLID lzma
LicenseData "${STAGE}\LICENSE.txt"
DirText "Choose the ERP folder of your Corvane suite (the folder holding wardle.exe)."

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Velmora"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Velmora installer"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 Velmora"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Velmora"
  SetOutPath "$INSTDIR"
  File "${STAGE}\velmora.exe"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\INSTALL.txt"
  WriteUninstaller "$INSTDIR\velmora-uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Velmora.lnk" "$INSTDIR\velmora.exe" "" "" 0 SW_SHOWNORMAL "" "Corvane suite"
SectionEnd

; Removes only what the installer put there: the suite's files and the
; launcher's own data files stay.
Section "Uninstall"
  Delete "$SMPROGRAMS\Velmora.lnk"
  Delete "$INSTDIR\velmora.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\INSTALL.txt"
  Delete "$INSTDIR\velmora-uninstall.exe"
SectionEnd
