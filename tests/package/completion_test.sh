#!/usr/bin/env bash
# Tab completion of lintaro-cli: each case is a command line as typed (the
# cursor at its end) and the words completion offers, sorted.
#
#   completion_test.sh COMPLETION_SCRIPT
set -uo pipefail
export LC_ALL=C
script=$(realpath "$1")
library=/usr/share/bash-completion/bash_completion
if [[ ! -r $library ]]; then
  echo "bash-completion is not installed; skipped"
  exit 77
fi
source "$library"
source "$script"

# A folder with a sub-folder and files to complete.
source "$(dirname "${BASH_SOURCE[0]}")/../support/script_checks.sh"
cd "$work"
mkdir subs
touch subs-2007.txt -- --odd.txt

# Splits the line as bash does before it calls a completion function: at
# blanks, and "=" on its own as a word break.
offered() {
  local line=$1
  local -a COMP_WORDS
  read -ra COMP_WORDS <<<"${line//=/ = }"
  [[ $line == *' ' || $line == *= ]] && COMP_WORDS+=("")
  local COMP_LINE=$line COMP_POINT=${#line} COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _lintaro_cli lintaro-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' '
}

while IFS='|' read -r line expected; do
  [[ -z $line ]] && continue
  got=$(offered "$line")
  if [[ $got != "$expected" ]]; then
    fail "'$line' offers '$got', expected '$expected'"
  fi
done <<'CASES'
lintaro-cli ch|check
lintaro-cli |batch check report serve show
lintaro-cli se|serve
lintaro-cli serve --t|--token-file
lintaro-cli serve --data su|subs
lintaro-cli --v|--version
lintaro-cli check --|--format --help --home --max-errors --quiet
lintaro-cli check --format |json text
lintaro-cli check --format=|json text
lintaro-cli report -f |csv html json text
lintaro-cli report --format=h|html
lintaro-cli batch --format |json text
lintaro-cli check su|subs subs-2007.txt
lintaro-cli check --home su|subs
lintaro-cli batch --results=su|subs
lintaro-cli check -q -- --o|--odd.txt
lintaro-cli report --output su|subs subs-2007.txt
lintaro-cli report |--employer --format --help --home --output -f -o
lintaro-cli show --|--help --home
lintaro-cli show 1|
lintaro-cli batch -j |
lintaro-cli --help |
CASES

if ((failures > 0)); then
  echo "$failures completion case(s) failed"
  exit 1
fi
echo "all completion cases passed"
