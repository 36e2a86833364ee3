#include "serve/check_reads.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>

#include "browse/record_grid.h"
#include "browse/record_viewer.h"
#include "browse/viewer_text.h"
#include "core/error_limit.h"
#include "core/framer.h"
#include "os/folder_lock.h"
#include "os/path.h"
#include "reports/finding_parts.h"
#include "reports/report_forms.h"
#include "reports/report_scope.h"
#include "run/run_ending.h"
#include "store/cp1252.h"
#include "store/results_db.h"

namespace lintaro {
namespace {

using Json = nlohmann::ordered_json;
using Read = std::variant<std::string, ApiError>;

// What tells one state of a results file from another: a file changed
// behind the service is checked again. SQLite counts the transactions
// written to a file in its header (bytes 24 to 27), which a change within
// the same tick of the clock changes too.
struct FileStamp {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  int64_t mtime_ns = 0;
  uint32_t change_counter = 0;
  bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> StampOf(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  unsigned char counter[4] = {};
  const bool read = fstat(fd, &st) == 0 && pread(fd, counter, sizeof counter, 24) == 4;
  close(fd);
  if (!read) return std::nullopt;
  return FileStamp{st.st_dev, st.st_ino, st.st_size,
                   int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec,
                   uint32_t{counter[0]} << 24 | uint32_t{counter[1]} << 16 |
                       uint32_t{counter[2]} << 8 | counter[3]};
}

// The states of results files found sound, by path.
class SoundResults {
 public:
  bool Holds(const std::string& path, const FileStamp& stamp) {
    std::lock_guard<std::mutex> hold(mutex_);
    auto it = sound_.find(path);
    return it != sound_.end() && it->second == stamp;
  }
  void Add(const std::string& path, const FileStamp& stamp) {
    std::lock_guard<std::mutex> hold(mutex_);
    sound_[path] = stamp;
  }
  void Forget(const std::string& path) {
    std::lock_guard<std::mutex> hold(mutex_);
    sound_.erase(path);
  }

 private:
  std::mutex mutex_;
  std::map<std::string, FileStamp> sound_;
};

SoundResults& Sound() {
  static SoundResults sound;
  return sound;
}

// Results that no check can have left are refused by every read, as the
// report refuses them (ReadStoredRunEnding throws for them). Checking that
// counts the records, so each state of a file is checked once: the page
// reads a record at a time.
void RefuseDamagedResults(ResultsDb& db, const std::string& path) {
  const std::optional<FileStamp> stamp = StampOf(path);
  if (stamp && Sound().Holds(path, *stamp)) return;
  ReadStoredRunEnding(db);
  if (stamp) Sound().Add(path, *stamp);
}

// Opens the folder's results under a reader's lock and hands them to read;
// results_whole: refuse results that no check can have left first.
Read WithResults(const std::string& folder, const std::function<Read(ResultsDb&)>& read,
                 bool results_whole = true) {
  FolderLock lock = FolderLock::ForReading(folder);
  if (lock.refused()) return ApiError{409, "busy", "the check's results are being written"};
  try {
    const std::string path = JoinPath(folder, kResultsFileName);
    std::unique_ptr<ResultsDb> db = ResultsDb::Open(path, /*read_only=*/true);
    if (results_whole) RefuseDamagedResults(*db, path);
    return read(*db);
  } catch (const StoreError&) {
    // The store's own words stay in the service; the client learns only this.
    return ApiError{500, "unreadable", "the check's results cannot be read"};
  }
}

Json TextOrNull(const std::string& cp1252) {
  return cp1252.empty() ? Json(nullptr) : Json(Cp1252ToUtf8(cp1252));
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
      std::optional<RecordRow> stored = db.ReadRecord(r.rec_num);
      if (!stored) return ApiError{500, "unreadable", "the check's results cannot be read"};
      records.push_back({{"record_number", r.rec_num},
                         {"record_id", Cp1252ToUtf8(stored->id)},
                         {"reference", TextOrNull(stored->rec_reference)},
                         {"errors", r.errors},
                         {"record", r.record}});
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
    size_t total = 0;
    for (const ViewerRow& row : rows) total += row.value.size();
    // Positions only where the rows add up to a whole record, as the viewer tells them.
    const bool whole_record = total == kRecordLength;
    size_t start = 1;
    for (size_t i = 0; i < rows.size(); ++i) {
      const size_t length = rows[i].value.size();
      Json positions = nullptr;
      if (whole_record && length > 0) positions = {{"start", start}, {"end", start + length - 1}};
      start += length;
      fields.push_back({{"field", i},
                        {"name", PrintableUtf8(rows[i].label)},
                        {"positions", positions},
                        {"value", PrintableUtf8(rows[i].value)},
                        {"marked", rows[i].marked}});
    }
    return Dump(Json{{"record_number", viewer.rec_num()},
                     {"record_id", PrintableUtf8(viewer.record_id())},
                     {"caption", viewer.caption()},
                     {"fields", fields}});
  });
}

Read ReadFindings(const std::string& folder, int64_t rec_num) {
  return WithResults(folder, [&](ResultsDb& db) -> Read {
    std::optional<RecordRow> record = db.ReadRecord(rec_num);
    if (!record)
      return ApiError{404, "not_found", "record " + std::to_string(rec_num) + " was not tested"};
    Json findings = Json::array();
    for (const ErrorRow& row : db.ReadErrorsOf(rec_num)) {
      const FindingParts parts = SplitFinding(row.reference, row.user_entry);
      Json positions = nullptr;
      if (parts.positions)
        positions = {{"start", parts.positions->start}, {"end", parts.positions->end}};
      findings.push_back({{"error_number", row.err_num},
                          {"critical", row.type == "C"},
                          {"field", Cp1252ToUtf8(parts.field)},
                          {"positions", positions},
                          {"user_entry", Cp1252ToUtf8(parts.user_entry)},
                          {"message", Cp1252ToUtf8(row.error)}});
    }
    return Dump(Json{{"record_number", rec_num},
                     {"record_id", Cp1252ToUtf8(record->id)},
                     {"findings", findings}});
  });
}

Read ReadEmployers(const std::string& folder) {
  return WithResults(folder, [&](ResultsDb& db) -> Read {
    Json employers = Json::array();
    for (const EmployerEntry& e : ListEmployers(db)) {
      employers.push_back({{"ein", e.ein},
                           {"name", Cp1252ToUtf8(e.name)},
                           {"record_number", e.first_rec_num},
                           {"records", e.records}});
    }
    return Dump(Json{{"employers", employers}});
  });
}

bool ResultsStillReadable(const std::string& folder) {
  // A state found sound before needs no lock and no opening: the list of
  // checks asks this of each of them.
  const std::string path = JoinPath(folder, kResultsFileName);
  if (const std::optional<FileStamp> stamp = StampOf(path); stamp && Sound().Holds(path, *stamp))
    return true;
  const Read read = WithResults(folder, [](ResultsDb&) -> Read { return std::string(); });
  const ApiError* refused = std::get_if<ApiError>(&read);
  return refused == nullptr || refused->code == "busy";
}

void ForgetResults(const std::string& folder) {
  Sound().Forget(JoinPath(folder, kResultsFileName));
}

int64_t StoredRecordsTested(const std::string& folder) {
  int64_t count = 0;
  WithResults(
      folder,
      [&count](ResultsDb& db) -> Read {
        count = db.LastRecNum();
        return std::string();
      },
      /*results_whole=*/false);
  return count;
}

}  // namespace lintaro
