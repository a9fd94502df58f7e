#!/usr/bin/env bash
# Checks a build of the installer plug-in from outside: its machine, that it exports exactly
# CloseApp and IsUnicodeOS under those plain names, and that it needs no DLL a bare system lacks.
# Given a setup compiler, it also compiles a setup program for TARGET that calls both exports: the
# compiler finds plug-in commands through the DLL's export table.
#
#   exports-test.sh OBJDUMP DLL FORMAT [MAKENSIS SCRIPT TARGET WORK]
set -uo pipefail
objdump=$1 dll=$2 format=$3
fail=0
complain() { echo "FAIL: $*"; fail=1; }

dump=$("$objdump" -p "$dll") || { echo "FAIL: $objdump cannot read $dll"; exit 1; }

grep -q "file format $format\$" <<<"$dump" || complain "$dll is not $format"

exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
               on && NF == 0 { on = 0 }
               on { print $NF }' <<<"$dump" | sort | tr '\n' ' ')
[ "$exports" = "CloseApp IsUnicodeOS " ] || complain "exports are '$exports', expected 'CloseApp IsUnicodeOS '"

while read -r imported; do
  case "${imported,,}" in
    kernel32.dll | user32.dll | msvcrt.dll) ;;
    *) complain "imports $imported" ;;
  esac
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$dump")

if [ $# -ge 7 ]; then
  makensis=$4 script=$5 target=$6 work=$7
  rm -rf "$work" && mkdir -p "$work/plugins"
  cp "$dll" "$work/plugins/CloseKivoBrowser.dll"
  "$makensis" -V2 -DTARGET="$target" -DPLUGIN_DIR="$work/plugins" -DOUT_FILE="$work/PluginCheck.exe" "$script" \
    || complain "makensis does not accept the plug-in for $target"
  [ -s "$work/PluginCheck.exe" ] || complain "no $target setup program was made"
fi

[ $fail -eq 0 ] && echo "OK: $dll ($format) exports CloseApp and IsUnicodeOS"
exit $fail
