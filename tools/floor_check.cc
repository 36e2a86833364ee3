// The floors the checker is measured against: read a submission file in
// 65,000-byte chunks, frame it into 1,024-character records and insert each
// record into a one-column SQLite table, all in one transaction. Nothing is
// checked.
//
// By default the database has SQLite's own settings (4 KiB pages, synced at
// the commit). With --fair it is written as the results file is
// (store/results_db.cc): 16 KiB pages, a rollback journal deleted at the
// commit, no sync, an 8 MiB page cache. The checker is held to the fair
// floor; the default one is kept so that older figures compare.
//
//   floor_check [--fair] FILE DB
#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  const bool fair = argc == 4 && std::strcmp(argv[1], "--fair") == 0;
  if (argc != 3 && !fair) {
    std::fputs("usage: floor_check [--fair] FILE DB\n", stderr);
    return 2;
  }
  const char* file = argv[argc - 2];
  const char* db_path = argv[argc - 1];
  std::remove(db_path);
  sqlite3* db = nullptr;
  if (sqlite3_open(db_path, &db) != SQLITE_OK) return 1;
  if (fair) {
    sqlite3_exec(db,
                 "PRAGMA page_size=16384; PRAGMA journal_mode=DELETE; PRAGMA synchronous=OFF;"
                 " PRAGMA cache_size=-8192;",
                 nullptr, nullptr, nullptr);
  }
  sqlite3_exec(db, "CREATE TABLE R (Record TEXT); BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO R VALUES (?)", -1, &insert, nullptr);
  std::FILE* f = std::fopen(file, "rb");
  if (!f) return 1;
  std::vector<char> chunk(65000);
  std::string record;
  long long count = 0;
  auto flush = [&] {
    sqlite3_bind_text(insert, 1, record.data(), static_cast<int>(record.size()), SQLITE_STATIC);
    sqlite3_step(insert);
    sqlite3_reset(insert);
    record.clear();
    ++count;
  };
  size_t n;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), f)) > 0) {
    for (size_t i = 0; i < n; ++i) {
      char c = chunk[i];
      if (c == '\r' || c == '\n') {
        if (!record.empty()) flush();
        continue;
      }
      record.push_back(c);
      if (record.size() == 1024) flush();
    }
  }
  if (!record.empty()) flush();
  std::fclose(f);
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  std::printf("%lld records\n", count);
  return 0;
}
