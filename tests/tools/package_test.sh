#!/usr/bin/env bash
# Builds the Debian package from the build tree into a temporary folder,
# unpacks it with dpkg -x and checks what an installation gets: every file
# where the desktop and the programs look for it, nothing else, run-time
# dependencies on the Qt libraries, and a wmbtool that finds the installed
# tile set when started from any folder.
# Usage: package_test.sh BUILD_DIR DEMO_ROM
set -euo pipefail
build=$1
demo=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package_test: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/out/wmbeditor_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single wmbeditor_*.deb in $(ls "$work/out")"
deb=${debs[0]}

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins; do
  grep -Eq "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
dpkg-deb -I "$deb" >/dev/null

root=$work/root
dpkg -x "$deb" "$root"
expected=$( {
  printf '%s\n' usr/bin/wmbeditor usr/bin/wmbtool usr/share/applications/wmbeditor.desktop \
    usr/share/icons/hicolor/32x32/apps/wmbeditor.png
  for i in $(seq 0 255); do printf 'usr/share/wmbeditor/graph/%X.bmp\n' "$i"; done
} | sort)
actual=$(cd "$root" && find . -type f | sed 's|^\./||' | sort)
[ "$actual" = "$expected" ] || fail "files differ from the expected set:
$(diff <(echo "$expected") <(echo "$actual") || true)"
[ -x "$root/usr/bin/wmbeditor" ] && [ -x "$root/usr/bin/wmbtool" ] || fail "programs not executable"

desktop=$root/usr/share/applications/wmbeditor.desktop
for line in 'Exec=wmbeditor %f' 'Icon=wmbeditor' 'MimeType=application/x-nes-rom;' 'Type=Application'; do
  grep -qxF "$line" "$desktop" || fail "the desktop entry lacks '$line'"
done

# Started from an empty folder, the installed wmbtool draws with the installed
# tile set exactly what the build tree's wmbtool draws.
mkdir "$work/elsewhere"
(cd "$work/elsewhere" && "$root/usr/bin/wmbtool" render "$demo" 1 installed.png) ||
  fail "the installed wmbtool could not render"
"$build/bin/wmbtool" render "$demo" 1 "$work/built.png"
cmp -s "$work/elsewhere/installed.png" "$work/built.png" || fail "the installed wmbtool drew another picture"
echo "package_test: $(basename "$deb") checked"
