#!/usr/bin/env bash
# The manual page writer (cmake/ManPage.cmake) on stand-in programs: one that
# prints the project version, one that does not answer --version (the page
# still gets the project version), and one that prints another version (the
# build must stop).
#
#   man_page_test.sh SOURCE_DIR
set -uo pipefail
source_dir=$(realpath "$1")
help2man=$(command -v help2man) || { echo "help2man is not installed; skipped"; exit 77; }
source "$(dirname "${BASH_SOURCE[0]}")/../support/script_checks.sh"
printf '[SEE ALSO]\n.BR lintaro (1)\n' >"$work/include.h2m"

# stand_in NAME VERSION_REPLY: a program whose --help prints a usage and whose
# --version prints VERSION_REPLY, or fails when it is empty.
stand_in() {
  cat >"$work/$1" <<SCRIPT
#!/bin/sh
case "\$1" in
  --help) printf 'Usage: $1 [--home DIR] FILE...\nChecks submissions.\n' ;;
  --version) [ -n "$2" ] && echo "$2" || { echo "$1: unknown command --version" >&2; exit 2; } ;;
esac
SCRIPT
  chmod +x "$work/$1"
}

while IFS='|' read -r name reply succeeds; do
  stand_in "$name" "$reply"
  cmake -DHELP2MAN="$help2man" -DGZIP="$(command -v gzip)" -DPROGRAM="$work/$name" \
    -DVERSION=1.1.0 "-DDESCRIPTION=check submissions" -DINCLUDE="$work/include.h2m" \
    -DOUTPUT="$work/$name.1.gz" -P "$source_dir/cmake/ManPage.cmake" >"$work/$name.log" 2>&1
  status=$?
  if [[ $succeeds == yes ]]; then
    if ((status != 0)); then
      fail "$name: no page was written"; cat "$work/$name.log"; continue
    fi
    page=$(zcat "$work/$name.1.gz")
    [[ $page == *"\"$name 1.1.0\""* && $page == *"$name \\- check submissions"* &&
       $page == *"SEE ALSO"* ]] || fail "$name: page lacks version, name or include"
  elif ((status == 0)) || ! grep -q "but the project version is 1.1.0" "$work/$name.log"; then
    fail "$name: a program printing another version must stop the build"
  fi
done <<'CASES'
answers|answers 1.1.0|yes
silent||yes
stale|stale 0.9.0|no
CASES
((failures == 0)) && echo "all manual page cases passed"
