#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and runs both installed
# programs from there with HOME and XDG_DATA_HOME in a temporary folder:
# the shared files must come from <prefix>/share/zorvika, the working copies
# and snapshots must land in the user's data folder, and nothing may be
# written beside the installed programs. Then the installed desktop entry,
# MIME file and metainfo must pass Debian's validators.
# usage: install_test.sh BUILD_DIR CORPUS_DIR
set -euo pipefail
build=$1
corpus=$2
project="$corpus/SSTabEx/test project/Test.vbp"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

root="$work/root"
DESTDIR="$root" cmake --install "$build" --prefix /opt/zorvika >/dev/null
prefix="$root/opt/zorvika"
for f in bin/zorvika-cli bin/zorvika share/zorvika/tips.dll share/zorvika/tips.de.dll share/zorvika/help/index.html \
    share/applications/zorvika.desktop share/mime/packages/zorvika.xml \
    share/icons/hicolor/scalable/apps/zorvika.svg share/icons/hicolor/48x48/apps/zorvika.png \
    share/metainfo/org.zorvika.zorvika.metainfo.xml share/man/man1/zorvika.1.gz share/man/man1/zorvika-cli.1.gz \
    share/bash-completion/completions/zorvika-cli share/doc/zorvika/copyright share/doc/zorvika/changelog.gz; do
  [ -f "$prefix/$f" ] || fail "not installed: $f"
done
# Compressed as Debian wants them: maximal, without a name or a time, and whole.
for f in share/man/man1/zorvika.1.gz share/man/man1/zorvika-cli.1.gz share/doc/zorvika/changelog.gz; do
  gzip -t "$prefix/$f" || fail "$f is no whole gzip file"
  [ "$(od -An -tu1 -j3 -N7 "$prefix/$f" | tr -s ' ')" = " 0 0 0 0 0 2 3" ] || fail "$f is not compressed with gzip -9n"
done
[ -z "$(find "$prefix/share/man" -name '*.1')" ] || fail "an uncompressed manual page is installed"
grep -q "^zorvika (1.0) " <(gzip -dc "$prefix/share/doc/zorvika/changelog.gz") || fail "the changelog does not name this version"
find "$root" | sort >"$work/tree.before"

# The command line, with XDG_DATA_HOME set.
home="$work/home"
mkdir -p "$home"
export HOME="$home" XDG_DATA_HOME="$work/xdg"
"$prefix/bin/zorvika-cli" count "$project" --save >"$work/count.txt" || fail "installed count failed"
grep -q $'^ \tTotal\t3137\t' "$work/count.txt" || fail "installed count printed no totals row"
[ -f "$XDG_DATA_HOME/zorvika/verhis/SSTabExTest/1.0.0" ] || fail "snapshot not in XDG_DATA_HOME/zorvika/verhis"
[ -f "$XDG_DATA_HOME/zorvika/tempprjfiles/Test.vbp" ] || fail "working copy not in XDG_DATA_HOME/zorvika/tempprjfiles"
grep -q "^Total: 2 modules: " "$XDG_DATA_HOME/zorvika/verhis/SSTabExTest/1.0.0" \
  || fail "the snapshot's totals line does not come from the installed message table"
[ "$("$prefix/bin/zorvika-cli" history)" = SSTabExTest ] || fail "installed history does not list the snapshot"

# The table of the user's language, the user's own table, and --language.
snapshot="$XDG_DATA_HOME/zorvika/verhis/SSTabExTest/1.0.0"
totals_with() { "$prefix/bin/zorvika-cli" count "$project" --save "$@" >/dev/null && tail -n 1 "$snapshot" | cut -d: -f1; }
[ "$(LANG=de_DE.UTF-8 totals_with)" = Summe ] || fail "a German locale does not read tips.de.dll"
[ "$(LANGUAGE=de LANG=en_US.UTF-8 totals_with)" = Summe ] || fail "LANGUAGE=de does not read tips.de.dll"
[ "$(LANG=de_DE.UTF-8 totals_with --language en)" = Total ] || fail "--language en does not read tips.dll"
printf '[Message & Text]\r\nTOTAL="Mine: "\r\n' >"$XDG_DATA_HOME/zorvika/tips.dll"
[ "$(LANG=de_DE.UTF-8 totals_with)" = Mine ] || fail "the user's own tips.dll is not read"
rm "$XDG_DATA_HOME/zorvika/tips.dll"

