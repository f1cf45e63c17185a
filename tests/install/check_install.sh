#!/usr/bin/env bash
# Installs the build into a staging folder as the package does (prefix /usr)
# and checks what lands there: every file, the metadata validators, the
# manual pages and the installed programs' versions.
# usage: check_install.sh BUILD_DIR VERSION GUI(ON|OFF)
set -euo pipefail
build=$1 version=$2 gui=$3
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null

failed=0
fail() { echo "FAIL: $*"; failed=1; }
usr=$stage/usr
id=org.example.librovista
expected=(
  bin/librovista-cli bin/librovista-rdsim
  share/man/man1/librovista-cli.1.gz share/man/man1/librovista-rdsim.1.gz
  share/doc/librovista/ReadMe.txt share/doc/librovista/README.md
  share/doc/librovista/copyright share/doc/librovista/changelog.gz
)
if [ "$gui" = ON ]; then
  expected+=(
    bin/librovista share/man/man1/librovista.1.gz
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml
    share/icons/hicolor/scalable/apps/librovista.svg
  )
fi
for f in "${expected[@]}"; do [ -f "$usr/$f" ] || fail "not installed: /usr/$f"; done
# Nothing outside /usr, nothing unexpected inside it.
others=$(cd "$stage" && find . -type f | sed 's|^\./usr/||' | sort)
unexpected=$(comm -23 <(echo "$others") <(printf '%s\n' "${expected[@]}" | sort))
[ -z "$unexpected" ] || fail "unexpected files installed: $unexpected"
for f in bin/librovista-cli bin/librovista-rdsim bin/librovista; do
  [ -e "$usr/$f" ] || continue
  [ -x "$usr/$f" ] || fail "/usr/$f is not executable"
done

# Every editor must recognise the read-me's encoding.
[ "$(head -c 3 "$usr/share/doc/librovista/ReadMe.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
  fail "ReadMe.txt does not start with a UTF-8 byte-order mark"

for p in librovista-cli librovista-rdsim; do
  out=$(LIBROVISTA_HOME="$stage/home" "$usr/bin/$p" --version) || fail "$p --version exits $?"
  [ "$(head -n 1 <<<"$out")" = "$p $version" ] || fail "$p --version says: $out"
done
if [ "$gui" = ON ]; then
  out=$(LIBROVISTA_HOME="$stage/home" "$usr/bin/librovista" --version) || fail "librovista --version exits $?"
  [ "$out" = "librovista $version
program folder: $stage/home/" ] || fail "librovista --version says: $out"

  desktop=$usr/share/applications/$id.desktop
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
  appstreamcli validate --no-net --pedantic "$usr/share/metainfo/$id.metainfo.xml" >"$stage/as.log" 2>&1 ||
    { cat "$stage/as.log"; fail "appstreamcli validate"; }
  # The entry starts an installed program and shows an installed icon.
  exec_line=$(sed -n 's/^Exec=//p' "$desktop")
  [ -x "$usr/bin/${exec_line%% *}" ] || fail "Exec=$exec_line is not an installed program"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon is not installed"
  grep -q '^Name\[ja\]=' "$desktop" && grep -q '^Comment\[ja\]=' "$desktop" || fail "no Japanese name or comment"
fi

for page in "$usr"/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
exit $failed
