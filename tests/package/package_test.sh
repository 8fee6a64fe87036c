#!/usr/bin/env bash
# Builds the Debian package, installs it into this machine with dpkg -i, checks
# the installed programs (versions, manual page, the editor with only LANG set
# in both text modes), removes it with dpkg -r and checks that nothing of it is
# left. On every way out the package is removed again.
#   package_test.sh SOURCE_DIR WORK_DIR GUI_TEST XVFB_RUN
set -euo pipefail
src=$1 work=$2 gui_test=$3 xvfb_run=$4
names=(ko ko_KR.EUC korean ko_KR.UTF-8 ko.UTF-8)

fail() { echo "package_install: $*" >&2; exit 1; }
if [ "$(id -u)" -ne 0 ]; then
  echo "package_install: skipped: installing the package needs root"
  exit 77
fi
status() { dpkg-query -W -f='${db:Status-Status}' glosset 2>/dev/null || echo not-installed; }

# dpkg waits for no lock of its own; other work on the machine may hold it.
dpkg_retry() {
  local i
  for i in $(seq 120); do
    dpkg "$@" >"$work/dpkg.log" 2>&1 && return 0
    grep -q 'lock' "$work/dpkg.log" || { cat "$work/dpkg.log" >&2; return 1; }
    sleep 5
  done
  return 1
}
locales_known() {
  local n
  for n in "${names[@]}"; do [ -n "$(LC_ALL=$n locale charmap 2>&1 >/dev/null)" ] || echo "$n"; done
}

mkdir -p "$work"
deb=$(timeout 780 "$src/scripts/package.sh" "$work" | tail -n 1) || fail "the package did not build"
version=$(dpkg-deb -f "$deb" Version)
echo "package_install: $deb ($(stat -c %s "$deb") bytes)"