# Without XDG_DATA_HOME the data folder is ~/.local/share/zorvika.
unset XDG_DATA_HOME
"$prefix/bin/zorvika-cli" count "$project" --save >/dev/null || fail "count without XDG_DATA_HOME failed"
[ -f "$home/.local/share/zorvika/verhis/SSTabExTest/1.0.0" ] || fail "snapshot not in ~/.local/share/zorvika"

# --program-folder still overrides both.
"$prefix/bin/zorvika-cli" count "$project" --save --program-folder "$work/pf" >/dev/null || fail "--program-folder count"
[ -f "$work/pf/verhis/SSTabExTest/1.0.0" ] && [ -f "$work/pf/tempprjfiles/Test.vbp" ] || fail "--program-folder not used"

# The desktop program's own options print without a display or a window.
(
  unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
  [ "$("$prefix/bin/zorvika" --version)" = "zorvika 1.0" ] || fail "zorvika --version"
  "$prefix/bin/zorvika" --help | grep -q -- "--program-folder DIR" || fail "zorvika --help"
  status=0
  "$prefix/bin/zorvika" --frobnicate 2>"$work/gui-error" || status=$?
  [ "$status" = 2 ] && [ "$(wc -l <"$work/gui-error")" = 1 ] || fail "zorvika --frobnicate: status $status"
)

# The desktop program with --program-folder opens the project given with it
# and stores its snapshot in that folder.
QT_QPA_PLATFORM=offscreen "$prefix/bin/zorvika" --program-folder "$work/gui-pf" "$project" &
gui=$!
for _ in $(seq 1 300); do
  [ -f "$work/gui-pf/verhis/SSTabExTest/1.0.0" ] && break
  sleep 0.1
done
kill "$gui" 2>/dev/null || true
wait "$gui" 2>/dev/null || true
[ -f "$work/gui-pf/verhis/SSTabExTest/1.0.0" ] || fail "the desktop program did not count its FILE into --program-folder"

# The desktop program opens the project given as its argument, counts it
# and stores its snapshot in the data folder.
export XDG_DATA_HOME="$work/xdg-gui"
QT_QPA_PLATFORM=offscreen "$prefix/bin/zorvika" "$project" &
gui=$!
for _ in $(seq 1 300); do
  [ -f "$XDG_DATA_HOME/zorvika/verhis/SSTabExTest/1.0.0" ] && break
  sleep 0.1
done
kill "$gui" 2>/dev/null || true
wait "$gui" 2>/dev/null || true
[ -f "$XDG_DATA_HOME/zorvika/verhis/SSTabExTest/1.0.0" ] || fail "the desktop program did not count its argument into XDG_DATA_HOME"
[ -f "$XDG_DATA_HOME/zorvika/tempprjfiles/Test.vbp" ] || fail "the desktop program's working copy is not in XDG_DATA_HOME"

find "$root" | sort >"$work/tree.after"
diff "$work/tree.before" "$work/tree.after" >&2 || fail "the installed programs wrote beside themselves"

# The validators of the desktop entry and the metainfo.
desktop-file-validate "$prefix/share/applications/zorvika.desktop" || fail "desktop-file-validate"
appstreamcli validate --pedantic --no-net "$prefix/share/metainfo/org.zorvika.zorvika.metainfo.xml" || fail "appstreamcli validate"
appstreamcli validate-tree --no-net "$prefix" >/dev/null || fail "appstreamcli validate-tree"
# The MIME file names the two types that the desktop entry opens.
for type in $(sed -n 's/^MimeType=//p' "$prefix/share/applications/zorvika.desktop" | tr ';' ' '); do
  grep -q "<mime-type type=\"$type\">" "$prefix/share/mime/packages/zorvika.xml" || fail "MIME type $type not defined"
done
echo "installed layout and validators: ok"
