#!/usr/bin/env bash
# The installer installs silently into the release prefix, the installed programs are
# the built ones, the wizard's way (by full path in the Windows directory) and a command prompt
# both find Adapset.exe. Installing again upgrades in place (remembered folder, one
# uninstall entry, an older version refused, a running wizard refused, a file in use
# replaced at restart). The silent uninstaller takes back every file and registry key
# it added (its own temporary copy goes at the next restart, which is simulated) and
# keeps the snapshots in ProgramData\Tarvelo\Backups. A folder it cannot protect (a
# link as installation folder, a data folder it can neither take over nor remove)
# ends it with status 2 and nothing installed.
# Usage: check-installer.sh BUILD_DIR ARCH INSTALLER WIZARD_EXE TOOL_EXE RELEASE_CHECKS_EXE
#                           OLDER_INSTALLER NEWER_INSTALLER
set -uo pipefail
build=$1 arch=$2 installer=$3 wizard=$4 tool=$5 checks=$6 older=$7 newer=$8
. "$(dirname "$0")/check-common.sh" "$build" release-installer
prefix="$build/release-prefix"
drive="$prefix/drive_c"

run() { bash "$prefix_script" run "$build" "$arch" "$@"; }

# A display of its own, for the one run of the wizard.
fifo="$work/xvfb.fifo"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" </dev/null >"$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
read -r -t 30 display <"$fifo"
# The registry view of the installer's own architecture.
regview=/reg:32
[ "$arch" = win64 ] && regview=/reg:64
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TarveloIP'

# Files under C:, registry key names, and how often our names occur in the registry,
# once every process of the prefix has ended and the registry is on disk.
snapshot() {
  WINEPREFIX="$prefix" wineserver -w
  (cd "$drive" && find . | LC_ALL=C sort) >"$work/$1.files"
  grep -h '^\[' "$prefix/system.reg" "$prefix/user.reg" | sed 's/\] [0-9]*$/]/' | LC_ALL=C sort -u >"$work/$1.keys"
  cat "$prefix/system.reg" "$prefix/user.reg" | grep -ci -e tarvelo -e adapset >"$work/$1.ours"
}

# A snapshot the programs saved earlier: the user's data, which the uninstaller keeps.
backup="$drive/ProgramData/Tarvelo/Backups/20260101-000000-TarveloIP.reg"
mkdir -p "$(dirname "$backup")"
printf '\377\376' >"$backup"

# Nothing of ours installed: no program, no uninstall entry.
expect_nothing_installed() {
  [ ! -e "$drive/Program Files/Tarvelo" ] || fail "$1: Program Files\\Tarvelo was made"
  [ ! -e "$drive/windows/Adapset.exe" ] || fail "$1: Adapset.exe was installed"
  ! run reg query "$uninstall_key" $regview >/dev/null 2>&1 || fail "$1: an uninstall entry was written"
}

# A folder the installer cannot protect ends it with status 2 before anything is
# installed. An installation folder that is a link (of the host: Wine reports no
# reparse point for it; the final path gives it away) is refused, not followed.
echo "== install into a link: /S /D=C:\\TarveloLink"
mkdir -p "$drive/link-target"
ln -s "$drive/link-target" "$drive/TarveloLink"
run "$installer" /S '/D=C:\TarveloLink'
status=$?
[ "$status" = 2 ] || fail "installation into a link ended with status $status, expected 2"
[ -z "$(ls -A "$drive/link-target")" ] || fail "the installer wrote through the link: $(ls "$drive/link-target")"
expect_nothing_installed "installation into a link"
rm -f "$drive/TarveloLink"
rmdir "$drive/link-target"
# A data folder it can neither take over nor remove: a read-only file in its place.
echo "== a data folder that cannot be protected"
mv "$drive/ProgramData/Tarvelo" "$work/data-folder"
: >"$drive/ProgramData/Tarvelo"
chmod 0444 "$drive/ProgramData/Tarvelo"
run "$installer" /S
status=$?
[ "$status" = 2 ] || fail "installation without a protected data folder ended with status $status, expected 2"
expect_nothing_installed "installation without a protected data folder"
rm -f "$drive/ProgramData/Tarvelo"
mv "$work/data-folder" "$drive/ProgramData/Tarvelo"

snapshot before
[ "$(cat "$work/before.ours")" = 0 ] || fail "the fresh prefix already mentions Tarvelo or Adapset"
run "$checks" find-tool expect-missing || fail "Adapset.exe found before the installation"

echo "== install: $(basename "$installer") /S"
run "$installer" /S
status=$?
[ "$status" = 0 ] || fail "silent installation ended with status $status"
snapshot installed

