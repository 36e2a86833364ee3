#include "store/results_db.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <limits>
#include <string_view>
#include <system_error>

#include "store/cp1252.h"

namespace lintaro {
namespace {

// A prepared statement, finalized with its owner.
struct Stmt {
  sqlite3_stmt* s = nullptr;
  Stmt() = default;
  explicit Stmt(sqlite3_stmt* stmt) : s(stmt) {}
  Stmt(Stmt&& o) noexcept : s(o.s) { o.s = nullptr; }
  Stmt& operator=(Stmt&& o) noexcept {
    std::swap(s, o.s);
    return *this;
  }
  ~Stmt() { sqlite3_finalize(s); }
};

std::string Quote(const std::string& name) { return "\"" + name + "\""; }

void BindText(sqlite3_stmt* s, int i, std::string_view text) {
  sqlite3_bind_text(s, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// Binds a key, or NULL for 0, which lets SQLite number the new row.
void BindKey(sqlite3_stmt* s, int i, int64_t key) {
  if (key == 0)
    sqlite3_bind_null(s, i);
  else
    sqlite3_bind_int64(s, i, key);
}

void BindCp1252(sqlite3_stmt* s, int i, std::string_view bytes) {
  // Plain ASCII (nearly every record) is already UTF-8, and is bound without
  // a copy: every statement is stepped, and its bindings cleared or replaced,
  // while the caller's text lives.
  if (IsAscii(bytes)) {
    sqlite3_bind_text(s, i, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
    return;
  }
  std::string utf8 = Cp1252ToUtf8(bytes);
  BindText(s, i, utf8);
}
std::string ColumnText(sqlite3_stmt* s, int i) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
  if (p == nullptr) return {};
  return std::string(p, static_cast<size_t>(sqlite3_column_bytes(s, i)));
}
std::string ColumnCp1252(sqlite3_stmt* s, int i) { return Utf8ToCp1252(ColumnText(s, i)); }

// The columns of money pair n, in table order.
constexpr TotalsKind kPairColumns[] = {TotalsKind::kCorrectSum, TotalsKind::kCorrectBlank,
                                       TotalsKind::kOrigSum, TotalsKind::kOrigBlank,
                                       TotalsKind::kErrorReference};

// A running-total column's name in its table: "0" (the record count), n,
// n + "b", "Orig" + n, "Orig" + n + "b" or "C" + n + "ErrRef".
std::string ColumnName(TotalsKind kind, int pair) {
  const std::string n = std::to_string(pair);
  switch (kind) {
    case TotalsKind::kRecordCount:
      return "0";
    case TotalsKind::kCorrectSum:
      return n;
    case TotalsKind::kCorrectBlank:
      return n + "b";
    case TotalsKind::kOrigSum:
      return "Orig" + n;
    case TotalsKind::kOrigBlank:
      return "Orig" + n + "b";
    case TotalsKind::kErrorReference:
      return "C" + n + "ErrRef";
  }
  return {};
}

// A column's type and default: sums 0, blank flags set, no error reference.
const char* ColumnDefinition(TotalsKind kind) {
  switch (kind) {
    case TotalsKind::kCorrectSum:
    case TotalsKind::kOrigSum:
      return " REAL DEFAULT 0";
    case TotalsKind::kCorrectBlank:
    case TotalsKind::kOrigBlank:
      return " INTEGER DEFAULT 1";
    case TotalsKind::kErrorReference:
      return " TEXT DEFAULT 'None'";
    case TotalsKind::kRecordCount:
      break;
  }
  return " INTEGER DEFAULT 0";
}

std::string CreateTableSql(TotalsTable table) {
  std::string sql = std::string("CREATE TABLE ") + TableName(table) +
                    " (Indx INTEGER PRIMARY KEY, RCE_EIN TEXT, " +
                    Quote(ColumnName(TotalsKind::kRecordCount, 0)) +
                    ColumnDefinition(TotalsKind::kRecordCount);
  for (int n = 1; n <= PairCount(table); ++n) {
    for (TotalsKind kind : kPairColumns)
      sql += ", " + Quote(ColumnName(kind, n)) + ColumnDefinition(kind);
  }
  return sql + ")";
}

constexpr const char* kCreateFixedTables =
    "CREATE TABLE MISC (Data_Id INTEGER PRIMARY KEY, Path TEXT, PinOK INTEGER DEFAULT 0,"
    " RptDate TEXT);"
    "CREATE TABLE RECORDS (Rec_Num INTEGER PRIMARY KEY, ID TEXT, RCE_Indx INTEGER DEFAULT 0,"
    " Errors INTEGER DEFAULT 0, Record TEXT, RecReference TEXT);"
    "CREATE TABLE ERRORS (Err_Num INTEGER PRIMARY KEY, Type TEXT DEFAULT '', Rec_Num INTEGER,"
    " Reference TEXT, User_Entry TEXT, Error TEXT);"
    "CREATE INDEX ErrorsByRecord ON ERRORS (Rec_Num);"
    // The employer records alone (a few entries per thousand records), so
    // that a reader finds a record's employer without walking the records;
    // the other records cost only the test of their identifier.
    "CREATE INDEX EmployerRecords ON RECORDS (Rec_Num, RCE_Indx) WHERE ID = 'RCE' COLLATE NOCASE;"
    "CREATE TABLE RUN (Started TEXT DEFAULT (strftime('%Y-%m-%dT%H:%M:%SZ', 'now')),"
    " Ended TEXT, Ending TEXT, RCW_Count INTEGER, Errors_Count INTEGER, Records_Count INTEGER);"
    "INSERT INTO RUN DEFAULT VALUES;";

// Every column the program reads, per table, to tell this layout from a
// foreign or older file.
const std::vector<std::pair<std::string, std::vector<std::string>>>& FixedLayout() {
  static const std::vector<std::pair<std::string, std::vector<std::string>>> layout = {
      {"MISC", {"Data_Id", "Path", "PinOK", "RptDate"}},
      {"RECORDS", {"Rec_Num", "ID", "RCE_Indx", "Errors", "Record", "RecReference"}},
      {"ERRORS", {"Err_Num", "Type", "Rec_Num", "Reference", "User_Entry", "Error"}},
  };
  return layout;
}

}  // namespace

const char* TableName(TotalsTable table) { return table == TotalsTable::kTRCT ? "TRCT" : "TRCU"; }

namespace {

constexpr std::pair<RunEnding, const char*> kRunEndingNames[] = {
    {RunEnding::kCompleted, "completed"},
    {RunEnding::kErrorLimit, "error_limit"},
    {RunEnding::kCriticalStop, "critical_stop"},
    {RunEnding::kStoppedByUser, "stopped_by_user"},
    {RunEnding::kStoppedBySignal, "stopped_by_signal"},
    {RunEnding::kFailed, "failed"},
};

}  // namespace

const char* RunEndingName(RunEnding ending) {
  for (const auto& [e, name] : kRunEndingNames)
    if (e == ending) return name;
  return "failed";
}

std::optional<RunEnding> RunEndingNamed(std::string_view name) {
  for (const auto& [e, n] : kRunEndingNames)
    if (name == n) return e;
  return std::nullopt;
}

std::vector<std::string> TotalsColumnNames(TotalsTable table) {
  std::vector<std::string> names = {"Indx", "RCE_EIN", ColumnName(TotalsKind::kRecordCount, 0)};
  for (int n = 1; n <= PairCount(table); ++n) {
    for (TotalsKind kind : kPairColumns) names.push_back(ColumnName(kind, n));
  }
  return names;
}

// A statement of the database's own, prepared when it is first run: a
// reader that asks for one record prepares the one statement that reads it,
// not the forty that write and read the rest. Without SQL it is absent from
// this file's layout, and Statement gives null for it.
class ResultsDb::LazyStatement {
 public:
  LazyStatement() = default;
  explicit LazyStatement(std::string sql) : sql_(std::move(sql)) {}
  bool present() const { return !sql_.empty(); }

 private:
  friend class ResultsDb;
  std::string sql_;
  Stmt prepared_;
};

sqlite3_stmt* ResultsDb::Statement(LazyStatement& statement) {
  if (statement.prepared_.s == nullptr && statement.present())
    statement.prepared_ = Stmt(Prepare(statement.sql_));
  return statement.prepared_.s;
}

struct ResultsDb::Statements {
  LazyStatement begin, commit, rollback, last_keys;
  LazyStatement insert_misc, set_pin_ok, read_misc;
  LazyStatement insert_record, insert_records, update_record, read_record, count_records,
      tally_records, count_records_with_id, last_rec_num, next_employer_record;
  LazyStatement employer_with_indx, employer_before, list_records, list_record;
  LazyStatement insert_error, insert_errors, read_errors_of, count_errors,
      count_records_with_errors, read_last_error, record_numbers_with_errors,
      count_findings_without_record;
  LazyStatement report_rows;
  LazyStatement mark_run_ended, read_run;  // absent from a file without the RUN table
  LazyStatement read_rcw_count;            // absent where RUN has no RCW_Count
  LazyStatement read_error_count;          // absent where RUN has no Errors_Count
  LazyStatement read_record_count;         // absent where RUN has no Records_Count
  LazyStatement insert_totals[2], update_totals[2], read_totals[2], read_totals_for_record[2],
      count_totals[2];
};

ResultsDb::ResultsDb(sqlite3* db, std::string path, bool read_only)
    : db_(db), path_(std::move(path)), read_only_(read_only), st_(std::make_unique<Statements>()) {}

ResultsDb::~ResultsDb() {
  if (in_transaction_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  st_.reset();
  sqlite3_close_v2(db_);
}

void ResultsDb::Fail(std::string_view what) {
  const int code = sqlite3_extended_errcode(db_);
  // A check killed in the middle of a batch left its journal, which must be
  // rolled back before the results are read: SQLite's own words for that
  // ("attempt to write a readonly database") puzzle a user who only reads.
  if (code == SQLITE_READONLY_ROLLBACK)
    throw StoreError(code,
                     "The check that wrote the results was interrupted, and its journal cannot be "
                     "rolled back while the results file or its folder is read-only (" +
                         path_ + ")");
  throw StoreError(code, std::string(what) + ": " + sqlite3_errmsg(db_) + " (" + path_ + ")");
}

namespace {

// Runs a statement that returns no rows, then resets it and clears its
// bindings; false when it failed.
bool StepDone(sqlite3_stmt* s) {
  const int rc = sqlite3_step(s);
  sqlite3_reset(s);
  sqlite3_clear_bindings(s);
  return rc == SQLITE_DONE;
}

// Resets a statement and clears its bindings however the scope is left.
class ResetOnExit {
 public:
  explicit ResetOnExit(sqlite3_stmt* s) : s_(s) {}
  ~ResetOnExit() {
    sqlite3_reset(s_);
    sqlite3_clear_bindings(s_);
  }
  ResetOnExit(const ResetOnExit&) = delete;
  ResetOnExit& operator=(const ResetOnExit&) = delete;

 private:
  sqlite3_stmt* s_;
};

int64_t FirstColumnInt(sqlite3_stmt* s) { return sqlite3_column_int64(s, 0); }

}  // namespace

void ResultsDb::Execute(sqlite3_stmt* s, std::string_view failure) {
  if (!StepDone(s)) Fail(failure);
}

template <typename Read>
auto ResultsDb::OneRow(sqlite3_stmt* s, const Read& read, std::string_view failure)
    -> std::optional<decltype(read(s))> {
  std::optional<decltype(read(s))> row;
  int rc = sqlite3_step(s);
  if (rc == SQLITE_ROW) {
    row = read(s);
    rc = SQLITE_DONE;
  }
  sqlite3_reset(s);
  sqlite3_clear_bindings(s);
  if (rc != SQLITE_DONE) Fail(failure);
  return row;
}

template <typename Each>
void ResultsDb::EachRow(sqlite3_stmt* s, const Each& each, std::string_view failure) {
  int rc = SQLITE_DONE;
  {
    const ResetOnExit reset(s);
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
      if (!each(s)) return;
  }
  if (rc != SQLITE_DONE) Fail(failure);
}

template <typename Read>
auto ResultsDb::AllRows(sqlite3_stmt* s, const Read& read, std::string_view failure)
    -> std::vector<decltype(read(s))> {
  std::vector<decltype(read(s))> rows;
  EachRow(
      s,
      [&](sqlite3_stmt* r) {
        rows.push_back(read(r));
        return true;
      },
      failure);
  return rows;
}

void ResultsDb::Exec(const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : "unknown failure";
    sqlite3_free(message);
    throw StoreError(sqlite3_extended_errcode(db_), text + " (" + path_ + ")");
  }
}

// The columns of a RecordRow, in the order RecordRowAt reads them.
constexpr const char* kSelectRecordRow =
    "SELECT Rec_Num, ID, RCE_Indx, Errors, Record, RecReference FROM RECORDS";

sqlite3_stmt* ResultsDb::Prepare(const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) !=
      SQLITE_OK)
    Fail("Cannot prepare a statement of the results database");
  return stmt;
}

static sqlite3* OpenHandle(const std::string& path, int flags) {
  sqlite3* db = nullptr;
  // A connection is used by one thread at a time (see ResultsDb): SQLite
  // need not lock it at every call.
  int rc = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    // The system's reason ("Permission denied") where there is one: SQLite's
    // "unable to open database file" does not say what to mend.
    const int err = db ? sqlite3_system_errno(db) : 0;
    std::string text = err != 0 ? std::generic_category().message(err)
                       : db     ? sqlite3_errmsg(db)
                                : sqlite3_errstr(rc);
    sqlite3_close_v2(db);
    throw StoreError(rc, "Cannot open the results database: " + text + " (" + path + ")");
  }
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, 2000);
  return db;
}

