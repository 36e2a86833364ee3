# What the test scripts share; each sources it after its own arguments and
# skips: a scratch folder $work, removed when the script exits, and
# fail TEXT, which prints "FAIL: TEXT" and counts it in $failures.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
