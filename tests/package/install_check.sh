#!/usr/bin/env bash
# Installs a build into a scratch root and checks what a desktop finds there:
# the programs, the guide where Help looks, the menu entry and AppStream data
# (both validators), the icon in every size under the name the entry uses,
# the file types with their icons, and manual pages that format cleanly and
# name every option the command-line program knows.
#   install_check.sh BUILD_DIR
set -euo pipefail
build="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
usr="$root/usr"

for f in bin/quillon-repair bin/quillon-cli share/doc/quillon-repair/user-guide.html \
         share/doc/quillon-repair/copyright share/doc/quillon-repair/changelog.gz \
         share/man/man1/quillon-cli.1.gz share/man/man1/quillon-repair.1.gz \
         share/mime/packages/quillon-repair.xml; do
  [ -f "$usr/$f" ] || fail "$f is not installed"
done

desktop=("$usr"/share/applications/*.desktop)
[ ${#desktop[@]} -eq 1 ] && [ -f "${desktop[0]}" ] || fail "not one desktop entry: ${desktop[*]}"
desktop-file-validate "${desktop[0]}" || fail "desktop-file-validate"
metainfo=("$usr"/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "${metainfo[0]}" >/dev/null || fail "appstreamcli validate"
grep -q "<launchable type=\"desktop-id\">$(basename "${desktop[0]}")</launchable>" "${metainfo[0]}" ||
  fail "the AppStream data does not launch $(basename "${desktop[0]}")"

key() { sed -n "s/^$1=//p" "${desktop[0]}"; }
[ -x "$usr/bin/$(key Exec)" ] || fail "Exec=$(key Exec) is not an installed program"
icon="$(key Icon)"
[ -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
for size in 16 22 24 32 48 64 128 256; do
  png="$usr/share/icons/hicolor/${size}x${size}/apps/$icon.png"
  if [ ! -f "$png" ]; then fail "no ${size}px icon"; continue; fi
  # Width and height from the PNG header.
  read -r w h < <(od -An -j16 -N8 -tu1 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "the ${size}px icon is ${w}x${h}"
done

# The file types as the shared MIME database makes them.
update-mime-database "$usr/share/mime" >/dev/null 2>&1 || fail "update-mime-database"
for type in "application/x-ntbackup:*.bkf" "application/x-quillon-snapshot:*.QUILLONMOSSEL"; do
  mime="${type%%:*}" glob="${type#*:}"
  grep -qiF ":$mime:$glob" "$usr/share/mime/globs2" || fail "$glob is not $mime"
  name="$(grep "^$mime:" "$usr/share/mime/icons" | cut -d: -f2-)"
  [ -f "$usr/share/icons/hicolor/scalable/mimetypes/$name.svg" ] || fail "no icon '$name' for $mime"
done

for page in quillon-cli quillon-repair; do
  warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
    "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null || true)"
  [ -z "$warnings" ] || fail "$page.1: $warnings"
done
manual="$(zcat "$usr/share/man/man1/quillon-cli.1.gz")"
for option in $("$usr/bin/quillon-cli" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  grep -qF -- "${option//-/\\-}" <<<"$manual" || fail "quillon-cli.1 does not describe $option"
done

[ "$failures" -eq 0 ] || exit 1
echo "install check passed"