std::unique_ptr<ResultsDb> ResultsDb::Create(const std::string& path) {
  // The file holds SSNs and EINs: create it for its owner only, before
  // SQLite opens it (an empty file is a valid new database).
  int fd = TEMP_FAILURE_RETRY(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (fd < 0) {
    throw StoreError(-1, std::string("Cannot create the results database: ") +
                             std::generic_category().message(errno) + " (" + path + ")");
  }
  ::close(fd);
  std::unique_ptr<ResultsDb> db(new ResultsDb(OpenHandle(path, SQLITE_OPEN_READWRITE), path));
  // The rollback journal is removed at each commit, so the file is one file
  // at rest. Commits are not synced to the disk: a killed run still leaves
  // every committed batch (the system holds what was written), and the
  // results can always be made again from the submission. Pages of 16 KiB
  // hold fourteen stored records where pages of 4 KiB hold three: a sixth
  // less file and a quarter of the page writes.
  db->Exec(
      "PRAGMA page_size=16384; PRAGMA journal_mode=DELETE; PRAGMA synchronous=OFF;"
      " PRAGMA cache_size=-8192;");
  db->CreateTables();
  return db;
}

std::unique_ptr<ResultsDb> ResultsDb::CreateInMemory() {
  std::unique_ptr<ResultsDb> db(new ResultsDb(
      OpenHandle(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), ":memory:"));
  db->CreateTables();
  return db;
}

void ResultsDb::CreateTables() {
  Exec("BEGIN");
  Exec(kCreateFixedTables);
  Exec(CreateTableSql(TotalsTable::kTRCT).c_str());
  Exec(CreateTableSql(TotalsTable::kTRCU).c_str());
  Exec("COMMIT");
  DefineStatements();
}

void ResultsDb::Clear() {
  Commit();
  // Without rows, SQLite numbers the next row of each table 1 again.
  Exec(
      "BEGIN; DELETE FROM MISC; DELETE FROM RECORDS; DELETE FROM ERRORS; DELETE FROM TRCT;"
      " DELETE FROM TRCU; DELETE FROM RUN; INSERT INTO RUN DEFAULT VALUES; COMMIT");
}

bool ConfigureStoreForThreads() { return sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK; }

void RecoverInterruptedResults(const std::string& path) {
  struct stat info {};
  if (::stat((path + "-journal").c_str(), &info) != 0) return;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    sqlite3_busy_timeout(db, 2000);
    // Reading the schema makes SQLite roll the hot journal back.
    sqlite3_exec(db, "SELECT COUNT(*) FROM sqlite_master", nullptr, nullptr, nullptr);
  }
  sqlite3_close_v2(db);
}

