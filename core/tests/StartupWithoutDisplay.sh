#!/usr/bin/env bash
# The browser started on a Wine desktop that was started without a display, as a new user meets it
# after running wineboot with no DISPLAY and then the program under xvfb-run:
#
#   StartupWithoutDisplay.sh KIVOBROWSER.EXE STATE_FOLDER
#
# Wine gives every program on such a desktop a driver that refuses top-level windows: the main frame
# gets WM_NCCREATE and WM_CREATE, then Wine destroys it (WM_NCDESTROY) and CreateWindowEx answers
# null. No other way into that state goes through the same messages, so the test keeps a Wine prefix
# of its own in the state folder (made once, by wineboot without a display) and starts that
# prefix's desktop without a display before each run. The program must say so in its log, write
# nothing back (no settings, no session file, no temporary files), crash nowhere and end with
# kExitNoMainWindow (2). The prefix is private: no user's registry or files are touched.
set -u
program=${1:?usage: StartupWithoutDisplay.sh KIVOBROWSER.EXE STATE_FOLDER}
state=${2:?usage: StartupWithoutDisplay.sh KIVOBROWSER.EXE STATE_FOLDER}
mkdir -p "$state"
state=$(cd "$state" && pwd)
export WINEPREFIX="$state/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

failures=0
check() { # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# One run at a time in the state folder.
exec 9>"$state/lock"
flock 9
if [ ! -f "$WINEPREFIX/.kivo-ready" ]; then
  env -u DISPLAY wineboot --init >"$state/wineboot.log" 2>&1 9>&-
  env -u DISPLAY wineserver -w 9>&-
  touch "$WINEPREFIX/.kivo-ready"
fi
# The prefix's server and desktop start here, with no display; they live on while the program runs.
env -u DISPLAY wineboot >>"$state/wineboot.log" 2>&1 9>&-

folder="$state/program"
rm -rf "$folder"
mkdir -p "$folder/appdata"
cp "$program" "$folder/KivoBrowser.exe"
# A session of the user's that the failed start must leave as it is.
printf '\001\000\000\000kept session' >"$folder/appdata/lastopensites"
cp "$folder/appdata/lastopensites" "$state/lastopensites.before"

cd "$folder" || exit 1
# Wine's services, started by the first program, inherit its output: it goes to a file.
timeout 120 xvfb-run -a wine KivoBrowser.exe -s multi http://never.example/ >"$state/program.out" 2>&1 9>&-
rc=$?
# The server writes the prefix's registry into user.reg as it ends.
wineserver -k 9>&-
wineserver -w 9>&- 2>/dev/null || true

check "exit code is kExitNoMainWindow (2), was $rc" test "$rc" -eq 2
check "no ERRORLOG.TXT" test ! -e "$folder/ERRORLOG.TXT"
check "no TFR*.tmp in appdata" test -z "$(find "$folder/appdata" -iname 'TFR*.tmp')"
check "the session file is unchanged" cmp -s "$state/lastopensites.before" "$folder/appdata/lastopensites"
check "no blocked-content logs written" test -z "$(find "$folder/appdata" -iname '*History')"
check "no settings written" bash -c "! grep -q -i -e '\"BlockerFlags\"' -e '\"RunCount\"' -e '\"SysFlags\"' '$WINEPREFIX/user.reg'"
check "the log tells why" grep -q "Kivo Browser could not open its main window and will close." "$folder/Logs/Z4KLog.htm"
if [ "$failures" -ne 0 ]; then
  echo "--- program output"
  tail -n 20 "$state/program.out"
fi
echo "$((7 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