programs="$drive/Program Files/Tarvelo"
cmp -s "$wizard" "$programs/TarveloIP.exe" || fail "TarveloIP.exe not installed in Program Files\\Tarvelo"
[ -f "$programs/uninstall.exe" ] || fail "no uninstall.exe in Program Files\\Tarvelo"
cmp -s "$tool" "$drive/windows/Adapset.exe" || fail "Adapset.exe not installed in the Windows directory"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/TarveloIP.lnk"
[ -f "$shortcut" ] || fail "no Start-menu shortcut for all users"
grep -aq 'TarveloIP.exe' "$shortcut" 2>/dev/null || fail "the shortcut does not point at TarveloIP.exe"
restore_shortcut="$(dirname "$shortcut")/復原先前的網路設定.lnk"
[ -f "$restore_shortcut" ] || fail "no Start-menu shortcut 復原先前的網路設定"
grep -aq 'TarveloIP.exe' "$restore_shortcut" 2>/dev/null || fail "the restore shortcut does not point at TarveloIP.exe"
# Its arguments, stored as UTF-16.
grep -aqP '/\x00r\x00e\x00s\x00t\x00o\x00r\x00e\x00' "$restore_shortcut" ||
  fail "the restore shortcut does not pass /restore"
# The data folders, taken over with the protected security (Wine keeps no folder DACL,
# so only their presence shows here) and the snapshot in them kept.
[ -d "$drive/ProgramData/Tarvelo/Backups" ] || fail "no data folder ProgramData\\Tarvelo\\Backups"
[ -f "$backup" ] || fail "the installation lost a snapshot in the data folder"
added=$(LC_ALL=C comm -13 "$work/before.files" "$work/installed.files")
echo "added files:"
echo "$added" | sed 's/^/  /'

# Registered in Programs and Features, in the view of the installer's architecture only.
run reg query "$uninstall_key" $regview >"$work/uninstall-key.txt" 2>&1 || fail "no uninstall entry"
for value in DisplayName DisplayVersion Publisher UninstallString QuietUninstallString; do
  grep -q "^ *$value " "$work/uninstall-key.txt" || fail "uninstall entry lacks $value"
done
grep -q 'UninstallString .*C:\\Program Files\\Tarvelo\\uninstall.exe' "$work/uninstall-key.txt" ||
  fail "UninstallString does not name the installed uninstaller"
grep -q 'DisplayVersion .*1\.0\.0\.1' "$work/uninstall-key.txt" || fail "DisplayVersion is not 1.0.0.1"
if [ "$arch" = win64 ]; then
  if run reg query 'HKLM\Software\WOW6432Node\Microsoft\Windows\CurrentVersion\Uninstall\TarveloIP' /reg:64 \
    >/dev/null 2>&1; then
    fail "the x64 installer registered itself in the 32-bit view"
  fi
fi

# The wizard's way: started by full path in the Windows directory, with that directory
# as working directory, from a process in the wizard's installation directory.
(cd "$programs" && run "$checks" find-tool) || fail "Adapset.exe does not start the wizard's way"
# A command prompt anywhere else finds it on its search path.
(cd "$drive/users" && run cmd /c adapset) >"$work/cmd-adapset.txt" 2>&1
grep -q 'adapset - Version 2.2' "$work/cmd-adapset.txt" || fail "a command prompt does not find adapset"

# Runs an installer or uninstaller silently and checks its exit status.
expect_status() {
  local want=$1 what=$2
  shift 2
  run "$@"
  local status=$?
  [ "$status" = "$want" ] || fail "$what: exit status $status, expected $want"
}

