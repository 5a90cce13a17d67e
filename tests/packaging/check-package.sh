#!/usr/bin/env bash
# Builds the Debian package from a finished build folder and checks it: the
# files it installs, that its dependencies provide every library the program
# links, that the desktop entry and the AppStream metainfo pass the desktop's
# own validators as installed, and that the installed program answers --help
# and --version without a display.
#   tests/packaging/check-package.sh BUILD-FOLDER
set -euo pipefail
build=$(cd "${1:?usage: check-package.sh BUILD-FOLDER}" && pwd)
id=io.github.shelfmark.Books
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for tool in cpack dpkg-deb objdump desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack could not build the package" >&2
    exit 1
fi
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "FAIL: cpack made ${#debs[@]} packages" >&2; exit 1; }
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
echo "package: ${deb##*/}, $(stat -c %s "$deb") bytes"

# Contents: the program, the desktop files and nothing outside /usr.
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|/$||' >"$work/contents"
expected=(
    ./usr/bin/shelfmark
    ./usr/share/applications/$id.desktop
    ./usr/share/metainfo/$id.metainfo.xml
    ./usr/share/man/man1/shelfmark.1.gz
    ./usr/share/icons/hicolor/scalable/apps/$id.svg
)
for size in 16 24 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for file in "${expected[@]}"; do
    grep -qxF "$file" "$work/contents" || fail "the package lacks $file"
done
if grep -v -e '^\.$' -e '^\./usr$' -e '^\./usr/' "$work/contents" >"$work/outside"; then
    fail "the package installs outside /usr: $(tr '\n' ' ' <"$work/outside")"
fi

dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/bin/shelfmark

# The package that installed a file, under the name it has in the package (with
# /usr merged, /lib and /usr/lib are one folder but dpkg knows one of them).
packageOwning() {
    local real
    real=$(readlink -f "$1")
    for candidate in "$real" "$1" "${real#/usr}" "/usr$1"; do
        if dpkg -S "$candidate" >"$work/owner" 2>/dev/null; then
            head -1 "$work/owner" | cut -d: -f1
            return
        fi
    done
}

# Every library the program needs comes from a package it depends on; the C
# and C++ run-time libraries are always there on Debian all the same.
depends=$(dpkg-deb -f "$deb" Depends)
# (No reader in these pipelines stops early: with pipefail the writer's
# broken pipe would count as a failure.)
dependsOn() { tr ',' '\n' <<<"$depends" | awk -v name="$1" '$1 == name { found = 1 } END { exit !found }'; }
for needed in fonts-liberation qt6-qpa-plugins; do
    dependsOn "$needed" || fail "Depends lacks $needed: $depends"
done
for library in $(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }'); do
    path=$(ldconfig -p | awk -v lib="$library" '$1 == lib && /x86-64/ && !found { print $NF; found = 1 }')
    [ -n "$path" ] || { fail "$library is not installed here"; continue; }
    owner=$(packageOwning "$path")
    [ -n "$owner" ] || { fail "no package owns $path"; continue; }
    dependsOn "$owner" || fail "$library comes from $owner, which Depends lacks"
done
[ -z "$(objdump -h "$program" | grep -F .debug_info)" ] || fail "the program keeps its debugging information"

desktop-file-validate "$work/root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }
grep -q "<release version=\"$version\"" "$work/root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo has no release $version"
gzip -t "$work/root/usr/share/man/man1/shelfmark.1.gz" || fail "the manual page is no gzip file"
zcat "$work/root/usr/share/man/man1/shelfmark.1.gz" | grep "^\.TH SHELFMARK 1 .*Shelfmark Books $version" >/dev/null ||
    fail "the manual page does not name version $version"

# No display at all: both answers come before any window would.
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version) || fail "--version failed"
[ "$answer" = "Shelfmark Books $version" ] || fail "--version answered \"$answer\""
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help | grep '/BROWSE' >/dev/null || fail "--help"

if [ "$failures" -gt 0 ]; then
    echo "$failures problems" >&2
    exit 1
fi
echo "package checked: ${#expected[@]} files, dependencies, desktop entry, metainfo, manual page, --help, --version"
