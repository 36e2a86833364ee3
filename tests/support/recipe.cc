#include "support/recipe.h"

#include <cctype>
#include <cstdio>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "support/clean_records.h"

namespace lintaro::testing {
namespace {

[[noreturn]] void Fail(const std::string& problem) { throw std::invalid_argument(problem); }

int Number(const std::string& text) {
  if (!std::regex_match(text, std::regex(R"(\d{1,9})"))) Fail("not a number: " + text);
  return std::stoi(text);
}

// A line's next word after blanks (its quoted parts may hold blanks), or
// its note: "#" and the text after it.
const std::regex kItem(R"re([ \t]*(?:#[ ]*(.*)|((?:[^\s"\\]|\\.|"(?:[^"\\]|\\.)*")+)))re");
const std::regex kQuoted(R"re("((?:[^"\\]|\\.)*)")re");
const std::regex kDollars(R"re((\d+)(?:\.(\d\d))?)re");

// A recipe line, with the continuation lines after it for a record.
struct Entry {
  int line = 0;
  std::vector<std::string> words;  // up to the note; "==" and the title for a title line
  std::string comment;             // the note
};

// Reads the words and the note of a line.
void ReadWords(const std::string& line, Entry& entry) {
  std::smatch m;
  auto at = line.cbegin();
  for (; std::regex_search(at, line.cend(), m, kItem, std::regex_constants::match_continuous);
       at = m[0].second) {
    if (m[1].matched) {
      if (entry.comment.empty()) entry.comment = m[1];
      return;
    }
    entry.words.push_back(m[2]);
  }
  if (std::string(at, line.cend()).find_first_not_of(" \t") != std::string::npos)
    Fail("line " + std::to_string(entry.line) + ": a quote is not closed: " + line);
}

std::vector<Entry> Entries(std::string_view recipe) {
  std::vector<Entry> entries;
  std::istringstream in{std::string(recipe)};
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.ends_with('\r')) line.pop_back();
    Entry entry;
    entry.line = ++number;
    if (line.starts_with("=="))
      entry.words = {"==", line.substr(std::min(line.find_first_not_of("= "), line.size()))};
    else
      ReadWords(line, entry);
    if (entry.words.empty()) continue;
    if (!std::isblank(static_cast<unsigned char>(line[0]))) {
      entries.push_back(std::move(entry));
      continue;
    }
    // Only a record goes on: a directive or a title does not.
    const std::string& last = entries.empty() ? "==" : entries.back().words[0];
    if (last == "==" || last.size() > 3)
      Fail("line " + std::to_string(number) + ": a continuation line without a record");
    Entry& record = entries.back();
    record.words.insert(record.words.end(), entry.words.begin(), entry.words.end());
    if (record.comment.empty()) record.comment = entry.comment;
  }
  return entries;
}

// An amount in dollars ("1200.00", "0.01", "97500") as cents, zero-filled to
// the width of the record type's money fields.
std::string Money(const std::string& amount, std::string_view id) {
  const size_t width = id == "RCW" || id == "RCO" ? 11 : id == "RCT" || id == "RCU" ? 15 : 0;
  std::smatch m;
  if (width == 0 || !std::regex_match(amount, m, kDollars))
    Fail("not an amount of " + std::string(id) + ": " + amount);
  const std::string cents = m[1].str() + (m[2].matched ? m[2].str() : "00");
  if (cents.size() > width) Fail("too large: " + amount);
  return std::string(width - cents.size(), '0') + cents;
}

// A value as written: an amount ("$..."), a quoted text or an escaped text.
std::string Value(const std::string& value, std::string_view id) {
  if (value.starts_with('$')) return Money(value.substr(1), id);
  std::smatch m;
  if (std::regex_match(value, m, kQuoted)) return Unescape(m[1].str());
  if (value.find('"') != std::string::npos) Fail("text around a quote: " + value);
  return Unescape(value);
}

// Turns the entries into submissions: each record from a clean one of its
// type, counting the RCW and RCO records for the clean total records.
class SubmissionBuilder {
 public:
  std::vector<Submission> Build(const std::vector<Entry>& entries) {
    for (const Entry& entry : entries) {
      try {
        if (submissions_.empty() && entry.words[0] != "==") Start("");
        Add(entry);
      } catch (const std::logic_error& e) {  // a misread value or a field outside the record
        Fail("line " + std::to_string(entry.line) + ": " + e.what());
      }
    }
    return std::move(submissions_);
  }

 private:
  void Start(const std::string& title) {
    submissions_.emplace_back().title = title;
    submissions_.back().files.emplace_back();
    rcw_block_ = rco_block_ = rcw_all_ = 0;
  }

  void Add(const Entry& entry) {
    const std::string& word = entry.words[0];
    if (word == "==") return Start(entry.words[1]);
    Submission& s = submissions_.back();
    if (word == "limit" || word == "date" || word == "raw" || word == "file") {
      if (entry.words.size() != (word == "file" ? 1u : 2u))
        Fail(word + (word == "file" ? " takes nothing" : " takes one value"));
      if (word == "limit") s.max_errors = Number(entry.words[1]);
      if (word == "raw") s.files.back() += Value(entry.words[1], "");
      if (word == "file") s.files.emplace_back();
      if (word == "date" && std::sscanf(entry.words[1].c_str(), "%d-%d-%d", &s.today.year,
                                        &s.today.month, &s.today.day) != 3)
        Fail("a date is written YYYY-MM-DD");
      return;
    }
    if (word.size() > 3) Fail("a record identifier has at most three characters: " + word);
    const std::string record = Record(entry);
    s.files.back() += record + "\r\n";
    s.records.push_back({record, entry.comment});
  }

  std::string CleanRecord(const std::string& id) const {
    if (id == "RCA") return CleanRCA();
    if (id == "RCE") return CleanRCE();
    if (id == "RCW") return CleanRCW();
    if (id == "RCO") return CleanRCO();
    if (id == "RCT") return CleanRCT(rcw_block_);
    if (id == "RCU") return CleanRCU(rco_block_);
    if (id == "RCF") return FinalRecord(rcw_all_);
    return MakeRecord(id);
  }

  // The record with each POSITION=VALUE (or length=N) of the entry applied.
  std::string Record(const Entry& entry) {
    const std::string& id = entry.words[0];
    std::string record = CleanRecord(id);
    for (size_t i = 1; i < entry.words.size(); ++i) {
      const std::string& word = entry.words[i];
      const size_t equals = word.find('=');
      if (equals == std::string::npos) Fail("expected POSITION=VALUE: " + word);
      const std::string key = word.substr(0, equals), value = Value(word.substr(equals + 1), id);
      if (key == "length") {
        record.resize(static_cast<size_t>(Number(value)), ' ');
        continue;
      }
      record = Patch(record, {{Number(key), value}});
    }
    // The record counts as what it is written as, not as what it started from.
    const std::string_view written = std::string_view(record).substr(0, 3);
    if (written == "RCE") rcw_block_ = rco_block_ = 0;
    if (written == "RCW") ++rcw_block_, ++rcw_all_;
    if (written == "RCO") ++rco_block_;
    return record;
  }

  std::vector<Submission> submissions_;
  int rcw_block_ = 0, rco_block_ = 0, rcw_all_ = 0;
};

}  // namespace

