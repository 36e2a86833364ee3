#!/usr/bin/env bash
# Builds the Debian packages from the build folder with cpack and checks what
# each holds: exactly the files its users need, stripped programs, the
# project version, and its dependencies: lintaro-cli only the packages of
# the libraries ldd shows it loads (no Qt), lintaro Qt and lintaro-cli of the
# same version. Prints the contents and the packages' sizes.
#
#   deb_contents_test.sh BUILD_DIR VERSION WITH_WINDOW(ON|OFF)
set -euo pipefail
build=$(realpath "$1")
version=$2
window=$3
if ! command -v cpack >/dev/null; then
  echo "cpack is not installed; skipped"
  exit 77
fi
source "$(dirname "${BASH_SOURCE[0]}")/../support/script_checks.sh"

arch=$(dpkg --print-architecture)
(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"
  fail "cpack could not build the packages"
  exit 1
}
made=$(cd "$work" && ls ./*.deb | sed 's|^\./||' | sort | tr '\n' ' ')
wanted="lintaro-cli_${version}_${arch}.deb "
[[ $window == ON ]] && wanted="lintaro-cli_${version}_${arch}.deb lintaro_${version}_${arch}.deb "
[[ $made == "$wanted" ]] || fail "cpack made '$made', not '$wanted'"

cli_files=(
  usr/bin/lintaro-cli
  usr/lib/systemd/user/lintaro-serve.service
  usr/libexec/lintaro/lintaro-serve
  usr/share/bash-completion/completions/lintaro-cli
  usr/share/doc/lintaro-cli/LICENSE
  usr/share/doc/lintaro-cli/README.md
  usr/share/doc/lintaro-cli/changelog.gz
  usr/share/doc/lintaro-cli/copyright
  usr/share/lintaro/samples/clean.txt
  usr/share/lintaro/samples/mistakes.txt
  usr/share/lintian/overrides/lintaro-cli
  usr/share/man/man1/lintaro-cli.1.gz
  usr/share/man/man5/lintaro-formats.5.gz
)
desktop_files=(
  usr/bin/lintaro
  usr/share/applications/lintaro.desktop
  usr/share/doc/lintaro/changelog.gz
  usr/share/doc/lintaro/copyright
  usr/share/icons/hicolor/scalable/apps/lintaro.svg
  usr/share/lintaro/Lintaro.hlp
  usr/share/lintian/overrides/lintaro
  usr/share/man/man1/lintaro.1.gz
  usr/share/metainfo/example.lintaro.Lintaro.metainfo.xml
  usr/share/mime/packages/lintaro.xml
)

# check_package NAME FILE... : the package's files, fields and programs.
check_package() {
  local name=$1
  shift
  local deb=$work/${name}_${version}_${arch}.deb
  [[ -f $deb ]] || return 0
  local actual wanted
  actual=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort)
  wanted=$(printf '%s\n' "$@" | sort)
  if [[ $actual != "$wanted" ]]; then
    fail "$name holds other files than expected:"
    diff <(echo "$wanted") <(echo "$actual") | sed 's/^/  /' || true
  fi
  local field
  for field in Package Version Architecture Maintainer Description Depends; do
    [[ -n $(dpkg-deb -f "$deb" $field) ]] || fail "$name has no $field"
  done
  [[ $(dpkg-deb -f "$deb" Package) == "$name" ]] || fail "$name: Package is wrong"
  [[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "$name: Version is not $version"
  [[ $(dpkg-deb -f "$deb" Architecture) == "$arch" ]] || fail "$name: Architecture is wrong"
  dpkg-deb -x "$deb" "$work/root-$name"
  for program in "$work/root-$name"/usr/bin/* "$work/root-$name"/usr/libexec/lintaro/*; do
    [[ -e $program ]] || continue
    sections=$(readelf -S -W "$program")
    for section in .symtab .comment; do
      [[ $sections != *" $section "* ]] || fail "$(basename "$program") keeps $section"
    done
  done
  dpkg-deb -c "$deb"
  echo "$name: $(stat -c %s "$deb") bytes, installed size" \
    "$(dpkg-deb -f "$deb" Installed-Size) KiB, Depends: $(dpkg-deb -f "$deb" Depends)"
}

# The names of the packages a Depends field lists.
depends_names() { dpkg-deb -f "$1" Depends | tr ',' '\n' | sed 's/^ *//; s/[ (].*//' | sed '/^$/d' | sort -u; }

check_package lintaro-cli "${cli_files[@]}"
cli_deb=$work/lintaro-cli_${version}_${arch}.deb
# lintaro-cli needs the packages of the libraries its two programs name
# themselves (what ldd shows they load directly; those bring their own), and
# no other.
loaded=$(for program in lintaro-cli lintaro-serve; do
  needed=$(readelf -d "$build/$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  ldd "$build/$program" | awk -v needed="$needed" '
    BEGIN { n = split(needed, names, "\n"); for (i = 1; i <= n; i++) want[names[i]] = 1 }
    $1 in want && $3 ~ /^\// { print $3 }'
done | sort -u)
owners=$(for lib in $loaded; do
  dpkg -S "$lib" 2>/dev/null || dpkg -S "$(realpath "$lib")" 2>/dev/null || echo "unowned: $lib"
done | sed 's/:.*//' | sort -u)
[[ $(depends_names "$cli_deb") == "$owners" ]] ||
  fail "lintaro-cli depends on '$(depends_names "$cli_deb" | tr '\n' ' ')', ldd shows '$(echo $owners)'"
[[ $(dpkg-deb -f "$cli_deb" Depends) != *qt* ]] || fail "lintaro-cli depends on Qt"
# The service's unit starts the packaged program.
unit=$(dpkg-deb --fsys-tarfile "$cli_deb" | tar -xO ./usr/lib/systemd/user/lintaro-serve.service)
grep -qx 'ExecStart=/usr/bin/lintaro-cli serve' <<<"$unit" ||
  fail "lintaro-serve.service does not start /usr/bin/lintaro-cli serve: $(grep ExecStart <<<"$unit")"
# Stopped, lintaro-cli serve takes up to 70 s: 60 s for a paused upload (the
# read timeout, src/serve/http_service.cc), then 10 s for running checks
# (kGraceMs, src/cli/serve_command.cc). systemd must not kill it before.
stop_seconds=$(sed -n 's/^TimeoutStopSec=\([0-9]*\)s\{0,1\}$/\1/p' <<<"$unit")
[[ -n $stop_seconds ]] && ((stop_seconds > 70)) ||
  fail "lintaro-serve.service kills the service before it can stop: $(grep TimeoutStopSec <<<"$unit")"

if [[ $window == ON ]]; then
  check_package lintaro "${desktop_files[@]}"
  desktop_deb=$work/lintaro_${version}_${arch}.deb
  depends=$(dpkg-deb -f "$desktop_deb" Depends)
  [[ $depends == *"lintaro-cli (= $version)"* ]] ||
    fail "lintaro does not depend on lintaro-cli (= $version): $depends"
  [[ $depends == *libqt6widgets6* ]] || fail "lintaro does not depend on Qt: $depends"
  [[ $(dpkg-deb -f "$desktop_deb" Recommends) == *xdg-utils* ]] ||
    fail "lintaro does not recommend xdg-utils"
fi
((failures == 0))
