#include "serve/check_reads.h"

#include <functional>
#include <memory>
#include <nlohmann/json.hpp>

#include "browse/record_grid.h"
#include "browse/record_viewer.h"
#include "browse/viewer_text.h"
#include "core/error_limit.h"
#include "core/folder_lock.h"
#include "reports/report_forms.h"
#include "reports/report_scope.h"
#include "store/results_db.h"

namespace lintaro {
namespace {

using Json = nlohmann::ordered_json;
using Read = std::variant<std::string, ApiError>;

// Opens the folder's results under a reader's lock and hands them to read.
Read WithResults(const std::string& folder, const std::function<Read(ResultsDb&)>& read) {
  FolderLock lock = FolderLock::ForReading(folder);
  if (lock.refused()) return ApiError{409, "busy", "the check's results are being written"};
  try {
    std::unique_ptr<ResultsDb> db =
        ResultsDb::Open(JoinPath(folder, kResultsFileName), /*read_only=*/true);
    return read(*db);
  } catch (const StoreError&) {
    // The store's own words stay in the service; the client learns only this.
    return ApiError{500, "unreadable", "the check's results cannot be read"};
  }
}

std::string Dump(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

}  // namespace

Read ReadReport(const std::string& folder, const ReportFormat& format,
                const std::string& employer) {
  ReportFilter filter;
  if (!employer.empty()) {
    std::optional<std::string> ein = ParseEin(employer);
    if (!ein) return ApiError{400, "bad_parameter", "employer must be an EIN of nine digits"};
    filter.employer_ein = *ein;
  }
  return WithResults(folder, [&](ResultsDb& db) -> Read {
    if (!filter.keeps_all() && EmployerRecordCount(db, filter.employer_ein) == 0)
      return ApiError{
          400, "bad_parameter",
          "the check's results hold no employer record with EIN " + filter.employer_ein};
    ReportBuffer report;
    BuildShownReport(db, format, filter, report, {});
    return std::move(report.text);
  });
}

Read ReadRecords(const std::string& folder, bool with_errors, int64_t offset, int64_t limit) {
  return WithResults(folder, [&](ResultsDb& db) -> Read {
    RecordGridRows rows(
        db, with_errors ? RecordGridRows::Kind::kWithErrors : RecordGridRows::Kind::kTested);
    Json records = Json::array();
    for (int64_t row = offset; row < rows.size() && row < offset + limit; ++row) {
      const GridRecord& r = rows.At(row);
      if (r.rec_num == 0) return ApiError{500, "unreadable", "the check's results cannot be read"};
      records.push_back({{"record_number", r.rec_num}, {"errors", r.errors}, {"record", r.record}});
    }
    return Dump(Json{{"total", rows.size()}, {"offset", offset}, {"records", records}});
  });
}

Read ReadRecord(const std::string& folder, int64_t rec_num) {
  return WithResults(folder, [&](ResultsDb& db) -> Read {
    RecordViewer viewer(db);
    switch (viewer.ViewFile(rec_num)) {
      case ViewResult::kShown:
        break;
      case ViewResult::kNotStored:
        return ApiError{404, "not_found", "record " + std::to_string(rec_num) + " was not tested"};
      case ViewResult::kUnreadable:
        return ApiError{500, "unreadable", "the check's results cannot be read"};
    }
    Json fields = Json::array();
    const auto& rows = viewer.rows();
    for (size_t i = 0; i < rows.size(); ++i) {
      fields.push_back({{"field", i},
                        {"name", PrintableUtf8(rows[i].label)},
                        {"value", PrintableUtf8(rows[i].value)},
                        {"marked", rows[i].marked}});
    }
    return Dump(Json{{"record_number", viewer.rec_num()},
                     {"record_id", PrintableUtf8(viewer.record_id())},
                     {"caption", viewer.caption()},
                     {"fields", fields}});
  });
}

}  // namespace lintaro