std::unique_ptr<ResultsDb> ResultsDb::Open(const std::string& path, bool read_only) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0)
    throw StoreError(-1, "The results database was not found (" + path + ")");
  // A pipe or a device would be read until a writer comes, or for ever:
  // neither it nor a journal of the kind is opened.
  if (!S_ISREG(info.st_mode))
    throw StoreError(-1, "The results database is not a regular file (" + path + ")");
  if (::stat((path + "-journal").c_str(), &info) == 0 && !S_ISREG(info.st_mode))
    throw StoreError(-1, "The results database's journal is not a regular file (" + path + ")");
  RecoverInterruptedResults(path);
  int flags = read_only ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  std::unique_ptr<ResultsDb> db(new ResultsDb(OpenHandle(path, flags), path, read_only));
  db->CheckLayout();
  db->DefineStatements();
  return db;
}

void ResultsDb::CheckLayout() {
  auto columns_of = [this](const std::string& table) {
    Stmt info(Prepare("PRAGMA table_info(" + table + ")"));
    return AllRows(
        info.s, [](sqlite3_stmt* r) { return ColumnText(r, 1); },
        "Cannot read the results database");
  };
  for (const auto& [table, wanted] : FixedLayout()) {
    if (columns_of(table) != wanted)
      throw StoreError(
          -1, "The file is not a results database of this version of Lintaro (" + path_ + ")");
  }
  for (TotalsTable t : {TotalsTable::kTRCT, TotalsTable::kTRCU}) {
    if (columns_of(TableName(t)) != TotalsColumnNames(t))
      throw StoreError(
          -1, "The file is not a results database of this version of Lintaro (" + path_ + ")");
  }
}

