#!/usr/bin/env bash
# Builds the Debian package from the build tree into a temporary folder,
# unpacks it with dpkg -x and checks what an installation gets: every file
# where the desktop and the programs look for it, nothing else, run-time
# dependencies on the Qt libraries, and a wmbtool that finds the installed
# tile set when started from any folder. lintian must find nothing to warn
# of, the manual pages must render and list every command, the AppStream
# entry and the desktop entry must validate, and the bash completion must
# complete commands, level numbers and files by their extension.
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
[ "$(dpkg-deb -f "$deb" Section)" = editors ] || fail "section is not editors"

# Errors and warnings fail; information and pedantic tags do not.
lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 ||
  { cat "$work/lintian.log" >&2; fail "lintian reports errors or warnings"; }

root=$work/root
dpkg -x "$deb" "$root"
expected=$( {
  printf '%s\n' usr/bin/wmbeditor usr/bin/wmbtool usr/share/applications/wmbeditor.desktop \
    usr/share/icons/hicolor/32x32/apps/wmbeditor.png usr/share/doc/wmbeditor/copyright \
    usr/share/doc/wmbeditor/changelog.gz usr/share/man/man1/wmbeditor.1.gz usr/share/man/man1/wmbtool.1.gz \
    usr/share/metainfo/org.example.wmbeditor.metainfo.xml usr/share/bash-completion/completions/wmbtool
  for i in $(seq 0 255); do printf 'usr/share/wmbeditor/graph/%X.bmp\n' "$i"; done
  echo usr/share/wmbeditor/graph/names.txt
} | sort)
actual=$(cd "$root" && find . -type f | sed 's|^\./||' | sort)
[ "$actual" = "$expected" ] || fail "files differ from the expected set:
$(diff <(echo "$expected") <(echo "$actual") || true)"
[ -x "$root/usr/bin/wmbeditor" ] && [ -x "$root/usr/bin/wmbtool" ] || fail "programs not executable"

desktop=$root/usr/share/applications/wmbeditor.desktop
for line in 'Exec=wmbeditor %f' 'Icon=wmbeditor' 'MimeType=application/x-nes-rom;' 'Type=Application'; do
  grep -qxF "$line" "$desktop" || fail "the desktop entry lacks '$line'"
done

desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 && [ ! -s "$work/desktop.log" ] ||
  { cat "$work/desktop.log" >&2; fail "desktop-file-validate reports issues"; }
appstreamcli validate --pedantic --no-net "$root"/usr/share/metainfo/*.metainfo.xml >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log" >&2; fail "appstreamcli reports issues"; }

# Both manual pages render without a warning; wmbtool(1) names every command
# of `wmbtool --help` with its usage, and that help agrees with `help COMMAND`.
for page in wmbeditor wmbtool; do
  MANWIDTH=200 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" >"$work/$page.txt" 2>"$work/man.log" &&
    [ ! -s "$work/man.log" ] || { cat "$work/man.log" >&2; fail "$page(1) does not render cleanly"; }
done
usages=$("$root/usr/bin/wmbtool" --help | sed -n 's/^  \([a-z].*\)$/\1/p')
[ -n "$usages" ] || fail "wmbtool --help lists no commands"
while read -r usage; do
  grep -qF "wmbtool $usage" "$work/wmbtool.txt" || fail "wmbtool(1) lacks 'wmbtool $usage'"
  command=${usage%% *}
  [ "$("$root/usr/bin/wmbtool" help "$command")" = "$("$root/usr/bin/wmbtool" "$command" --help)" ] ||
    fail "wmbtool help $command differs from wmbtool $command --help"
done <<<"$usages"

# The completion, as bash runs it for the words typed so far (a trailing
# blank: a new word).
mkdir -p "$work/files/tiles"
touch "$work/files/a.nes" "$work/files/b.level" "$work/files/c.png" "$work/files/d.ips"
completions() {
  (cd "$work/files" && bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _wmbtool; printf "%s\n" "${COMPREPLY[@]}"' - "$root/usr/share/bash-completion/completions/wmbtool" \
    "$root/usr/bin/wmbtool" "$@" | sort | tr '\n' ' ')
}
while IFS='|' read -r words expected; do
  read -ra typed <<<"$words"
  [ "$words" = "${words% }" ] || typed+=("")
  actual=$(completions "${typed[@]}")
  [ "$actual" = "$expected" ] || fail "completing '$words': got '$actual', expected '$expected'"
done <<EOF
di|diff 
 |$(printf '%s\n' $(sed 's/ .*//' <<<"$usages") --help --version | sort | tr '\n' ' ')
list |a.nes tiles 
list a.nes --tiles 3|3 30 31 32 
list a.nes --t|--tiles 
export a.nes 3|3 30 31 32 
export a.nes 3 |b.level tiles 
render a.nes --all |c.png tiles 
render a.nes 1 x.png --tiles |tiles 
render a.nes 1 x.png --g|--grid 
ips a.nes a.nes |d.ips tiles 
help ex|export 
EOF

# Started from an empty folder, the installed wmbtool draws with the installed
# tile set exactly what the build tree's wmbtool draws.
mkdir "$work/elsewhere"
(cd "$work/elsewhere" && "$root/usr/bin/wmbtool" render "$demo" 1 installed.png) ||
  fail "the installed wmbtool could not render"
"$build/bin/wmbtool" render "$demo" 1 "$work/built.png"
cmp -s "$work/elsewhere/installed.png" "$work/built.png" || fail "the installed wmbtool drew another picture"
echo "package_test: $(basename "$deb") checked"
