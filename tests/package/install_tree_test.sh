#!/usr/bin/env bash
# Installs the build into a user-owned prefix with `cmake --install`, as a
# user without root does, and checks the installed copy: manual pages that
# man reads without a warning, valid desktop entry and AppStream metainfo,
# and the desktop program answering --help with no display and keeping its
# results in the per-user data folder, never in its writable bin/.
#
#   install_tree_test.sh BUILD_DIR SOURCE_DIR VERSION WITH_WINDOW(ON|OFF)
set -euo pipefail
build=$(realpath "$1")
source_dir=$(realpath "$2")
version=$3
window=$4
source "$(dirname "${BASH_SOURCE[0]}")/../support/script_checks.sh"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
  { cat "$work/install.log"; exit 1; }

"$prefix/bin/lintaro-cli" --help >/dev/null || fail "installed lintaro-cli --help failed"
out=$("$prefix/bin/lintaro-cli" --version) || fail "installed lintaro-cli --version failed"
[[ $out == "lintaro-cli $version" ]] || fail "lintaro-cli --version printed '$out'"

# lintaro-cli serve runs the installed lintaro-serve, and only the service
# loads the HTTP library: every other command starts without it.
out=$("$prefix/bin/lintaro-cli" serve --help) || fail "installed lintaro-cli serve --help failed"
[[ $out == "Usage: lintaro-cli serve "* ]] || fail "lintaro-cli serve --help printed '${out%%$'\n'*}'"
readelf -d "$prefix/bin/lintaro-cli" | grep -q 'NEEDED.*httplib' &&
  fail "lintaro-cli loads the HTTP library itself"
readelf -d "$prefix/libexec/lintaro/lintaro-serve" | grep -q 'NEEDED.*httplib' ||
  fail "the installed lintaro-serve does not load the HTTP library"

# The installed checker keeps its results in the per-user data folder too,
# though its bin/ can be written.
XDG_DATA_HOME=$work/cli-data LINTARO_HOME='' "$prefix/bin/lintaro-cli" check \
  "$source_dir/samples/clean.txt" >"$work/cli.log" 2>&1 ||
  { fail "the installed lintaro-cli could not test a sample"; cat "$work/cli.log"; }
[[ -f $work/cli-data/Lintaro/ERRLOG2C.MDB ]] ||
  fail "lintaro-cli left no results in the per-user data folder"
leaked=$(ls "$prefix/bin" | grep -v -x -e lintaro -e lintaro-cli || true)
[[ -z $leaked ]] || fail "lintaro-cli wrote into bin/: $leaked"

# The command line's component alone (its package without the desktop's):
# an installed copy all the same, so its results go to the per-user folder.
cli_prefix=$work/cli-prefix
cmake --install "$build" --component cli --prefix "$cli_prefix" >"$work/install-cli.log" ||
  { cat "$work/install-cli.log"; exit 1; }
[[ ! -e $cli_prefix/bin/lintaro && ! -e $cli_prefix/share/applications ]] ||
  fail "the cli component installs the desktop program's files"
XDG_DATA_HOME=$work/cli-alone LINTARO_HOME='' "$cli_prefix/bin/lintaro-cli" check -q \
  "$cli_prefix/share/lintaro/samples/clean.txt" ||
  fail "lintaro-cli installed alone could not test its sample"
[[ -f $work/cli-alone/Lintaro/ERRLOG2C.MDB ]] ||
  fail "lintaro-cli installed alone left no results in the per-user data folder"
leaked=$(ls "$cli_prefix/bin" | grep -v -x -e lintaro-cli || true)
[[ -z $leaked ]] || fail "lintaro-cli installed alone wrote into bin/: $leaked"

