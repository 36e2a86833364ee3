#!/usr/bin/env bash
# scripts/check-layers: the source tree passes, and a copy of its src/ and
# tools/ with one line added fails for each kind of fault, naming the file;
# uses that only look like faults (a message, a comment) pass.
#
#   check_layers_test.sh SOURCE_DIR
set -uo pipefail
source_dir=$(realpath "$1")
check=$source_dir/scripts/check-layers
source "$(dirname "${BASH_SOURCE[0]}")/../support/script_checks.sh"

if ! out=$("$check" "$source_dir" 2>&1); then
  fail "the source tree itself is refused:"
  echo "$out"
fi

# Checks a copy of src/ and tools/ with line appended to FILE (in src/, or
# tools/... as named); refused: whether it must fail with a complaint naming
# that file and containing WORDS.
try() {
  local refused=$1 file=$2 line=$3 words=${4:-}
  [[ $file == tools/* ]] || file=src/$file
  rm -rf "$work/src" "$work/tools"
  cp -r "$source_dir/src" "$work/src"
  cp -r "$source_dir/tools" "$work/tools"
  mkdir -p "$(dirname "$work/$file")"
  printf '%s\n' "$line" >>"$work/$file"
  local out status=0
  out=$("$check" "$work" 2>&1) || status=$?
  if [[ $refused == yes ]]; then
    [[ $status -ne 0 ]] || fail "$file with '$line' passes"
    [[ $out == *"$file:"*"$words"* ]] || fail "$file with '$line': no '$words' in: $out"
  else
    [[ $status -eq 0 ]] || fail "$file with '$line' is refused: $out"
  fi
}

# Includes against the order: upwards, beside (same level), unknown folders.
try yes core/framer.cc '#include "run/check_run.h"' "may not include run/check_run.h"
try yes store/rows.cc '#include "platform/platform.h"' "may not include platform/platform.h"
try yes os/folder_lock.cc '#include "platform/platform.h"' "may not include platform/platform.h"
try yes platform/platform.cc '#include "core/run_state.h"' "may not include core/run_state.h"
try no core/framer.cc '#include "os/replacing_file.h"'
try no core/framer.cc '#include "platform/yielder.h"'
try yes checks/field_checks.cc '#include "records/record_checkers.h"' "may not include"
try yes browse/commands.cc '#include "reports/outcome.h"' "may not include reports/outcome.h"
try yes reports/outcome.cc '#include "browse/commands.h"' "may not include browse/commands.h"
try yes cli/main.cc '#include "ui/app.h"' "may not include ui/app.h"
try yes extra/thing.cc '#include "platform/platform.h"' "has no place"
try yes core/framer.cc '#include "../run/check_run.h"' "without"
try yes run/check_run.cc '#include "core/../run/record_driver.h"' "without"
try yes core/framer.cc '#include "extra/thing.h"' "has no place in the order"
# tools/ above everything: nothing includes it, it reaches only src/ and
# the tests' builders, and it holds no SQLite or SQL.
tour=tools/screenshot_tour/main.cc
try yes ui/app.cc '#include "tools/screenshot_tour/screenshot_tour.h"' "nothing includes tools/"
try yes cli/main.cc '#include "tools/thing.h"' "nothing includes tools/"
try yes $tour '#include "../src/ui/app.h"' "without"
try yes $tour '#include "golden/golden_test.h"' "src/ folders and support/ only"
try yes $tour 'int Changes(sqlite3* db) { return sqlite3_changes(db); }' "SQLite"
try yes $tour 'const char* kClear = "DELETE FROM ERRORS";' "SQL text"
try no $tour $'#include <QWidget>\n#include "cli/cli_options.h"\n#include "support/fakes.h"'
try no tools/other/thing.cc '#include "tools/screenshot_tour/screenshot_tour.h"'
# The floor program alone is SQLite by design; the generator beside it is not.
try no tools/floor_check.cc 'const char* kMore = "DELETE FROM records";'
try yes tools/gen_submission.cc 'const char* kMore = "DELETE FROM records";' "SQL text"
# Qt, SQLite and SQL text where they do not belong.
try yes platform/platform.cc '#include <QString>' "only src/ui includes Qt"
try yes ui/app.cc '#include <QSqlQuery>' "Qt SQL classes"
try yes browse/commands.cc 'int Changes(sqlite3* db) { return sqlite3_changes(db); }' "SQLite"
try yes ui/app.cc 'const char* kLast = "SELECT Path FROM MISC ORDER BY Data_Id DESC";' "SQL text"
try yes cli/main.cc 'const char* kOf = "Select Errors.Reference, Errors.Error From Errors Where "' \
  "SQL text"
try yes reports/outcome.cc 'const char* kOf = "select Error from Errors where Rec_Num = ?";' \
  "SQL text"
try yes run/check_run.cc 'const char* kClear = "DELETE FROM ERRORS";' "SQL text"
try yes core/framer.cc 'const char* kBump = "update RECORDS set Errors = 0";' "SQL text"
try yes browse/commands.cc 'const char* kCount = "SELECT COUNT(*) FROM ERRORS";' "SQL text"
# Split over literals, on one line or several.
try yes reports/outcome.cc 'const char* kOf = "select Error " "from Errors";' "SQL text"
try yes ui/app.cc $'const char* kOf = "insert "\n    "into MISC (Path) VALUES (?)";' "SQL text"
# Allowed: the store folder, and words that only resemble SQL.
try no store/rows.cc $'const char* kOf = "select Error "\n    "from Errors";'
try no cli/main.cc $'const char* kA = "select a file";\nint x = 1;\nconst char* kB = "from here";'
try no ui/app.cc 'const char* kTitle = "Select Print Font";  // sqlite3 QSqlQuery'
try no cli/main.cc 'const char* kWhy = "cannot create the results folder from here";'
try no core/framer.cc 'const char kQuote = '"'"'"'"'"';  // a "SELECT x FROM y" in a comment'

if [[ $failures -ne 0 ]]; then
  echo "$failures case(s) failed"
  exit 1
fi
echo "scripts/check-layers: every case as expected"