std::vector<Submission> ReadRecipe(std::string_view recipe) {
  return SubmissionBuilder().Build(Entries(recipe));
}

std::string Escape(std::string_view bytes) {
  constexpr std::string_view kPlain = "\\\t\r\n", kNamed = "\\trn";
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const size_t blanks = std::min(bytes.find_first_not_of(' ', i), bytes.size()) - i;
    if (blanks > 0 && (blanks >= 8 || i + blanks == bytes.size())) {
      out += "\\s{" + std::to_string(blanks) + "}";
      i += blanks - 1;
    } else if (const size_t named = kPlain.find(static_cast<char>(c)); named != kPlain.npos) {
      out += {'\\', kNamed[named]};
    } else if (c < 32 || c >= 127) {
      out += {'\\', 'x', "0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]};
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string Unescape(std::string_view text) {
  static const std::regex kEscape(R"re(\\(?:([\\"])|([trn])|x([0-9A-Fa-f]{2})|s\{(\d+)\}|))re");
  const std::string escaped(text);
  std::string out;
  auto plain = escaped.cbegin();
  for (std::sregex_iterator it(escaped.begin(), escaped.end(), kEscape), end; it != end; ++it) {
    const std::smatch& m = *it;
    out.append(plain, m[0].first);
    plain = m[0].second;
    if (m[1].matched)
      out += m[1].str();
    else if (m[2].matched)
      out += "\t\r\n"[std::string_view("trn").find(m[2].str()[0])];
    else if (m[3].matched)
      out += static_cast<char>(std::stoi(m[3].str(), nullptr, 16));
    else if (m[4].matched)
      out.append(static_cast<size_t>(Number(m[4].str())), ' ');
    else
      Fail("unknown escape in " + escaped);
  }
  return out.append(plain, escaped.cend());
}

}  // namespace lintaro::testing
