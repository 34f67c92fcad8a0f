#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian and appstreamcli, and
# tries it as a new user would: installed with apt and without recommended
# packages into a fresh minimal Debian 12 (debootstrap from the machine's
# package sources), a new user counts a corpus project, saves it, lists the
# history, uses an optional feature whose library is missing, opens the
# window offscreen, and the package is removed again; nothing but the
# user's data may be left. Prints each command run in the system and what
# it printed. Needs root (debootstrap, chroot) and the network to the mirror.
# usage: scripts/test-package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
corpus=$(realpath ../shared/corpus)
suite=bookworm
# Downloaded packages are kept for the next run; the system itself is made
# anew each time and removed at the end.
cache=/var/cache/zorvika-package-test
fail() { echo "FAIL: $*" >&2; exit 1; }
[ "$(id -u)" = 0 ] || fail "run as root (debootstrap and chroot need it)"
for tool in debootstrap lintian appstreamcli dpkg-deb; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done

echo "== the package"
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/zorvika_*_*.deb)
dpkg-deb --field "$deb" Package Version Depends Recommends Suggests Installed-Size

work=$(mktemp -d /var/tmp/zorvika-package-test.XXXXXX)
root="$work/root"
cleanup() {
  # The system's /proc first, so that removing the tree never reaches it.
  if mountpoint -q "$root/proc" 2>/dev/null; then umount "$root/proc" || umount -l "$root/proc"; fi
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT

echo "== lintian"
# No error, warning or informational tag (those that do not apply are
# overridden in the package, each with its reason).
status=0
lintian --display-info --fail-on error,warning,info "$deb" >"$work/lintian.txt" 2>&1 || status=$?
grep -v "running with root privileges" "$work/lintian.txt" || true
[ "$status" = 0 ] || fail "lintian found problems (status $status)"
echo "lintian: clean"

echo "== appstreamcli"
dpkg-deb -x "$deb" "$work/unpacked"
metainfo=$(ls "$work"/unpacked/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --pedantic --no-net "$metainfo" || fail "appstreamcli validate --pedantic"

# The first mirror of the suite in the machine's package sources (one-line
# or deb822 files).
mirror=$(python3 - "$suite" <<'EOF'
import glob, sys
suite = sys.argv[1]
for name in ["/etc/apt/sources.list"] + sorted(glob.glob("/etc/apt/sources.list.d/*")):
    try:
        text = open(name).read()
    except OSError:
        continue
    if name.endswith(".sources"):
        for stanza in text.split("\n\n"):
            fields = {}
            for line in stanza.splitlines():
                if ":" in line and not line.startswith(("#", " ")):
                    key, value = line.split(":", 1)
                    fields[key.strip().lower()] = value.split()
            if suite in fields.get("suites", []) and "deb" in fields.get("types", []) and fields.get("uris"):
                print(fields["uris"][0]); sys.exit(0)
    else:
        for line in text.splitlines():
            words = [w for w in line.split() if not w.startswith("[") and not w.endswith("]")]
            if len(words) >= 3 and words[0] == "deb" and words[2] == suite:
                print(words[1]); sys.exit(0)
sys.exit(1)
EOF
) || fail "no mirror of $suite in /etc/apt/sources.list*"

echo "== a minimal $suite from $mirror"
mkdir -p "$cache/debootstrap"
debootstrap --variant=minbase --cache-dir="$cache/debootstrap" "$suite" "$root" "$mirror" >"$work/debootstrap.log" 2>&1 \
  || { tail -20 "$work/debootstrap.log" >&2; fail "debootstrap"; }
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
installed_size() { in_root dpkg-query -W -f='${Installed-Size}\n' | awk '{s += $1} END {print s}'; }

in_root dpkg-query -W -f='${Package}\n' | sort >"$work/packages.before"
size_before=$(installed_size)
cp "$deb" "$root/tmp/zorvika.deb"
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends /tmp/zorvika.deb >"$work/install.log" 2>&1 \
  || { cat "$work/install.log" >&2; fail "apt-get install"; }
size_after=$(installed_size)
echo "installed with its dependencies: $(((size_after - size_before) / 1024)) MiB"
echo "the largest of them:" $(in_root dpkg-query -W -f='${Installed-Size} ${Package}\n' \
  | sort -k2 | join -v1 -1 2 -2 1 - "$work/packages.before" | sort -k2 -n -r | head -n 6 \
  | awk '{printf "%s (%d MiB)", $1, $2 / 1024; if (NR < 6) printf ","}')
in_root dpkg -L zorvika >"$work/files"
for absent in libgit2-1.5 libxlsxwriter4 libreoffice-calc libreoffice-core; do
  ! in_root dpkg-query -W -f='${Status}' "$absent" 2>/dev/null | grep -q "install ok installed" \
    || fail "$absent was installed without being asked for"
done

in_root useradd --create-home --shell /bin/sh user
home="$root/home/user"
cp -r "$corpus/SSTabEx" "$home/SSTabEx"
chown -R --reference="$home" "$home/SSTabEx"
touch "$work/stamp"
sleep 1

echo "== the new user's commands"
# Runs one command as the new user in the system, showing it and its output;
# the exit status must be the one expected.
as_user() {
  local expected=$1
  shift
  echo "\$ $*"
  local status=0
  chroot --userspec=user:user "$root" env -i HOME=/home/user PATH=/usr/bin:/bin LANG=C.UTF-8 "$@" \
    >"$work/out" 2>&1 || status=$?
  cat "$work/out"
  [ "$status" = "$expected" ] || fail "exit status $status, not $expected: $*"
}
project="/home/user/SSTabEx/test project/Test.vbp"
as_user 0 zorvika-cli --version
as_user 0 zorvika-cli count "$project" --save
grep -q $'^ \tTotal\t3137\t' "$work/out" || fail "count printed no totals row"
as_user 0 zorvika-cli history
[ "$(cat "$work/out")" = SSTabExTest ] || fail "history does not list the saved project"
as_user 0 zorvika-cli history SSTabExTest
[ "$(cat "$work/out")" = 1.0.0 ] || fail "history does not list the saved version"
store="$home/.local/share/zorvika/verhis/SSTabExTest/1.0.0"
grep -q "^Total: 2 modules: " "$store" || fail "the snapshot does not carry the English totals line"
as_user 0 env LANG=de_DE.UTF-8 zorvika-cli count "$project" --save
grep -q "^Summe: 2 Module: " "$store" || fail "a German user's snapshot does not carry the German totals line"
as_user 0 env LANG=de_DE.UTF-8 zorvika-cli count "$project" --save --language en
grep -q "^Total: 2 modules: " "$store" || fail "--language en does not choose the English table"
# The recommended libraries are not installed: each feature says which package it misses.
as_user 1 zorvika-cli count "$project" --output /home/user/list.xlsx
grep -q "package libxlsxwriter" "$work/out" || fail "a workbook without libxlsxwriter does not name its package"
as_user 1 zorvika-cli count "$project" --revision HEAD
grep -q "package libgit2" "$work/out" || fail "a revision without libgit2 does not name its package"
# The desktop program: its own options need no display.
as_user 0 zorvika --version
as_user 0 zorvika --help
grep -q -- "--program-folder DIR" "$work/out" || fail "zorvika --help does not describe its options"
# The window, offscreen, on a program folder of the user's choice: it counts the
# project given with it and stores the snapshot there.
echo "\$ QT_QPA_PLATFORM=offscreen zorvika --program-folder /home/user/second \"$project\""
chroot --userspec=user:user "$root" env -i HOME=/home/user PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
  sh -c 'zorvika --program-folder /home/user/second "$1" & gui=$!
         for _ in $(seq 1 300); do [ -f /home/user/second/verhis/SSTabExTest/1.0.0 ] && break; sleep 0.1; done
         kill "$gui"; wait "$gui" 2>/dev/null; exit 0' sh "$project" 2>&1 | grep -v "XDG_RUNTIME_DIR" || true
[ -f "$home/second/verhis/SSTabExTest/1.0.0" ] || fail "the window did not count the project into its program folder"
echo "the window stored /home/user/second/verhis/SSTabExTest/1.0.0"

echo "== removing the package"
in_root apt-get purge -y -qq zorvika >"$work/purge.log" 2>&1 || { cat "$work/purge.log" >&2; fail "apt-get purge"; }
left=()
while IFS= read -r path; do
  [ -e "$root$path" ] || continue
  # A folder that another package owns (or that holds others' files) stays.
  [ -d "$root$path" ] && in_root dpkg-query -S "$path" >/dev/null 2>&1 && continue
  [ -d "$root$path" ] && [ -n "$(ls -A "$root$path")" ] && continue
  left+=("$path")
done <"$work/files"
[ ${#left[@]} = 0 ] || fail "left after removal: ${left[*]}"
# Nothing written since the user began, outside the system's package records
# and logs, but the user's data folder. (Removing the MIME file makes the
# system build its MIME database anew; the package's own files are checked
# above.)
written=$(cd "$root" && find . -xdev -newer "$work/stamp" ! -type d \
  ! -path './var/lib/dpkg/*' ! -path './var/lib/apt/*' ! -path './var/cache/*' ! -path './var/log/*' \
  ! \( -path './usr/share/mime/*' ! -path './usr/share/mime/packages/*' \) \
  ! -path './etc/ld.so.cache' ! -path './home/user/.local/share/zorvika/*' ! -path './home/user/second/*' | sort)
[ -z "$written" ] || fail "written outside the user's data: $written"
echo "left of the user's runs: $(cd "$home" && find .local/share/zorvika second -type f | sort | tr '\n' ' ')"
echo "package test: ok"
