#!/usr/bin/env bash
# Builds the Debian package from the build folder with cpack and checks what
# it holds: exactly the files a user needs, stripped programs, the project
# version and dependencies found by dpkg-shlibdeps. Prints the contents and
# the package's size.
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
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

arch=$(dpkg --print-architecture)
deb=$work/lintaro_${version}_${arch}.deb
(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"
  fail "cpack could not build the package"
  exit 1
}
[[ -f $deb ]] || { fail "no $(basename "$deb") was made"; ls "$work"; exit 1; }

expected=(
  usr/bin/lintaro-cli
  usr/lib/systemd/user/lintaro-serve.service
  usr/share/bash-completion/completions/lintaro-cli
  usr/share/doc/lintaro/LICENSE
  usr/share/doc/lintaro/README.md
  usr/share/doc/lintaro/changelog.gz
  usr/share/doc/lintaro/copyright
  usr/share/lintaro/Lintaro.hlp
  usr/share/lintian/overrides/lintaro
  usr/share/man/man1/lintaro-cli.1.gz
)
if [[ $window == ON ]]; then
  expected+=(
    usr/bin/lintaro
    usr/share/applications/lintaro.desktop
    usr/share/icons/hicolor/scalable/apps/lintaro.svg
    usr/share/man/man1/lintaro.1.gz
    usr/share/metainfo/example.lintaro.Lintaro.metainfo.xml
  )
fi
actual=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [[ $actual != "$wanted" ]]; then
  fail "the package holds other files than expected:"
  diff <(echo "$wanted") <(echo "$actual") | sed 's/^/  /' || true
fi

# The service's unit starts the packaged program.
unit=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/systemd/user/lintaro-serve.service)
grep -qx 'ExecStart=/usr/bin/lintaro-cli serve' <<<"$unit" ||
  fail "lintaro-serve.service does not start /usr/bin/lintaro-cli serve: $(grep ExecStart <<<"$unit")"

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == lintaro ]] || fail "Package is '$(field Package)'"
[[ $(field Version) == "$version" ]] || fail "Version is '$(field Version)', not $version"
[[ $(field Architecture) == "$arch" ]] || fail "Architecture is '$(field Architecture)'"
[[ -n $(field Maintainer) ]] || fail "no Maintainer"
[[ -n $(field Description) ]] || fail "no Description"
needs=(libc6 libsqlite3-0 libstdc++6)
[[ $window == ON ]] && needs+=(libqt6widgets6)
for lib in "${needs[@]}"; do
  [[ $(field Depends) == *"$lib"* ]] || fail "Depends lacks $lib: $(field Depends)"
done

dpkg-deb -x "$deb" "$work/root"
for program in "$work"/root/usr/bin/*; do
  sections=$(readelf -S -W "$program")
  for section in .symtab .comment; do
    [[ $sections != *" $section "* ]] || fail "$(basename "$program") keeps $section"
  done
done

dpkg-deb -c "$deb"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes," \
  "installed size $(field Installed-Size) KiB"
((failures == 0))