# The copy in a folder (host path, Windows path) of the given version, registered
# there under the one uninstall entry.
expect_installed_in() {
  local folder=$1 windows=$2 version=$3 what=$4
  cmp -s "$wizard" "$folder/TarveloIP.exe" || fail "$what: TarveloIP.exe not in $windows"
  [ -f "$folder/uninstall.exe" ] || fail "$what: no uninstall.exe in $windows"
  cmp -s "$tool" "$drive/windows/Adapset.exe" || fail "$what: Adapset.exe not in the Windows directory"
  run reg query "$uninstall_key" $regview >"$work/entry.txt" 2>&1
  grep InstallLocation "$work/entry.txt" | grep -qF "$windows" || fail "$what: InstallLocation is not $windows"
  grep DisplayVersion "$work/entry.txt" | grep -qF "$version" || fail "$what: DisplayVersion is not $version"
  local entries
  entries=$(run reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' $regview | grep -ci tarvelo)
  [ "$entries" = 1 ] || fail "$what: $entries uninstall entries"
}

# /D= takes no quotes, and the harness would quote a path with a blank.
custom_windows='C:\TarveloIP'
custom="$drive/TarveloIP"
echo "== install into another folder: /S /D=$custom_windows"
expect_status 0 "installation into $custom_windows" "$installer" /S "/D=$custom_windows"
expect_installed_in "$custom" "$custom_windows" 1.0.0.1 "moved with /D"
[ ! -e "$programs" ] || fail "the copy in Program Files\\Tarvelo was left behind"

echo "== install again without /D"
expect_status 0 "installation over the installed copy" "$installer" /S
expect_installed_in "$custom" "$custom_windows" 1.0.0.1 "installed again"
[ ! -e "$programs" ] || fail "installed again into Program Files\\Tarvelo, not the installed copy's folder"

echo "== an older version over a newer one, then a newer one"
expect_status 2 "silent installation of an older version" "$older" /S
expect_installed_in "$custom" "$custom_windows" 1.0.0.1 "older version refused"
expect_status 0 "installation of a newer version" "$newer" /S
expect_installed_in "$custom" "$custom_windows" 99.0.0.0 "upgraded"

echo "== while TarveloIP.exe runs"
# Wine's desktop process, started by the first program of a session, keeps that
# program's display for the whole session: the wizard starts a session of its own.
# Started directly, not through run(), so that $! is the program's own process.
WINEPREFIX="$prefix" wineserver -w
TARVELO_RELEASE_DISPLAY=":$display" bash "$prefix_script" run "$build" "$arch" "$custom_windows\\TarveloIP.exe" &
running=$!
DISPLAY=":$display" timeout 30 xdotool search --sync --name 'Tarvelo ADSL' >/dev/null ||
  fail "the installed wizard did not show its page"
expect_status 2 "silent installation while the wizard runs" "$newer" /S
expect_status 2 "silent uninstallation while the wizard runs" "$custom_windows\\uninstall.exe" /S "_?=$custom_windows"
expect_installed_in "$custom" "$custom_windows" 99.0.0.0 "while the wizard runs"
kill "$running"
wait "$running" 2>/dev/null
WINEPREFIX="$prefix" wineserver -w

echo "== a file in use is replaced at the next restart"
ready="$work/held"
bash "$prefix_script" run "$build" "$arch" "$checks" hold 'C:\windows\Adapset.exe' 60000 "$ready" &
holder=$!
for _ in $(seq 100); do [ -e "$ready" ] && break; sleep 0.2; done
[ -e "$ready" ] || fail "Adapset.exe could not be held open"
expect_status 0 "installation while Adapset.exe is in use" "$newer" /S
session='HKLM\System\CurrentControlSet\Control\Session Manager'
run reg query "$session" /v PendingFileRenameOperations >"$work/pending.txt" 2>&1
grep -qi 'Adapset.exe.new' "$work/pending.txt" || fail "Adapset.exe in use was not scheduled for replacement"
kill "$holder"
wait "$holder" 2>/dev/null
run wineboot -r >/dev/null 2>&1
WINEPREFIX="$prefix" wineserver -w
[ ! -e "$drive/windows/Adapset.exe.new" ] || fail "Adapset.exe.new still there after the restart"
expect_installed_in "$custom" "$custom_windows" 99.0.0.0 "after the restart"

echo "== uninstall: uninstall.exe /S"
run "$custom_windows\\uninstall.exe" /S
status=$?
[ "$status" = 0 ] || fail "silent uninstallation ended with status $status"
snapshot uninstalled
left=$(LC_ALL=C comm -13 "$work/before.files" "$work/uninstalled.files")
# Only the uninstaller's temporary copy may remain, scheduled for deletion at restart.
while IFS= read -r path; do
  [ -n "$path" ] || continue
  case "$path" in
    ./users/*/Temp/~nsu*.tmp | ./users/*/Temp/~nsu*.tmp/*)
      name=$(printf '%s' "${path#./}" | tr '/' '\\' | sed 's/\\/\\\\\\\\/g')
      grep -q "PendingFileRenameOperations.*$name" "$prefix/system.reg" ||
        fail "left behind and not scheduled for deletion: $path"
      ;;
    *) fail "left behind: $path" ;;
  esac
done <<<"$left"
run "$checks" find-tool expect-missing || fail "Adapset.exe still found after the uninstallation"
[ -f "$backup" ] || fail "the uninstaller removed the user's snapshots in ProgramData\\Tarvelo\\Backups"

echo "== restart"
run wineboot -r >/dev/null 2>&1
snapshot restarted
left=$(LC_ALL=C comm -13 "$work/before.files" "$work/restarted.files")
[ -z "$left" ] || fail "files left behind after a restart: $(echo $left)"
new_keys=$(LC_ALL=C comm -13 "$work/before.keys" "$work/restarted.keys")
[ -z "$new_keys" ] || fail "registry keys left behind: $(echo $new_keys)"
[ "$(cat "$work/restarted.ours")" = 0 ] || fail "the registry still mentions Tarvelo or Adapset"
! grep -q PendingFileRenameOperations "$prefix/system.reg" || fail "deletions still pending after a restart"

[ "$failures" = 0 ] && echo "installer checks passed"
[ "$failures" = 0 ]