void ResultsDb::DefineStatements() {
  Statements& s = *st_;
  s.begin = LazyStatement("BEGIN");
  s.commit = LazyStatement("COMMIT");
  s.rollback = LazyStatement("ROLLBACK");
  s.last_keys = LazyStatement(
      "SELECT (SELECT COALESCE(MAX(Data_Id), 0) FROM MISC),"
      " (SELECT COALESCE(MAX(Err_Num), 0) FROM ERRORS),"
      " (SELECT COALESCE(MAX(Indx), 0) FROM TRCT), (SELECT COALESCE(MAX(Indx), 0) FROM TRCU)");
  s.insert_misc =
      LazyStatement("INSERT INTO MISC (Data_Id, Path, PinOK, RptDate) VALUES (?, ?, 0, ?)");
  s.set_pin_ok = LazyStatement("UPDATE MISC SET PinOK = ? WHERE Data_Id = ?");
  s.read_misc = LazyStatement("SELECT Data_Id, Path, PinOK, RptDate FROM MISC ORDER BY Data_Id");
  s.insert_record = LazyStatement(
      "INSERT INTO RECORDS (Rec_Num, ID, RCE_Indx, Errors, Record, RecReference)"
      " VALUES (?, ?, ?, ?, ?, ?)");
  // OR FAIL: a statement of many rows that may fail part-way otherwise
  // keeps a statement journal, a copy of every page it changes (spilled to
  // a file, it doubled the writes of a check), so that it alone can be
  // undone; a batch that fails is rolled back whole.
  std::string insert_records =
      "INSERT OR FAIL INTO RECORDS (Rec_Num, ID, RCE_Indx, Errors, Record, RecReference) VALUES ";
  for (size_t k = 0; k < kRecordsPerInsert; ++k)
    insert_records += k == 0 ? "(?, ?, ?, ?, ?, ?)" : ", (?, ?, ?, ?, ?, ?)";
  s.insert_records = LazyStatement(std::move(insert_records));
  s.update_record = LazyStatement(
      "UPDATE RECORDS SET ID = ?2, RCE_Indx = ?3, Errors = ?4, Record = ?5, RecReference = ?6"
      " WHERE Rec_Num = ?1");
  s.read_record = LazyStatement(std::string(kSelectRecordRow) + " WHERE Rec_Num = ?");
  s.count_records = LazyStatement("SELECT COUNT(*) FROM RECORDS");
  // As dear as the count: the pages of the records are read either way.
  s.tally_records = LazyStatement("SELECT COUNT(*), COALESCE(SUM(Errors), 0) FROM RECORDS");
  s.count_records_with_id = LazyStatement("SELECT COUNT(*) FROM RECORDS WHERE ID = ?");
  s.last_rec_num = LazyStatement("SELECT Rec_Num FROM RECORDS ORDER BY Rec_Num DESC LIMIT 1");
  // Whose text begins "RCE": the run upper-cased the text, so these are the
  // records whose ID is "RCE" in any case, which the index holds.
  s.next_employer_record = LazyStatement(
      std::string(kSelectRecordRow) +
      " WHERE ID = 'RCE' COLLATE NOCASE AND Rec_Num > ?1 AND substr(Record, 1, 3) = 'RCE'"
      " ORDER BY Rec_Num LIMIT 1");
  // The identifier is compared without regard to case: the ID column keeps
  // it as found (an employer record may be "rce"), while the checks read
  // the record text, which the run upper-cased. The condition is the one of
  // the index EmployerRecords, word for word, so that SQLite reads the
  // index; a file written before the index existed is read record by record.
  s.employer_with_indx =
      LazyStatement(std::string(kSelectRecordRow) +
                    " WHERE ID = 'RCE' COLLATE NOCASE AND RCE_Indx = ?1 ORDER BY Rec_Num LIMIT 1");
  s.employer_before = LazyStatement(
      std::string(kSelectRecordRow) +
      " WHERE ID = 'RCE' COLLATE NOCASE AND Rec_Num < ?1 ORDER BY Rec_Num DESC LIMIT 1");
  s.list_records = LazyStatement(
      "SELECT Rec_Num, Errors, Record FROM RECORDS WHERE Rec_Num BETWEEN ?1 AND ?2"
      " ORDER BY Rec_Num");
  s.list_record = LazyStatement("SELECT Rec_Num, Errors, Record FROM RECORDS WHERE Rec_Num = ?1");
  DefineFindingStatements();
  DefineTotalsStatements();
  DefineRunStatements();
}

// ERRORS: the findings, alone or with their records.
void ResultsDb::DefineFindingStatements() {
  Statements& s = *st_;
  s.report_rows = LazyStatement(
      "SELECT Err_Num, Type, ERRORS.Rec_Num, Reference, User_Entry, Error, ID, RecReference"
      " FROM ERRORS INNER JOIN RECORDS ON ERRORS.Rec_Num = RECORDS.Rec_Num"
      " ORDER BY ERRORS.Rec_Num, Err_Num");
  s.insert_error = LazyStatement(
      "INSERT INTO ERRORS (Err_Num, Type, Rec_Num, Reference, User_Entry, Error)"
      " VALUES (?, ?, ?, ?, ?, ?)");
  // OR FAIL, as the records' statement of many rows: no statement journal.
  std::string insert_errors =
      "INSERT OR FAIL INTO ERRORS (Err_Num, Type, Rec_Num, Reference, User_Entry, Error) VALUES ";
  for (size_t k = 0; k < kErrorsPerInsert; ++k)
    insert_errors += k == 0 ? "(?, ?, ?, ?, ?, ?)" : ", (?, ?, ?, ?, ?, ?)";
  s.insert_errors = LazyStatement(std::move(insert_errors));
  s.read_errors_of = LazyStatement(
      "SELECT Err_Num, Type, Rec_Num, Reference, User_Entry, Error FROM ERRORS"
      " WHERE Rec_Num = ? ORDER BY Err_Num");
  s.count_errors = LazyStatement("SELECT COUNT(*) FROM ERRORS");
  s.count_records_with_errors = LazyStatement("SELECT COUNT(DISTINCT Rec_Num) FROM ERRORS");
  // From the findings' index on the record number (the records' error
  // counts have no index: filtering on them reads every record).
  s.record_numbers_with_errors =
      LazyStatement("SELECT DISTINCT Rec_Num FROM ERRORS ORDER BY Rec_Num");
  s.read_last_error = LazyStatement(
      "SELECT Err_Num, Type, Rec_Num, Reference, User_Entry, Error FROM ERRORS"
      " ORDER BY Err_Num DESC LIMIT 1");
  // Records are numbered 1 to the last without gaps, so a finding's record
  // is stored when its number is a whole number in that range. Read from
  // the findings' index alone: looking each record up would read the pages
  // of every record with findings.
  s.count_findings_without_record = LazyStatement(
      "SELECT COUNT(*) FROM ERRORS WHERE typeof(Rec_Num) <> 'integer' OR Rec_Num < 1"
      " OR Rec_Num > (SELECT COALESCE(MAX(Rec_Num), 0) FROM RECORDS)");
}

