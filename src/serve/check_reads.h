// What the API reads from a check's results: the error report in each form
// and the two record grids and the record viewer. Each read holds the
// check's folder with a reader's lock (core/folder_lock.h) and opens its
// results read-only, as `lintaro-cli report` and `show` do.
#ifndef LINTARO_SERVE_CHECK_READS_H_
#define LINTARO_SERVE_CHECK_READS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "serve/upload.h"

namespace lintaro {

struct ReportFormat;

// The report of the results in folder, byte for byte what `lintaro-cli
// report --format FORMAT [--employer EIN]` prints for that folder. employer
// is the EIN as given (empty: every finding).
std::variant<std::string, ApiError> ReadReport(const std::string& folder,
                                               const ReportFormat& format,
                                               const std::string& employer);

// {"total": N, "offset": N, "records": [{"record_number", "record_id",
// "reference", "errors", "record"}]} (reference: the record's SSN or EIN as
// stored, null when none):
// the rows offset .. offset + limit - 1 of the tested records' grid, or of
// the records with errors' grid.
std::variant<std::string, ApiError> ReadRecords(const std::string& folder, bool with_errors,
                                                int64_t offset, int64_t limit);

// {"record_number", "record_id", "caption", "fields": [{"field", "name",
// "positions": {"start", "end"} | null, "value", "marked"}]}: stored record
// rec_num as the record viewer shows it (positions where its fields add up
// to a whole record).
std::variant<std::string, ApiError> ReadRecord(const std::string& folder, int64_t rec_num);

// {"record_number", "record_id", "findings": [{"error_number", "critical",
// "field", "positions": {"start", "end"} | null, "user_entry", "message"}]}:
// the findings of record rec_num in the order they were found, in the
// words of the JSON report.
std::variant<std::string, ApiError> ReadFindings(const std::string& folder, int64_t rec_num);

// {"employers": [{"ein", "name", "record_number", "records"}]}: the
// employers a report can be limited to (reports/report_scope.h).
std::variant<std::string, ApiError> ReadEmployers(const std::string& folder);

// Whether the results in folder still read as a check leaves them: false
// when they are gone or damaged (as every read above would refuse them).
// Each state of the file is checked once; one being written counts as
// readable.
bool ResultsStillReadable(const std::string& folder);

// Forgets what was learnt of the results in folder: its check is deleted.
void ForgetResults(const std::string& folder);

// How many records the results in folder were tested, as their report says
// (the last record's number, read from the key without reading the
// records); 0 when they cannot be read.
int64_t StoredRecordsTested(const std::string& folder);

}  // namespace lintaro

#endif  // LINTARO_SERVE_CHECK_READS_H_
