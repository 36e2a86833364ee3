// A submission's whole test run as the golden cases (tests/golden) hold it:
// the stored records and findings and the message boxes as a transcript,
// the text, HTML and printed reports, and every record as the viewer shows it.
#ifndef LINTARO_TESTS_SUPPORT_GOLDEN_RUN_H_
#define LINTARO_TESTS_SUPPORT_GOLDEN_RUN_H_

#include <map>
#include <string>

#include "support/recipe.h"

namespace lintaro::testing {

// What a run left, by the extension of the golden file that holds it:
// - ".expected": one line per stored record, "record NUMBER ID" with what is
//   stored with it (ref, employer, errors), the viewer's marks, the positions
//   stored otherwise than submitted and the recipe's note; after it its
//   findings, tab-separated: number, type, reference, user entry, message.
//   Last one line per message box: box, title, icon and buttons, text.
// - ".report", ".html": the text and HTML reports, CR LF written as a line
//   break and any other CR or LF as \r or \n; the HTML one also broken after
//   each ">". The files are named FOLDER/submission.txt (FOLDER/part1.txt,
//   ... for several).
// - ".printed": what the printed report draws on FakePrinter
//   (support/report_fakes.h): per page, each text with x and y in inches, its
//   size and "b" when bold, then the boxes.
// - ".viewer": each stored record: the viewer's caption, then a line per row.
using GoldenRun = std::map<std::string, std::string>;

// Tests the submission in a fresh program folder, as lintaro-cli check does,
// and reads back what the run left.
GoldenRun RunGolden(const Submission& submission);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_GOLDEN_RUN_H_