// Results written before runs recorded their ending have no RUN table.
void ResultsDb::DefineRunStatements() {
  Stmt exists(Prepare("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = 'RUN'"));
  if (CountOrFail(exists.s, "Cannot read the results database") == 0) return;
  Statements& s = *st_;
  // Two rows are enough to tell that there is not one.
  s.read_run = LazyStatement("SELECT Started, Ended, Ending FROM RUN LIMIT 2");
  // Results of earlier versions lack the counts a run now records with its
  // ending (RCW_Count, then Errors_Count, then Records_Count): each is
  // written and read only where its column is.
  Stmt column(Prepare("SELECT COUNT(*) FROM pragma_table_info('RUN') WHERE name = ?1"));
  auto has_column = [&](const char* name) {
    sqlite3_bind_text(column.s, 1, name, -1, SQLITE_STATIC);
    return CountOrFail(column.s, "Cannot read the results database") > 0;
  };
  std::string mark = "UPDATE RUN SET Ending = ?1, Ended = strftime('%Y-%m-%dT%H:%M:%SZ', 'now')";
  auto recorded = [&](const char* name, const char* parameter) {
    if (!has_column(name)) return LazyStatement();
    mark += std::string(", ") + name + " = " + parameter;
    return LazyStatement(std::string("SELECT ") + name + " FROM RUN WHERE Ending IS NOT NULL AND " +
                         name + " IS NOT NULL LIMIT 1");
  };
  s.read_rcw_count = recorded("RCW_Count", "?2");
  s.read_error_count = recorded("Errors_Count", "?3");
  s.read_record_count = recorded("Records_Count", "?4");
  s.mark_run_ended = LazyStatement(mark);
}

// The statements of both running-total tables, over their columns in table
// order.
void ResultsDb::DefineTotalsStatements() {
  Statements& s = *st_;
  for (TotalsTable t : {TotalsTable::kTRCT, TotalsTable::kTRCU}) {
    const int i = static_cast<int>(t);
    const std::string name = TableName(t);
    const std::vector<std::string> cols = TotalsColumnNames(t);
    std::string insert_cols, insert_vals, set_list, select_list;
    for (size_t c = 0; c < cols.size(); ++c) {
      const std::string sep = c > 0 ? ", " : "";
      insert_cols += sep + Quote(cols[c]);
      insert_vals += sep + "?" + std::to_string(c + 1);
      if (c > 0) set_list += (c > 1 ? ", " : "") + Quote(cols[c]) + " = ?" + std::to_string(c + 1);
    }
    for (size_t c = 0; c < cols.size(); ++c)
      select_list += (c ? ", " : "") + name + "." + Quote(cols[c]);
    s.insert_totals[i] = LazyStatement("INSERT INTO " + name + " (" + insert_cols + ") VALUES (" +
                                       insert_vals + ")");
    s.update_totals[i] = LazyStatement("UPDATE " + name + " SET " + set_list + " WHERE Indx = ?1");
    s.read_totals[i] = LazyStatement("SELECT " + select_list + " FROM " + name + " WHERE Indx = ?");
    s.read_totals_for_record[i] =
        LazyStatement("SELECT " + select_list + " FROM " + name + ", RECORDS WHERE " + name +
                      ".Indx = RECORDS.RCE_Indx AND RECORDS.Rec_Num = ?");
    s.count_totals[i] = LazyStatement("SELECT COUNT(*) FROM " + name);
  }
}

void ResultsDb::Begin() {
  if (in_transaction_) return;
  // Rollback must not fail for want of its statement: it is prepared with
  // the transaction it may undo.
  Statement(st_->rollback);
  Execute(Statement(st_->begin), "Cannot begin writing the results database");
  in_transaction_ = true;
}

void ResultsDb::Commit() {
  if (!in_transaction_) return;
  if (!StepDone(Statement(st_->commit))) {
    // A lock that could not be given back after the journal was deleted
    // fails the statement of a transaction that is written: the rows stand.
    const bool written =
        sqlite3_extended_errcode(db_) == SQLITE_IOERR_UNLOCK && sqlite3_get_autocommit(db_) != 0;
    if (!written) Fail("Cannot write the results database");
  }
  in_transaction_ = false;
}

void ResultsDb::Rollback() {
  if (!in_transaction_) return;
  in_transaction_ = false;
  // SQLite may have rolled the transaction back itself (a full disk): then
  // there is nothing left to undo and the statement's failure says only that.
  StepDone(Statement(st_->rollback));
}

void ResultsDb::MarkRunEnded(RunEnding ending, const RunCounts& counts) {
  sqlite3_stmt* s = Statement(st_->mark_run_ended);
  if (s == nullptr) return;
  sqlite3_bind_text(s, 1, RunEndingName(ending), -1, SQLITE_STATIC);
  // Parameters left unbound are null: not counted.
  auto bind = [s](int parameter, const LazyStatement& column, std::optional<int64_t> count) {
    if (column.present() && count) sqlite3_bind_int64(s, parameter, *count);
  };
  bind(2, st_->read_rcw_count, counts.rcw_records);
  bind(3, st_->read_error_count, counts.findings);
  bind(4, st_->read_record_count, counts.records);
  Execute(s, "Cannot record the end of the test run");
}

