// Submissions written as recipes: a few lines of text that the golden tests
// (tests/golden) turn into submission files. A recipe starts each record from
// a clean record of its type and places texts at positions:
//
//   == employer tax years          begins a submission (a file may hold several)
//   limit 3                        the run's error limit (500 unless given)
//   date 2008-12-01                today's date during the run (2026-12-06 unless given)
//   RCA                            a clean submitter record
//   RCE 4=2006 223=Q   # a note    positions 4-7 and 223 replaced; the note is kept
//   RCW 13=200000002 255=$1200.00  an amount in dollars, written as zero-filled cents
//       87="J Q"                   a line that starts with blanks adds to the record
//   RCT 26=$1200.00                the count is filled in; totals not given are blank
//   rcw                            any other identifier: the identifier and blanks
//   RCW length=1000                the record cut to 1,000 characters
//   raw "\x1a"                     bytes written as they are, after the line break
//   file                           the records after it are the next file
//
// Clean records pass every check of their type (support/clean_records.h);
// RCT, RCU and RCF state the number of RCW, RCO and RCW records before them
// (since the last RCE for RCT and RCU). Records end with CR LF.
//
// Texts, here and in the golden tests' expected files, are written with
// these escapes: \\ \" \t \r \n, \xHH for any byte, \s{N} for N blanks.
// A value in double quotes may hold blanks.
#ifndef LINTARO_TESTS_SUPPORT_RECIPE_H_
#define LINTARO_TESTS_SUPPORT_RECIPE_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace lintaro::testing {

struct RecipeRecord {
  std::string text;     // as written to the file
  std::string comment;  // the note after "#" on its line
};

struct Submission {
  std::string title;                  // the "==" line; empty for a recipe's only submission
  std::vector<std::string> files;     // the bytes of each file, in order
  std::vector<RecipeRecord> records;  // every record of every file, in order
  int max_errors = 500;
  Date today{2026, 12, 6};
};

// The submissions of a recipe. Throws std::invalid_argument naming the line
// of a mistake.
std::vector<Submission> ReadRecipe(std::string_view recipe);

// Texts in the escaped notation above: control characters, bytes from 127
// up and backslashes escaped; runs of eight or more blanks, and blanks at
// the end, written \s{N}.
std::string Escape(std::string_view bytes);
// Reverses Escape. Throws std::invalid_argument on a malformed escape.
std::string Unescape(std::string_view text);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_RECIPE_H_