# The sections an administrator looks for, in the order of man-pages(7).
cli_sections="NAME SYNOPSIS DESCRIPTION EXIT STATUS SERVING AN OFFICE ENVIRONMENT FILES EXAMPLES SEE ALSO"
sections_of() { zcat "$1" | sed -n 's/^\.SH "*\([^"]*\)"*$/\1/p' | tr '\n' ' ' | sed 's/ $//'; }
page=$prefix/share/man/man1/lintaro-cli.1.gz
if [[ -f $page ]]; then
  got=$(sections_of "$page")
  [[ $got == "$cli_sections" ]] ||
    fail "the sections of lintaro-cli(1) are '$got', not '$cli_sections'"
  for word in LINTARO_HOME XDG_DATA_HOME TERM batch.json lintaro.lock jq lintaro\\-formats; do
    zcat "$page" | grep -qF -- "$word" || fail "lintaro-cli(1) does not mention $word"
  done
fi
formats=$prefix/share/man/man5/lintaro-formats.5.gz
[[ -f $formats ]] || fail "no manual page $formats"

programs=(lintaro-cli)
[[ $window == ON ]] && programs+=(lintaro)
for program in "${programs[@]}" formats; do
  page=$prefix/share/man/man1/$program.1.gz
  [[ $program == formats ]] && page=$formats
  [[ -f $page ]] || { fail "no manual page $page"; continue; }
  if [[ $program != formats ]]; then
    zcat "$page" | grep -q "^\.TH ${program^^} \"1\" .* \"$program $version\"" ||
      fail "the page of $program does not carry version $version"
    zcat "$page" | grep -q "^$program \\\\- " || fail "the page of $program has no NAME line"
  fi
  if command -v man >/dev/null; then
    # What lintian runs on every page.
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
      man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null) || true
    [[ -z $warnings ]] || fail "man warns about the page of $program: $warnings"
  fi
done

if [[ $window == ON ]]; then
  # The MIME type of submission files: a database built from the installed
  # file knows it by its first bytes and by its name.
  if command -v update-mime-database >/dev/null; then
    update-mime-database "$prefix/share/mime" >"$work/mime.log" 2>&1 ||
      { fail "update-mime-database refuses the MIME type"; cat "$work/mime.log"; }
    grep -q 'application/x-lintaro-submission' "$prefix/share/mime/magic" 2>/dev/null ||
      fail "the MIME type has no magic"
    grep -q 'application/x-lintaro-submission:\*\.rca' "$prefix/share/mime/globs" 2>/dev/null ||
      fail "the MIME type has no file name pattern"
    grep -q 'MimeType=application/x-lintaro-submission;' \
      "$prefix/share/applications/lintaro.desktop" ||
      fail "the desktop entry does not claim the MIME type first"
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml >"$work/as.log" 2>&1 ||
      { fail "the AppStream metainfo is not valid"; cat "$work/as.log"; }
  fi
  if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$prefix/share/applications/lintaro.desktop" 2>&1) ||
      fail "the desktop entry is not valid: $out"
    [[ -z $out ]] || fail "desktop-file-validate: $out"
  fi

  # No display at all: help and version still answer.
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/lintaro" --version) ||
    fail "lintaro --version failed with no display"
  [[ $out == "lintaro $version" ]] || fail "lintaro --version printed '$out'"

  # The installed copy's bin/ can be written, yet results go to the
  # per-user data folder; --home still wins.
  mkdir -m 700 "$work/runtime"
  run() {
    XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen \
      LINTARO_HOME='' "$prefix/bin/lintaro" "$@" --run "$source_dir/samples/clean.txt" \
      >>"$work/run.log" 2>&1
  }
  run || fail "the installed lintaro could not test a sample"
  [[ -f $work/data/Lintaro/ERRLOG2C.MDB ]] || fail "no results in the per-user data folder"
  [[ -f $work/data/Lintaro/ErrSetLog.ini ]] || fail "no error limit in the per-user data folder"
  leaked=$(ls "$prefix/bin" | grep -v -x -e lintaro -e lintaro-cli || true)
  [[ -z $leaked ]] || fail "the run wrote into bin/: $leaked"
  mkdir "$work/home"
  run --home "$work/home" || fail "the installed lintaro --home could not test a sample"
  [[ -f $work/home/ERRLOG2C.MDB ]] || fail "--home did not receive the results"
  ((failures == 0)) || cat "$work/run.log"
fi
((failures == 0)) && echo "installed copy checked"