std::optional<RunRow> ResultsDb::ReadRun() {
  sqlite3_stmt* s = Statement(st_->read_run);
  if (s == nullptr) return std::nullopt;
  auto runs = AllRows(
      s,
      [](sqlite3_stmt* r) {
        return std::pair(
            RunRow{ColumnText(r, 0), RunEndingNamed(ColumnText(r, 2)), ColumnText(r, 1)},
            sqlite3_column_type(r, 2) != SQLITE_NULL);
      },
      "Cannot read how the test run ended");
  // A run writes its one row with the tables and only ever updates it.
  if (runs.size() != 1)
    throw StoreError(-1, std::string("The results file is damaged: it records ") +
                             (runs.empty() ? "no test run" : "more than one test run") + " (" +
                             path_ + ")");
  // No ending is a run that did not end; an ending no run writes is no
  // reason to say so.
  auto& [run, has_ending] = runs.front();
  if (has_ending && !run.ending)
    throw StoreError(
        -1,
        "The results file is damaged: it records an unknown end of the test run (" + path_ + ")");
  return std::move(run);
}

ResultsDb::LastKeys ResultsDb::ReadLastKeys() {
  constexpr const char* kFailure = "Cannot read the results database";
  const std::optional<LastKeys> keys = OneRow(
      Statement(st_->last_keys),
      [](sqlite3_stmt* r) {
        LastKeys k;
        k.misc = sqlite3_column_int64(r, 0);
        k.error = sqlite3_column_int64(r, 1);
        k.totals[0] = sqlite3_column_int64(r, 2);
        k.totals[1] = sqlite3_column_int64(r, 3);
        return k;
      },
      kFailure);
  if (!keys) Fail(kFailure);
  return *keys;
}

int64_t ResultsDb::InsertMisc(const std::string& path_utf8, const std::string& rpt_date,
                              int64_t data_id) {
  sqlite3_stmt* s = Statement(st_->insert_misc);
  BindKey(s, 1, data_id);
  BindText(s, 2, path_utf8);
  BindText(s, 3, rpt_date);
  Execute(s, "Cannot store the tested file's name");
  return sqlite3_last_insert_rowid(db_);
}

void ResultsDb::SetPinOK(int64_t data_id, bool pin_ok) {
  sqlite3_stmt* s = Statement(st_->set_pin_ok);
  sqlite3_bind_int(s, 1, pin_ok ? 1 : 0);
  sqlite3_bind_int64(s, 2, data_id);
  Execute(s, "Cannot store the PIN result");
}

std::vector<MiscRow> ResultsDb::ReadMisc() {
  return AllRows(
      Statement(st_->read_misc),
      [](sqlite3_stmt* r) {
        return MiscRow{sqlite3_column_int64(r, 0), ColumnText(r, 1), sqlite3_column_int(r, 2) != 0,
                       ColumnText(r, 3)};
      },
      "Cannot read the tested files");
}

// Rows numbered one after another (records, findings) go into the file
// many to a statement with their number in the first row only: SQLite
// gives each row after it the table's last number plus one, and appends it
// without first searching the table for a row of that number (a tenth of
// what writing a run's records and findings costs it). Each row then has
// the number it carries exactly when the last one has: the first's is its
// own (a number already in the table fails), and each after it is at least
// one past the row before it.

// Whether the rows are numbered one after another from a number of their
// own (not 0), as a run numbers its records and findings.
template <typename Row>
static bool NumberedInTurn(std::span<const Row> rows, int64_t Row::*number) {
  const int64_t first = rows.front().*number;
  if (first == 0) return false;
  for (size_t k = 1; k < rows.size(); ++k)
    if (rows[k].*number != first + static_cast<int64_t>(k)) return false;
  return true;
}

void ResultsDb::CheckLastNumber(int64_t number, std::string_view failure) {
  if (sqlite3_last_insert_rowid(db_) == number) return;
  throw StoreError(SQLITE_CONSTRAINT, std::string(failure) + ": " + std::to_string(number) +
                                          " does not follow the last row stored (" + path_ + ")");
}

template <typename Row, typename Bind, typename InsertOne>
void ResultsDb::InsertManyRows(LazyStatement& many, std::span<const Row> rows, size_t per_statement,
                               int64_t Row::*number, const Bind& bind, int columns,
                               const InsertOne& insert_one, std::string_view failure) {
  size_t i = 0;
  if (rows.size() >= per_statement) {
    sqlite3_stmt* s = Statement(many);
    for (; rows.size() - i >= per_statement; i += per_statement) {
      const std::span<const Row> part = rows.subspan(i, per_statement);
      const bool in_turn = NumberedInTurn(part, number);
      for (size_t k = 0; k < part.size(); ++k)
        bind(s, part[k], static_cast<int>(k) * columns + 1, in_turn && k > 0);
      Execute(s, failure);
      if (in_turn) CheckLastNumber(part.back().*number, failure);
    }
  }
  for (; i < rows.size(); ++i) insert_one(rows[i]);
}

// The columns of a record that a statement binds, from parameter first on;
// numbered_by_db: the row's Rec_Num is left for SQLite to give.
constexpr int kRecordColumns = 6;
static void BindRecord(sqlite3_stmt* s, const RecordRow& row, int first = 1,
                       bool numbered_by_db = false) {
  if (numbered_by_db)
    sqlite3_bind_null(s, first);
  else
    sqlite3_bind_int64(s, first, row.rec_num);
  BindCp1252(s, first + 1, row.id);
  sqlite3_bind_int64(s, first + 2, row.rce_indx);
  sqlite3_bind_int(s, first + 3, row.errors);
  BindCp1252(s, first + 4, row.record);
  BindCp1252(s, first + 5, row.rec_reference);
}

void ResultsDb::InsertRecord(const RecordRow& row) {
  BindRecord(Statement(st_->insert_record), row);
  Execute(Statement(st_->insert_record), "Cannot store a record");
}

// Many rows to a statement, as the findings: a statement's own cost (its
// cursors opened and closed, its bindings cleared) is then shared by a run's
// records, which come by the hundred thousand.
void ResultsDb::InsertRecords(std::span<const RecordRow> rows) {
  InsertManyRows(
      st_->insert_records, rows, kRecordsPerInsert, &RecordRow::rec_num, BindRecord, kRecordColumns,
      [this](const RecordRow& row) { InsertRecord(row); }, "Cannot store a record");
}

void ResultsDb::UpdateRecord(const RecordRow& row) {
  BindRecord(Statement(st_->update_record), row);
  Execute(Statement(st_->update_record), "Cannot update a record");
}