# A clean build machine has no locale generated: built once more in a mount
# namespace whose /usr/lib/locale is empty (not even C.UTF-8), the package
# holds the same files.
contents() { dpkg-deb -c "$1" | awk '{print $1, $6}' | sort; }
clean_deb=$(unshare -m --propagation private bash -euc '
  mount -t tmpfs tmpfs /usr/lib/locale
  [ -z "$(locale -a 2>/dev/null | grep -v -x -e C -e POSIX)" ]
  timeout 780 "$1/scripts/package.sh" "$2" | tail -n 1
' _ "$src" "$work/no-locales") || fail "the package did not build without generated locales"
diff <(contents "$deb") <(contents "$clean_deb") >&2 || fail "built without locales, the package holds other files"
echo "package_install: built without locales too, with the same $(contents "$deb" | wc -l) entries"

# The maintainer scripts on a private copy of the locale archive without the
# Korean names, in a mount namespace of their own: the postinst makes the five
# names, makes them again after a locale-gen dropped them, and the prerm takes
# back exactly what it made.
rm -rf "$work/control" && dpkg-deb -e "$deb" "$work/control"
unshare -m --propagation private bash -euc '
  ctl=$1; shift
  cp -a /usr/lib/locale "$ctl/locale" && mount --bind "$ctl/locale" /usr/lib/locale
  mkdir "$ctl/var-lib" && mount --bind "$ctl/var-lib" /var/lib
  drop() { local k; k=$(localedef --list-archive | grep -E "^ko" || true); [ -z "$k" ] || localedef --delete-from-archive $k; }
  known() { local n; for n in "$@"; do [ -z "$(LC_ALL=$n locale charmap 2>&1 >/dev/null)" ] || return 1; done; }
  drop
  before=$(localedef --list-archive)
  if known "$@"; then exit 1; fi
  "$ctl/postinst" configure
  known "$@"
  drop
  "$ctl/postinst" triggered /usr/share/i18n/locales
  known "$@"
  "$ctl/prerm" remove
  [ "$(localedef --list-archive)" = "$before" ]
  [ ! -e /var/lib/glosset ]
' _ "$work/control" "${names[@]}" || fail "the maintainer scripts do not make and take back the Korean locales"

# Two runs on one machine would install and remove the same package.
exec 9>/run/lock/glosset-package-test
flock -w 600 9 || fail "another run of this test holds /run/lock/glosset-package-test"
[ "$(status)" = not-installed ] || fail "glosset is installed already; remove it before this test"

# What the package holds: none of its files may be here before it, and the
# directories it brings must go with it.
files=() new_dirs=()
while read -r type path; do
  if [ "$type" != d ]; then
    files+=("$path")
    [ ! -e "$path" ] || fail "$path exists already (from cmake --install?); remove it before this test"
  elif [ ! -e "$path" ]; then
    new_dirs+=("$path")
  fi
done < <(dpkg-deb -c "$deb" | awk '{p = substr($6, 2); sub(/\/$/, "", p); if (p != "") print substr($1, 1, 1), p}')
locales_before=$(locales_known)

trap '[ "$(status)" = not-installed ] || dpkg_retry --purge glosset' EXIT
trap 'exit 1' INT TERM
dpkg_retry -i "$deb" || fail "dpkg -i failed"

[ "$(locales_known | tr '\n' ' ')" = "${names[*]} " ] || fail "the postinst left locales unknown"
for n in "${names[@]}"; do
  for f in "/usr/xfront/lib/locale/$n/LC_MESSAGES/glosset.cat" "/usr/dt/app-defaults/$n/Glosset"; do
    [ -f "$f" ] || fail "$f is missing"
  done
done
for f in /usr/lib/inpd/ko/syshjd /usr/bin/../share/glosset/help/Glosset.hv /usr/share/applications/glosset.desktop \
         /usr/share/icons/hicolor/48x48/apps/glosset.png /usr/share/icons/hicolor/scalable/apps/glosset.svg \
         /usr/share/man/man1/glosset.1.gz /usr/share/man/man1/glosset-dict.1.gz \
         /usr/share/doc/glosset/copyright /usr/share/doc/glosset/changelog.gz; do
  [ -f "$f" ] || fail "$f is missing"
done

# No display and no environment: the version options need neither.
for cmd in "glosset -version" "glosset --version" "glosset-dict --version"; do
  out=$(env -i /usr/bin/$cmd) || fail "$cmd failed"
  [ "$out" = "${cmd%% *} $version" ] || fail "$cmd printed '$out', the package is $version"
done
[ -n "$(env -i HOME=/nonexistent /usr/bin/glosset-dict -s get 한자)" ] || fail "glosset-dict finds no system dictionary"

# Every option and command line of --help starts a line of the manual page.
man_text=$(MANWIDTH=300 LC_ALL=C.UTF-8 man -P cat glosset-dict | sed 's/^ *//' | tr -s ' ')
while IFS= read -r synopsis; do
  awk -v s="$synopsis" 'index($0, s) == 1 { found = 1 } END { exit !found }' <<<"$man_text" ||
    fail "man glosset-dict lacks '$synopsis' of --help"
done < <(/usr/bin/glosset-dict --help | sed -n -E 's/^usage: //p; s/^  ([^ ].*[^ ]) {2,}.*/\1/p; s/^  ([^ ]+ \[.*)$/\1/p')

# Like the other end-to-end tests, one more try on a loaded machine.
installed=(--gtest_filter='*Installed*')
timeout 300 "$xvfb_run" "$gui_test" "${installed[@]}" || timeout 300 "$xvfb_run" "$gui_test" "${installed[@]}" ||
  fail "the installed editor failed (above)"

dpkg_retry -r glosset || fail "dpkg -r failed"
[ "$(status)" = not-installed ] || fail "glosset is '$(status)' after dpkg -r"
for p in "${files[@]}" "${new_dirs[@]}"; do
  [ ! -e "$p" ] || fail "$p is left after dpkg -r"
done
[ ! -e /var/lib/glosset ] || fail "/var/lib/glosset is left after dpkg -r"
[ "$(locales_known)" = "$locales_before" ] || fail "the locales known differ from those before the package"
echo "package_install: installed, ran and removed cleanly"
