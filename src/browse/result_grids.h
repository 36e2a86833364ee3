// The result grids without their widgets: their captions and headings, the
// labels around them, and what "View Last Test Results" finds in the results
// database left by the last run. Their rows come from RecordGridRows
// (browse/record_grid.h) and GridResults (browse/grid_results.h).
#ifndef LINTARO_BROWSE_RESULT_GRIDS_H_
#define LINTARO_BROWSE_RESULT_GRIDS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/rows.h"

namespace lintaro {

// Grid captions and column headings.
inline constexpr const char* kRecordsGridCaption = "Record(s)";
inline constexpr const char* kErrorsGridCaption = "Lintaro Error(s) that Need to be Corrected";
inline constexpr const char* kRecordHeadings[3] = {"RecNum", "ErrCount", "Record Data"};
inline constexpr const char* kErrorHeadings[3] = {"Error Reference", "User Entry",
                                                  "Error Description"};
// Width of the record number and error count columns, at least; wider where
// the widest value each can hold needs it: record numbers up to 9,999,999,
// error counts up to the largest error limit (shown without separators).
inline constexpr int kNarrowColumnTwips = 800;
inline constexpr const char* kWidestValues[2] = {"9999999", "25000"};
// Height of the tested-records grid in the record view.
inline constexpr int kTestedGridTwips = 1510;

std::string TestedGridCaption(int64_t tested);  // K & " Record(s) Tested"

// Texts of the labels around the grids.
inline constexpr const char* kInitialRecordsLabel = "RECORDS";
inline constexpr const char* kInitialErrorsLabel = "ERRORS";
inline constexpr const char* kCritErrorLabel = "Lintaro Testing Stopped";
inline constexpr const char* kCritErrorNone = "None Found.";
inline constexpr const char* kCritErrorNotApplicable = "Not Applicable.";

std::string RecordsLabel(int64_t tested, int64_t with_errors);
// "Record Number " n " Error(s)" when the grid view opens; without
// " Error(s)" after the selected record changes.
std::string ErrorsLabelOnOpen(int64_t rec_num);
std::string ErrorsLabelOnRowChange(int64_t rec_num);

// The sentence shown under "Lintaro Testing Stopped" when the last finding
// is critical, or empty.
std::string CritErrorText(const std::optional<ErrorRow>& last_finding);

// The file name without its folder; a backslash is part of a name.
std::string FileNameOnly(const std::string& path);

// Window caption of the grid view. (A record's caption in the viewer is
// ViewerCaption, browse/record_viewer.h.)
std::string GridViewCaption(const std::string& tested_path);

// Messages of the grid view and of "View Last Test Results".
inline constexpr const char* kNoErrorsInScope =
    "No errors found in the submission within the scope of this program, as outlined in the "
    "User Manual.";
inline constexpr const char* kNoReportFound = "No Report Found!";
// Told, with a critical icon, when the results file is there but cannot be
// read: "The results of the last test cannot be read from PATH." and the
// store's reason on the next line.
std::string CannotReadResults(const std::string& results_path, const std::string& problem);
inline constexpr const char* kUnreadableLastFile =
    "Unreadable data was found in the last File tested!\r\n"
    "Please check to make sure that File entered contains ASCII Text only.";
inline constexpr const char* kResultsTitle = "Results";
// Told, with an exclamation icon, when a grid or the viewer is used after a
// later test (of another Lintaro or of lintaro-cli check) replaced the
// results they were read from; they then let go of them.
inline constexpr const char* kViewedResultsReplaced =
    "The results these records were read from have been replaced by a later test. "
    "Choose View Tested Records or View Records With Errors again for the records of the last "
    "test.";
// The same when the results file was deleted and none took its place.
inline constexpr const char* kViewedResultsDeleted =
    "The results these records were read from have been deleted. Choose Start Testing for new "
    "results.";
inline constexpr const char* kLastReportResultsTitle = "Last Report Results";
std::string NoErrorsFoundIn(const std::vector<std::string>& tested_paths);

// View > Go to Record: the menu entry, the dialog's caption and prompt, and
// what it says when the current grid has no row for the number asked for
// (errors_grid: the records-with-errors grid is shown; tested: the number of
// records tested).
inline constexpr const char* kGoToRecordEntry = "&Go to Record...";
inline constexpr const char* kGoToRecordTitle = "Go to Record";
std::string GoToRecordPrompt(int64_t tested);
std::string GoToRecordRefusal(int64_t rec_num, int64_t tested, bool errors_grid);
// What it says when the grid has a row for the number but the results file
// holds no such record (a damaged file) or cannot be read there.
std::string GoToRecordUnreadable(int64_t rec_num);

// What the results database of the last run holds.
struct LastResults {
  enum Kind {
    kNoFile,      // no ERRLOG2C.MDB in the folder
    kCannotOpen,  // the file is there but is not a results database
    kNoRecords,   // no record was stored
    kNoErrors,    // records, no findings
    kErrors,      // findings to show
  };
  Kind kind = kNoFile;
  std::vector<std::string> paths;  // the tested files, in order
  std::string problem;             // why the file cannot be opened
  // When the run that wrote the results did not finish, the sentence that
  // says so and how far its results go (UTF-8); empty otherwise.
  std::string notice;
};

// Looks at folder's ERRLOG2C.MDB, read-only.
LastResults InspectLastResults(const std::string& folder);

}  // namespace lintaro

#endif  // LINTARO_BROWSE_RESULT_GRIDS_H_