// The RecordRow of the statement's current row (selected by kSelectRecordRow).
static RecordRow RecordRowAt(sqlite3_stmt* s) {
  return RecordRow{sqlite3_column_int64(s, 0), ColumnCp1252(s, 1), sqlite3_column_int64(s, 2),
                   sqlite3_column_int(s, 3),   ColumnCp1252(s, 4), ColumnCp1252(s, 5)};
}

std::optional<RecordRow> ResultsDb::ReadOneRecord(sqlite3_stmt* s, int64_t key, const char* what) {
  sqlite3_bind_int64(s, 1, key);
  return OneRow(s, RecordRowAt, what);
}

std::optional<RecordRow> ResultsDb::ReadRecord(int64_t rec_num) {
  return ReadOneRecord(Statement(st_->read_record), rec_num, "Cannot read a record");
}

std::optional<RecordRow> ResultsDb::FirstEmployerRecordWithIndx(int64_t rce_indx) {
  return ReadOneRecord(Statement(st_->employer_with_indx), rce_indx,
                       "Cannot look up the employer record");
}

std::optional<RecordRow> ResultsDb::LastEmployerRecordBefore(int64_t rec_num) {
  return ReadOneRecord(Statement(st_->employer_before), rec_num,
                       "Cannot look up the employer record");
}

static RecordListing ListingOf(sqlite3_stmt* s) {
  return RecordListing{sqlite3_column_int64(s, 0), sqlite3_column_int(s, 1), ColumnText(s, 2)};
}

std::vector<RecordListing> ResultsDb::ListRecords(int64_t first_rec_num, int64_t last_rec_num) {
  sqlite3_stmt* s = Statement(st_->list_records);
  sqlite3_bind_int64(s, 1, first_rec_num);
  sqlite3_bind_int64(s, 2, last_rec_num);
  return AllRows(s, ListingOf, "Cannot read the grid's records");
}

std::optional<RecordListing> ResultsDb::ListRecord(int64_t rec_num) {
  sqlite3_stmt* s = Statement(st_->list_record);
  sqlite3_bind_int64(s, 1, rec_num);
  return OneRow(s, ListingOf, "Cannot read the grid's records");
}

std::optional<RecordRow> ResultsDb::NextEmployerRecord(int64_t after_rec_num) {
  return ReadOneRecord(Statement(st_->next_employer_record), after_rec_num, "Cannot read a record");
}

int64_t ResultsDb::CountOrFail(sqlite3_stmt* s, std::string_view failure) {
  const std::optional<int64_t> n = OneRow(s, FirstColumnInt, failure);
  if (!n) Fail(failure);
  return *n;
}

int64_t ResultsDb::CountRecords() {
  if (tally_) return tally_->records;
  if (record_count_) return *record_count_;
  const int64_t count = CountOrFail(Statement(st_->count_records), "Cannot count the records");
  if (read_only_) record_count_ = count;
  return count;
}

std::optional<int64_t> ResultsDb::RecordedRecordCount() {
  if (!st_->read_record_count.present()) return std::nullopt;
  return OneRow(Statement(st_->read_record_count), FirstColumnInt,
                "Cannot read how the test run ended");
}

std::optional<int64_t> ResultsDb::RecordedErrorCount() {
  if (!st_->read_error_count.present()) return std::nullopt;
  return OneRow(Statement(st_->read_error_count), FirstColumnInt,
                "Cannot read how the test run ended");
}

ResultsDb::RecordTally ResultsDb::TallyRecords() {
  if (tally_) return *tally_;
  constexpr const char* kFailure = "Cannot count the records";
  const std::optional<RecordTally> tally = OneRow(
      Statement(st_->tally_records),
      [](sqlite3_stmt* r) {
        return RecordTally{sqlite3_column_int64(r, 0), sqlite3_column_int64(r, 1)};
      },
      kFailure);
  if (!tally) Fail(kFailure);
  if (read_only_) tally_ = tally;
  return *tally;
}

int64_t ResultsDb::CountRecordsWithId(std::string_view id) {
  if (id == "RCW" && st_->read_rcw_count.present()) {
    const std::optional<int64_t> recorded =
        OneRow(Statement(st_->read_rcw_count), FirstColumnInt, "Cannot count the records");
    if (recorded) return *recorded;
  }
  sqlite3_stmt* s = Statement(st_->count_records_with_id);
  BindCp1252(s, 1, id);
  return CountOrFail(s, "Cannot count the records");
}

int64_t ResultsDb::LastRecNum() {
  return OneRow(Statement(st_->last_rec_num), FirstColumnInt, "Cannot read the last record number")
      .value_or(0);
}

// The columns of a finding that a statement binds, from parameter first on.
constexpr int kErrorColumns = 6;
// numbered_by_db: the row's Err_Num is left for SQLite to give.
static void BindErrorRow(sqlite3_stmt* s, const ErrorRow& row, int first = 1,
                         bool numbered_by_db = false) {
  BindKey(s, first, numbered_by_db ? 0 : row.err_num);
  BindCp1252(s, first + 1, row.type);
  sqlite3_bind_int64(s, first + 2, row.rec_num);
  BindCp1252(s, first + 3, row.reference);
  BindCp1252(s, first + 4, row.user_entry);
  BindCp1252(s, first + 5, row.error);
}

int64_t ResultsDb::InsertError(const ErrorRow& row) {
  sqlite3_stmt* s = Statement(st_->insert_error);
  BindErrorRow(s, row);
  Execute(s, "Cannot store a finding");
  return sqlite3_last_insert_rowid(db_);
}

// A statement of many rows costs SQLite far less per row than as many
// statements of one: the findings of a run come by the thousand.
void ResultsDb::InsertErrors(std::span<const ErrorRow> rows) {
  InsertManyRows(
      st_->insert_errors, rows, kErrorsPerInsert, &ErrorRow::err_num, BindErrorRow, kErrorColumns,
      [this](const ErrorRow& row) { InsertError(row); }, "Cannot store a finding");
}

// The ErrorRow of the statement's current row (Err_Num, Type, Rec_Num,
// Reference, User_Entry, Error).
static ErrorRow ErrorRowAt(sqlite3_stmt* s) {
  return ErrorRow{sqlite3_column_int64(s, 0), ColumnCp1252(s, 1), sqlite3_column_int64(s, 2),
                  ColumnCp1252(s, 3),         ColumnCp1252(s, 4), ColumnCp1252(s, 5)};
}

