#!/usr/bin/env bash
# Builds the .deb from a build tree with CPack and checks what it holds and what it says:
# name, version, architecture, the Debian packages of the linked libraries, both programs,
# the desktop entry and its icon, manual pages, copyright and changelog, one version
# everywhere.   check-package.sh BUILD_DIR VERSION
set -euo pipefail
build="$1"
version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect_eq() { [ "$1" = "$2" ] || fail "$3: got '$1', expected '$2'"; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log" >&2
  exit 1
}
arch="$(dpkg --print-architecture)"
deb="$work/out/tablory_${version}_${arch}.deb"
[ -f "$deb" ] || { ls "$work/out" >&2; echo "FAIL: no $deb" >&2; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
expect_eq "$(field Package)" tablory Package
expect_eq "$(field Version)" "$version" Version
expect_eq "$(field Architecture)" "$arch" Architecture
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
description="$(field Description)"
[ -n "$description" ] || fail "no Description"
grep -q ';' <<<"$description" && fail "Description holds a CMake list: $description"
awk 'length > 80' <<<"$description" | grep -q . && fail "Description has lines past 80 columns"
depends="$(field Depends)"
names="$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//')"
for library in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 libjpeg62-turbo; do
  grep -qxF "$library" <<<"$names" || fail "Depends lacks $library: $depends"
done

dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents"
for path in ./usr/bin/tablory ./usr/bin/tablory-sql \
  ./usr/share/applications/tablory.desktop \
  ./usr/share/icons/hicolor/256x256/apps/tablory.png \
  ./usr/share/man/man1/tablory.1.gz ./usr/share/man/man1/tablory-sql.1.gz \
  ./usr/share/doc/tablory/copyright ./usr/share/doc/tablory/changelog.gz \
  ./usr/share/tablory/odbcinst-tablory.ini; do
  grep -qx "$path" "$work/contents" || fail "missing $path"
done

dpkg-deb -x "$deb" "$work/root"
root="$work/root"
expect_eq "$("$root/usr/bin/tablory-sql" --version)" "tablory-sql $version" "tablory-sql --version"
desktop="$root/usr/share/applications/tablory.desktop"
grep -qx "Exec=tablory" "$desktop" || fail "desktop entry does not start tablory"
grep -qx "Icon=tablory" "$desktop" || fail "desktop entry names no tablory icon"
grep -qx "Type=Application" "$desktop" || fail "desktop entry is no application"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop" || fail "desktop entry invalid"; fi
icon="$root/usr/share/icons/hicolor/256x256/apps/tablory.png"
expect_eq "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" 89504e470d0a1a0a "icon's PNG signature"
manual="$(zcat "$root/usr/share/man/man1/tablory-sql.1.gz")"
for word in "Tablory $version" ".BI \"import " ".BI \"export " "CSV DIALECT" 'windows\-1252' ISO; do
  grep -qF -- "$word" <<<"$manual" || fail "tablory-sql(1) does not mention $word"
done
zcat "$root/usr/share/man/man1/tablory.1.gz" | grep -q "Tablory $version" || fail "tablory(1) version"
first="$(zcat "$root/usr/share/doc/tablory/changelog.gz" | head -1)"
expect_eq "$first" "tablory ($version) unstable; urgency=medium" "changelog's latest entry"
grep -q "Copyright" "$root/usr/share/doc/tablory/copyright" || fail "copyright file says no copyright"
# The ODBC driver's odbcinst entry names the library where the package puts it, and the
# package registers it when installed.
driver="$(sed -n 's/^Driver=//p' "$root/usr/share/tablory/odbcinst-tablory.ini")"
case "$driver" in
  /usr/*/odbc/libtablory-odbc.so) [ -f "$root$driver" ] || fail "odbcinst entry names $driver, not in the package" ;;
  *) fail "odbcinst entry names $driver, not a library under /usr" ;;
esac
dpkg-deb -I "$deb" postinst | grep -q "odbcinst -i -d" || fail "postinst does not register the ODBC driver"
# Everything the package installs belongs under /usr, owned by root.
dpkg-deb -c "$deb" | awk '$2 != "root/root" {print}' | grep . && fail "files not owned by root"
dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr' | grep -vx '\./' && fail "files outside /usr"

[ "$failures" -eq 0 ] && echo "package ok: $(basename "$deb")"
exit "$failures"
