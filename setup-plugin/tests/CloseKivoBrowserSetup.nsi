; A silent setup program that calls the installer plug-in the way a real setup does, and writes what
; it got back to results.txt beside itself:
;   unicode=<what IsUnicodeOS pushed>
;   closeapp=<what CloseApp pushed, or "(nothing)">
;   closeapp_ms=<how long CloseApp took>
;
; makensis -DTARGET=amd64-unicode -DPLUGIN_DIR=<folder with CloseKivoBrowser.dll> -DOUT_FILE=<program.exe>

Target ${TARGET}
!addplugindir /${TARGET} "${PLUGIN_DIR}"

Name "Kivo Browser plug-in check"
OutFile "${OUT_FILE}"
SilentInstall silent
RequestExecutionLevel user
InstallDir "$TEMP\KivoBrowserSetupCheck"

!define NOTHING "(nothing)"

Section
  CloseKivoBrowser::IsUnicodeOS
  Pop $0

  ; A marker under CloseApp's answer tells "pushed nothing" apart from a pushed result.
  Push "${NOTHING}"
  System::Call "kernel32::GetTickCount() i .r4"
  CloseKivoBrowser::CloseApp
  System::Call "kernel32::GetTickCount() i .r5"
  IntOp $6 $5 - $4
  Pop $1
  StrCmp $1 "${NOTHING}" report
  Pop $2
  StrCmp $2 "${NOTHING}" report
  StrCpy $1 "$1, then $2 instead of the marker"

report:
  FileOpen $3 "$EXEDIR\results.txt" w
  FileWrite $3 "unicode=$0$\r$\n"
  FileWrite $3 "closeapp=$1$\r$\n"
  FileWrite $3 "closeapp_ms=$6$\r$\n"
  FileClose $3
SectionEnd