std::vector<ErrorRow> ResultsDb::ReadErrorsOf(int64_t rec_num) {
  sqlite3_stmt* s = Statement(st_->read_errors_of);
  sqlite3_bind_int64(s, 1, rec_num);
  return AllRows(s, ErrorRowAt, "Cannot read the findings of a record");
}

int64_t ResultsDb::CountErrors() {
  return CountOrFail(Statement(st_->count_errors), "Cannot count the findings");
}

int64_t ResultsDb::CountRecordsWithErrors() {
  return CountOrFail(Statement(st_->count_records_with_errors),
                     "Cannot count the records with findings");
}

std::vector<int64_t> ResultsDb::RecordNumbersWithErrors() {
  return AllRows(Statement(st_->record_numbers_with_errors), FirstColumnInt,
                 "Cannot read the grid's records");
}

std::optional<ErrorRow> ResultsDb::ReadLastError() {
  return OneRow(Statement(st_->read_last_error), ErrorRowAt, "Cannot read the last finding");
}

int64_t ResultsDb::CountFindingsWithoutRecord() {
  return CountOrFail(Statement(st_->count_findings_without_record), "Cannot count the findings");
}

void ResultsDb::ForEachReportRow(const std::function<bool(const ReportRow&)>& row) {
  // One row object for all the rows: its strings keep their storage.
  ReportRow r;
  EachRow(
      Statement(st_->report_rows),
      [&](sqlite3_stmt* s) {
        r.err_num = sqlite3_column_int64(s, 0);
        r.type = ColumnCp1252(s, 1);
        r.rec_num = sqlite3_column_int64(s, 2);
        r.reference = ColumnCp1252(s, 3);
        r.user_entry = ColumnCp1252(s, 4);
        r.error = ColumnCp1252(s, 5);
        r.id = ColumnCp1252(s, 6);
        r.rec_reference = ColumnCp1252(s, 7);
        return row(r);
      },
      "Cannot read the findings for the report");
}

// Binds a running-total row's columns in table order (each pair's columns
// in the order of kPairColumns); ReadTotalsColumns reads them so.
static void BindTotals(sqlite3_stmt* s, const TotalsRow& row) {
  BindKey(s, 1, row.indx);
  BindCp1252(s, 2, row.rce_ein);
  sqlite3_bind_int64(s, 3, row.count);
  int i = 4;
  for (const TotalsRow::Pair& p : row.pairs) {
    sqlite3_bind_double(s, i++, static_cast<double>(p.correct));
    sqlite3_bind_int(s, i++, p.correct_blank ? 1 : 0);
    sqlite3_bind_double(s, i++, static_cast<double>(p.orig));
    sqlite3_bind_int(s, i++, p.orig_blank ? 1 : 0);
    BindCp1252(s, i++, p.err_ref);
  }
}

int64_t ResultsDb::InsertTotals(TotalsTable table, const TotalsRow& row) {
  sqlite3_stmt* s = Statement(st_->insert_totals[static_cast<int>(table)]);
  BindTotals(s, row);
  Execute(s, std::string("Cannot store a row of ") + TableName(table));
  return sqlite3_last_insert_rowid(db_);
}

void ResultsDb::UpdateTotals(TotalsTable table, const TotalsRow& row) {
  sqlite3_stmt* s = Statement(st_->update_totals[static_cast<int>(table)]);
  BindTotals(s, row);
  Execute(s, std::string("Cannot update a row of ") + TableName(table));
}

// A sum column holds a double (as the table has always declared it): whole
// cents, exact up to 2^53. A sum kept at the largest whole number is
// stored as 2^63, one past it, which does not convert: it reads as the
// largest again. Beyond the range a value reads as its end, NaN as 0.
static int64_t SumColumn(sqlite3_stmt* s, int c) {
  constexpr double kPastLargest = 9223372036854775808.0;  // 2^63
  const double sum = sqlite3_column_double(s, c);
  if (std::isnan(sum)) return 0;
  if (sum >= kPastLargest) return std::numeric_limits<int64_t>::max();
  if (sum < -kPastLargest) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(sum);
}

TotalsRow ResultsDb::ReadTotalsColumns(TotalsTable table, sqlite3_stmt* s, int c) {
  TotalsRow row(table);
  row.indx = sqlite3_column_int64(s, c++);
  row.rce_ein = ColumnCp1252(s, c++);
  row.count = sqlite3_column_int64(s, c++);
  for (TotalsRow::Pair& p : row.pairs) {
    p.correct = SumColumn(s, c++);
    p.correct_blank = sqlite3_column_int(s, c++) != 0;
    p.orig = SumColumn(s, c++);
    p.orig_blank = sqlite3_column_int(s, c++) != 0;
    p.err_ref = ColumnCp1252(s, c++);
  }
  return row;
}

std::optional<TotalsRow> ResultsDb::ReadOneTotals(TotalsTable table, sqlite3_stmt* s, int64_t key) {
  sqlite3_bind_int64(s, 1, key);
  return OneRow(
      s, [&](sqlite3_stmt* r) { return ReadTotalsColumns(table, r, 0); },
      std::string("Cannot read a row of ") + TableName(table));
}

std::optional<TotalsRow> ResultsDb::ReadTotals(TotalsTable table, int64_t indx) {
  return ReadOneTotals(table, Statement(st_->read_totals[static_cast<int>(table)]), indx);
}

std::optional<TotalsRow> ResultsDb::ReadTotalsForRecord(TotalsTable table, int64_t rec_num) {
  return ReadOneTotals(table, Statement(st_->read_totals_for_record[static_cast<int>(table)]),
                       rec_num);
}

int64_t ResultsDb::CountTotals(TotalsTable table) {
  return CountOrFail(Statement(st_->count_totals[static_cast<int>(table)]),
                     std::string("Cannot count the rows of ") + TableName(table));
}

bool ResultsDb::Replaced() const {
  int moved = 0;
  return sqlite3_file_control(db_, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK &&
         moved != 0;
}

}  // namespace lintaro
