#!/usr/bin/env bash
# Tests the Windows setup program and the portable zip under Wine, in the
# private prefix build-windows/wine-prefix: makes both with cpack in
# build-windows, installs silently (/S), runs the installed zorvika-cli over
# a corpus project (count --save), checks that the snapshot lands under
# %LOCALAPPDATA%\zorvika and nothing beside the programs, checks the
# Start-menu folder and the uninstaller's entry in the registry (and
# "Open with" when the desktop program is installed), uninstalls silently
# and checks that Program Files\ZORVIKA, the Start-menu folder and the
# registry entries are gone and only the user's data is left. Then unpacks
# the zip and checks that its program keeps the data beside itself.
# Prints one line per check; exits 1 when one fails.
set -uo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
build=build-windows
export WINEPREFIX="${WINEPREFIX:-$repo/$build/wine-prefix}"
version="$(sed -n 's/^project(zorvika VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
setup="$build/zorvika-$version-win64-setup.exe"
portable="zorvika-$version-win64-portable"
project="../shared/corpus/SSTabEx/test project/Test.vbp"
work="$build/installer-test"
log="$work/log.txt"
failed=0
started=$SECONDS

fail() { echo "test-windows-installer: $*" >&2; exit 1; }
check() { # check WHAT COMMAND...: runs COMMAND, prints ok or FAILED
  local what="$1"
  shift
  if "$@"; then echo "ok      $what"; else echo "FAILED  $what"; failed=1; fi
}
# Wine's output goes to the log, never to a pipe: Wine's background
# programs started by the first command would hold a pipe open.
wine_run() { timeout 300 scripts/wine-run.sh "$@" </dev/null >>"$log" 2>&1; }
wine_out() { timeout 300 scripts/wine-run.sh "$@" </dev/null 2>>"$log"; }

[ -f "$build/bin/zorvika-cli.exe" ] || fail "$build/bin/zorvika-cli.exe is not built: run scripts/build-windows.sh first"
rm -rf "$work"
mkdir -p "$work"
(cd "$build" && cpack -G NSIS && cpack -G ZIP) >"$work/cpack.txt" 2>&1 || fail "cpack failed: $(tail -5 "$work/cpack.txt")"
[ -f "$setup" ] && [ -f "$build/$portable.zip" ] || fail "cpack made no $setup or $build/$portable.zip"
echo "test-windows-installer: $setup ($(du -k "$setup" | cut -f1) KiB), $build/$portable.zip ($(du -k "$build/$portable.zip" | cut -f1) KiB)"

# The prefix's folders, as Wine lays them out.
wine_run cmd /c ver
drive_c="$WINEPREFIX/drive_c"
install_dir="$drive_c/Program Files/ZORVIKA"
local_app_data="$(wine_out cmd /c echo %LOCALAPPDATA% | tr -d '\r')"
data="$drive_c/${local_app_data#*:\\}"
data="${data//\\//}/zorvika"
start_menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/ZORVIKA"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZORVIKA'
[ -d "$(dirname "$data")" ] || fail "no %LOCALAPPDATA% in the prefix ($local_app_data)"
# What an earlier run left.
rm -rf "$data"
[ ! -f "$install_dir/Uninstall.exe" ] || wine_run "$install_dir/Uninstall.exe" /S
for _ in $(seq 60); do [ -e "$install_dir" ] || break; sleep 1; done

is_dir() { [ -d "$1" ]; }
is_file() { [ -f "$1" ]; }
is_gone() { [ ! -e "$1" ]; }
has_key() { wine_run reg query "$1"; }
no_key() { ! wine_run reg query "$1"; }
same_text() { [ "$1" = "$2" ]; }
only_data_left() { # the data folder holds the snapshot store and nothing of the install
  [ -z "$(find "$data" -iname '*.exe' -o -iname '*.dll' ! -iname 'tips*.dll' | head -1)" ]
}

wine_run "$setup" /S
check "the silent install ends with status 0" same_text "$?" 0
check "the programs lie in Program Files\\ZORVIKA" is_file "$install_dir/zorvika-cli.exe"
for file in git2.dll tips.dll tips.de.dll help/index.html installed.txt Uninstall.exe; do
  check "Program Files\\ZORVIKA\\$file" is_file "$install_dir/$file"
done
check "the Start-menu folder" is_file "$start_menu/Uninstall.lnk"
check "the uninstaller's entry in Apps & features" has_key "$uninstall_key"
desktop=""
if [ -f "$install_dir/zorvika.exe" ]; then
  desktop=1
  check "the Start-menu entry of the desktop program" is_file "$start_menu/ZORVIKA.lnk"
  for type in .vbp .vbg; do
    check "\"Open with\" ZORVIKA for $type" has_key "HKLM\\Software\\Classes\\$type\\OpenWithList\\zorvika.exe"
  done
  check "the command that opens a file" has_key 'HKLM\Software\Classes\Applications\zorvika.exe\shell\open\command'
fi

# The installed program counts and stores in the user's data folder.
expected="$(build/bin/zorvika-cli count "$project" --program-folder "$work/linux-pf")"
counted="$(wine_out "$install_dir/zorvika-cli.exe" count "$project" --save)"
check "the installed zorvika-cli counts as the Linux one" same_text "$counted" "$expected"
check "the snapshot lies under %LOCALAPPDATA%\\zorvika\\verhis" is_dir "$data/verhis/SSTabExTest"
check "nothing was stored beside the installed programs" is_gone "$install_dir/verhis"
check "no working copies beside the installed programs" is_gone "$install_dir/tempprjfiles"
history="$(wine_out "$install_dir/zorvika-cli.exe" history)"
check "the installed history lists the project" same_text "$history" SSTabExTest
# Revisions through the installed git2.dll.
python3 scripts/make-history-repo.py "$project" "$work/repository" 2 >>"$log" 2>&1
expected_revision="$(build/bin/zorvika-cli count "$work/repository/Test.vbp" --revision r001 --program-folder "$work/linux-pf")"
revision="$(wine_out "$install_dir/zorvika-cli.exe" count "$work/repository/Test.vbp" --revision r001)"
check "the installed zorvika-cli counts a revision as the Linux one" same_text "$revision" "$expected_revision"

wine_run "$install_dir/Uninstall.exe" /S
check "the silent uninstall ends with status 0" same_text "$?" 0
# The uninstaller copies itself away and goes on after it returns.
for _ in $(seq 60); do [ -e "$install_dir" ] || break; sleep 1; done
check "Program Files\\ZORVIKA is gone" is_gone "$install_dir"
check "the Start-menu folder is gone" is_gone "$start_menu"
check "the uninstaller's entry is gone" no_key "$uninstall_key"
if [ -n "$desktop" ]; then
  check "\"Open with\" is gone" no_key 'HKLM\Software\Classes\Applications\zorvika.exe'
fi
check "the user's data is left" is_dir "$data/verhis/SSTabExTest"
check "only the user's data is left" only_data_left

# The portable zip: one folder that is a program folder.
mkdir -p "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$repo/$build/$portable.zip") >>"$log" 2>&1
folder="$work/unpacked/$portable"
check "the zip holds one folder, $portable" same_text "$(ls "$work/unpacked")" "$portable"
check "the zip holds no installed.txt" is_gone "$folder/installed.txt"
counted="$(wine_out "$folder/zorvika-cli.exe" count "$project" --save)"
check "the unpacked zorvika-cli counts as the Linux one" same_text "$counted" "$expected"
check "the unpacked program stores beside itself" is_dir "$folder/verhis/SSTabExTest"
rm -rf "$data"

echo "test-windows-installer: $((SECONDS - started)) s"
exit $failed
