// main_test.cpp: runs the built adpcmtbl in a scratch directory and compares
// standard output, standard error, the exit status, pcmxml.txt and PCMTBL
// byte for byte with a model of the file formats written apart from the tool.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kBanner = "Velomira ADPCM Table maker\n";
#ifdef ADPCMTBL_USAGE_UTF8
const std::string kNoCheckText = "データファイルの存在をチェックしない";  // this file is UTF-8
#else
const std::string kNoCheckText =  // the same text in Shift_JIS
    "\x83\x66\x81\x5b\x83\x5e\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x91\xb6"
    "\x8d\xdd\x82\xf0\x83\x60\x83\x46\x83\x62\x83\x4e\x82\xb5\x82\xc8\x82\xa2";
#endif
const std::string kEarlier = "earlier contents";  // must be replaced or kept
const std::string kGone = "(no such file)", kDirectory = "(a directory)", kLink = "(a link)";

struct Outcome {
  std::string out, err;
  int status = -1;
  std::string map, pcmtbl;
};

std::string Slurp(const fs::path& path) {
  if (fs::is_symlink(path)) { return kLink; }  // never read /dev/full
  if (fs::is_directory(path)) { return kDirectory; }
  std::ifstream in(path, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : kGone;
}

void Put(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Entry(const std::string& name, std::uint16_t start_mark, std::uint16_t end_mark,
                  unsigned char attribute) {
  std::string e = name + std::string(32 - name.size(), '\0');
  const char marks[] = {static_cast<char>(start_mark), static_cast<char>(start_mark >> 8),
                        static_cast<char>(end_mark), static_cast<char>(end_mark >> 8)};
  e.replace(16, 4, marks, 4);
  e[27] = static_cast<char>(attribute);
  return e;
}

std::string Hex(std::uint32_t value) {  // lowercase, at least 5 digits
  std::string s;
  for (; value != 0 || s.size() < 5; value /= 16) { s.insert(s.begin(), "0123456789abcdef"[value % 16]); }
  return s;
}

const std::string kHelp =
    "Usage: adpcmtbl [-n]\n"
    "       adpcmtbl --help | --version\n"
    "Lays the voices of the voice table DATA out one after another in ADPCM\n"
    "ROM and writes the address table PCMTBL and the ROM map pcmxml.txt, all\n"
    "in the current directory; prints one line per voice on standard output.\n"
    "\n"
    "  -n         do not check that each voice's data file VOICE.n exists\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and licence and exit\n"
    "\n"
    "Files:\n"
    "  DATA        the voice table, read\n"
    "  VOICE.n     the data file of voice n (1 to 32), only tested for presence\n"
    "  pcmxml.txt  the ROM map, written\n"
    "  PCMTBL      the address table, written\n"
    "\n"
    "Exit status: 0 on success, missing voice files included; 1 after the usage\n"
    "text or any failure.\n"
    "\n"
    "The manual: man adpcmtbl (docs/adpcmtbl.1 in the sources, adpcmtbl.html in\n"
    "the Windows zip).\n";

// What a run over |data| with |args| must produce when no file is in the way.
Outcome Expected(const std::string& data, const std::set<int>& present,
                 const std::vector<std::string>& args) {
  if (args.size() >= 2) {
    return {"", kBanner + "Usage: " ADPCMTBL_EXE " [-n]\n\t-n : ADPCM" + kNoCheckText + "\n",
            1, kEarlier, kEarlier};
  }
  if (args == std::vector<std::string>{"--help"}) { return {kHelp, kBanner, 0, kEarlier, kEarlier}; }
  if (args == std::vector<std::string>{"--version"}) {
    return {"adpcmtbl " ADPCMTBL_VERSION "\nCopyright (c) 2026 The adpcmtbl developers; released under the MIT License.\n",
            kBanner, 0, kEarlier, kEarlier};
  }
  const bool check = args.size() != 1 || args[0] != "-n";
  std::string table = data.substr(0, 1024);
  table.resize(1024, '\0');
  Outcome o{"", kBanner, 0, "", std::string(256, '\0')};
  std::int64_t next = 0;
  for (std::size_t slot = 0; slot < 32 && table[32 * slot] != '\0'; ++slot) {
    const int number = static_cast<int>(slot) + 1;
    if (check && !present.contains(number)) {
      o.err += "Not found \"VOICE." + std::to_string(number) + "\"\n";
      continue;
    }
    auto byte = [&](std::size_t offset) { return static_cast<unsigned char>(table[(32 * slot) + offset]); };
    const std::int64_t difference = (byte(18) | byte(19) << 8) - (byte(16) | byte(17) << 8);
    const std::int64_t start = next;
    const std::int64_t end = start + (difference >= 0 ? difference / 4 : -((-difference + 3) / 4));
    next = end + 4;
    for (std::size_t k = 0; k < 2; ++k) {  // low 16 bits, little-endian
      o.pcmtbl[(8 * slot) + k] = static_cast<char>((start >> (8 * k)) & 0xFF);
      o.pcmtbl[(8 * slot) + 2 + k] = static_cast<char>((end >> (8 * k)) & 0xFF);
    }
    o.pcmtbl[(8 * slot) + 6] = static_cast<char>(byte(27));
    const std::string field = table.substr(32 * slot, 16);
    std::string name = field.substr(0, field.find('\0'));  // ends at its first zero byte
    name.resize(16, ' ');
    const std::string offset = Hex(static_cast<std::uint32_t>((start * 4) & 0xFFFFFFFF));
    o.out.append(number < 10 ? "PCM NO. " : "PCM NO.").append(std::to_string(number));
    o.out.append(":").append(name).append(" ADR:").append(offset).append("\n");
    o.map += "\t\t\t<rom type=\"adpcm\" offset=\"0x" + offset + "\">voice." +
             std::to_string(number) + "</rom>\r\n";
  }
  return o;
}

// One word for the shell, whatever it holds: in single quotes, each ' as '\''.
std::string Quoted(const std::string& word) {
  std::string quoted = "'";
  for (const char ch : word) {
    if (ch == '\'') {
      quoted += "'\\''";
    } else {
      quoted += ch;
    }
  }
  quoted += '\'';
  return quoted;
}

// The offset of the first byte where |a| and |b| differ.
std::size_t FirstDifference(const std::string& a, const std::string& b) {
  return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first -
                                  a.begin());
}

std::string HexByte(unsigned char byte) {
  return {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 0xF]};
}

// |bytes| in double quotes on one line, every byte that is not printable ASCII
// written as an escape.
std::string Shown(const std::string& bytes) {
  std::string shown = "\"";
  for (const char ch : bytes) {
    const auto byte = static_cast<unsigned char>(ch);
    if (ch == '\n') {
      shown += "\\n";
    } else if (ch == '\r') {
      shown += "\\r";
    } else if (ch == '\t') {
      shown += "\\t";
    } else if (ch == '"' || ch == '\\') {
      shown.append(1, '\\').append(1, ch);
    } else if (byte < 0x20 || byte > 0x7E) {
      shown.append("\\x").append(HexByte(byte));
    } else {
      shown += ch;
    }
  }
  return shown + "\"";
}

// The first line in which two texts differ, in both, after |head|; the second
// line is aligned under the first.  "" when the texts are the same.
std::string TextDifference(const std::string& head, const std::string& want, const std::string& got) {
  if (want == got) { return ""; }
  const std::size_t at = FirstDifference(want, got);
  const std::size_t start = at == 0 ? 0 : want.rfind('\n', at - 1) + 1;  // npos + 1 is 0
  auto line = [&](const std::string& text) {
    if (start >= text.size()) { return std::string("(the end)"); }
    const std::size_t end = text.find('\n', start);
    return Shown(text.substr(start, end == std::string::npos ? end : end + 1 - start));
  };
  const std::string number =
      "line " + std::to_string(1 + std::count(want.begin(), want.begin() + static_cast<std::ptrdiff_t>(start), '\n'));
  return head + number + ", expected " + line(want) + "\n" + std::string(head.size() + number.size(), ' ') +
         "    actual " + line(got) + "\n";
}

// The first byte in which two binary files differ, and their sizes; a file
// that is not there or holds its earlier contents is named as such.
std::string ByteDifference(const std::string& head, const std::string& want, const std::string& got) {
  if (want == got) { return ""; }
  const std::size_t at = FirstDifference(want, got);
  auto byte = [&](const std::string& bytes) {
    return at < bytes.size() ? "0x" + HexByte(static_cast<unsigned char>(bytes[at])) : std::string("(the end)");
  };
  auto kind = [](const std::string& bytes) {
    const bool marker = bytes == kGone || bytes == kDirectory || bytes == kLink || bytes == kEarlier;
    return marker ? Shown(bytes) : std::to_string(bytes.size()) + " bytes";
  };
  return head + "byte " + std::to_string(at) + ", expected " + byte(want) + ", actual " + byte(got) + " (" +
         kind(want) + " expected, " + kind(got) + " actual)\n";
}

// The parts of an outcome, compared one by one.
constexpr const char* kFieldNames[] = {"stdout", "stderr", "status", "pcmxml.txt", "PCMTBL"};
constexpr std::size_t kFieldCount = std::size(kFieldNames);

// How |field| differs, in a line or two that begin with its name; "" where it does not.
std::string FieldDifference(const Outcome& want, const Outcome& got, std::size_t field) {
  const std::string head = std::string("    ") + kFieldNames[field] + " ";
  switch (field) {
    case 0: return TextDifference(head, want.out, got.out);
    case 1: return TextDifference(head, want.err, got.err);
    case 2:
      return want.status == got.status ? ""
                                       : head + "expected " + std::to_string(want.status) + ", actual " +
                                             std::to_string(got.status) + "\n";
    case 3: return TextDifference(head, want.map, got.map);
    default: return ByteDifference(head, want.pcmtbl, got.pcmtbl);
  }
}

// What many runs got wrong, in a few lines however many they are: every run
// that differed is named, and each field's first difference shown in full.
struct Tally {
  int differing = 0;
  std::string rows;  // a line for each run that differed, naming the fields, each first one in full
  std::string first[kFieldCount];      // the field's first difference in full, and its run
  std::vector<int> runs[kFieldCount];  // the numbers of the runs in which the field differed
};

void Note(Tally* tally, int number, const std::string& run, const Outcome& want, const Outcome& got) {
  std::string fields;
  std::string firsts;
  for (std::size_t field = 0; field < kFieldCount; ++field) {
    const std::string difference = FieldDifference(want, got, field);
    if (difference.empty()) { continue; }
    fields.append(fields.empty() ? "" : ", ").append(kFieldNames[field]);
    if (tally->runs[field].empty()) {
      firsts += difference;
      tally->first[field].append(run).append("\n").append(difference);
    }
    tally->runs[field].push_back(number);
  }
  if (!fields.empty()) {
    tally->rows.append("  ").append(run).append(": ").append(fields).append("\n").append(firsts);
    ++tally->differing;
  }
}

// "0-3, 5, 9": ascending numbers, each run of consecutive ones as a range.
std::string Ranges(const std::vector<int>& numbers) {
  std::string ranges;
  for (std::size_t i = 0, j = 0; i < numbers.size(); i = ++j) {
    while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) { ++j; }
    ranges.append(ranges.empty() ? "" : ", ").append(std::to_string(numbers[i]));
    if (j > i) { ranges.append("-").append(std::to_string(numbers[j])); }
  }
  return ranges;
}

class Run : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "adpcmtbl.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    dir_ = root_ / "work";
  }
  void TearDown() override { fs::remove_all(root_); }

  // A working directory holding DATA, the present voice files and earlier
  // outputs.
  void Prepare(const std::string& data, const std::set<int>& present) {
    fs::remove_all(dir_);
    fs::create_directory(dir_);
    Put(dir_ / "pcmxml.txt", kEarlier);
    Put(dir_ / "PCMTBL", kEarlier);
    Put(dir_ / "DATA", data);
    for (int n : present) { Put(dir_ / ("VOICE." + std::to_string(n)), "adpcm"); }
  }

  // |before| goes ahead of the tool in the shell command, |after| after its
  // redirections.
  Outcome Exec(const std::vector<std::string>& args, const std::string& before = "",
               const std::string& after = "") {
    std::string command = "cd ";
    command.append(Quoted(dir_.string())).append(" && ").append(before).append(Quoted(ADPCMTBL_EXE));
    for (const std::string& a : args) { command.append(" ").append(Quoted(a)); }
    command.append(" >").append(Quoted((root_ / "out").string()));
    command.append(" 2>").append(Quoted((root_ / "err").string())).append(" ").append(after);
    const int status = std::system(command.c_str());  // NOLINT(cert-env33-c): runs the tool through the shell's redirections
    return {Slurp(root_ / "out"), Slurp(root_ / "err"), WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            Slurp(dir_ / "pcmxml.txt"), Slurp(dir_ / "PCMTBL")};
  }

  fs::path root_, dir_;
};

// What stands in a run's way, and where.
enum class Way : std::uint8_t {
  kRemoved,      // the file is removed first
  kAsDirectory,  // a directory has its name
  kFullDevice,   // a link to /dev/full, where every write fails
  kEmpty,        // an empty file
  kLong,         // an earlier file longer than any the run writes
  kUnreadable,   // mode 000: missing for an ordinary user, present for root
  kReadOnly,     // mode 0444
  kFifo,         // a named pipe that no one writes to
  kUnremovable,  // writes past 512 bytes fail, and the directory is read-only
  kLimited,      // |file| goes ahead of the tool: a file-size limit, SIGXFSZ left at its default
  kRedirected,   // |file| holds redirections of the standard streams
};

const char* Describe(Way way) {
  switch (way) {
    case Way::kRemoved: return "removed";
    case Way::kAsDirectory: return "a directory";
    case Way::kFullDevice: return "a link to /dev/full";
    case Way::kEmpty: return "empty";
    case Way::kLong: return "long";
    case Way::kUnreadable: return "unreadable";
    case Way::kReadOnly: return "read-only";
    case Way::kFifo: return "a named pipe";
    case Way::kUnremovable: return "unremovable";
    case Way::kLimited: return "under a file-size limit";
    case Way::kRedirected: return "redirected";
  }
  return "?";
}

// The setpriv prefix that takes root's power to ignore a read-only directory,
// or "" for an ordinary user; nullopt where that power cannot be dropped.
std::optional<std::string> WithoutRootOverride() {
  if (geteuid() != 0) { return ""; }
  std::string setpriv = "setpriv --bounding-set=-dac_override,-dac_read_search ";
  if (std::system((setpriv + "true 2>/dev/null").c_str()) != 0) { return std::nullopt; }  // NOLINT(cert-env33-c)
  return setpriv;
}

// Files in the way and closed or full standard streams: each failure is
// reported and leaves no output with content that could pass for complete;
// everything else makes the same files as a normal run.
TEST_F(Run, FailuresAreReportedAndLeaveNoPartialFile) {
  std::string data;  // eleven voices, so that the map is longer than 512 bytes
  for (int n = 1; n <= 11; ++n) { data += Entry("V" + std::to_string(n), 0, 64, static_cast<unsigned char>(n)); }
  const std::set<int> present = {1, 2, 4, 5, 6, 7, 8, 9, 10, 11};  // VOICE.3 missing
  std::set<int> without_2 = present;
  without_2.erase(2);
  const Outcome good = Expected(data, present, {});
  const Outcome no_voice_2 = Expected(data, without_2, {});
  const std::string write_error = good.err + "Write error !!\n";
  const std::string no_data = kBanner + "Not found \"DATA\".\n";
  const Outcome text_unwritten = {"", kBanner + "Write error !!\n", 1, kEarlier, kEarlier};
  const std::string long_file(2000, 'x');
  struct Case {
    const char* file;
    Way way;
    Outcome want;
    // NOLINTNEXTLINE(readability-redundant-member-init): g++ -Wextra warns of rows without it
    std::vector<std::string> args = {};
    const char* permissions = nullptr;  // why the row needs them to hold: it runs without root's override
  };
  const Case cases[] = {
      {"DATA", Way::kRemoved, {"", no_data, 1, kEarlier, kEarlier}},
      {"DATA", Way::kAsDirectory, {"", no_data, 1, kEarlier, kEarlier}},
      {"pcmxml.txt", Way::kAsDirectory, {"", kBanner + "Can't open output file!!.\n", 1, kDirectory, kEarlier}},
      {"pcmxml.txt", Way::kFullDevice, {good.out, write_error, 1, kGone, kEarlier}},
      {"pcmxml.txt", Way::kUnremovable, {good.out, write_error, 1, "", kEarlier}, {},
       "root removes files from a read-only directory"},
      {"pcmxml.txt", Way::kLong, good},
      {"PCMTBL", Way::kAsDirectory, {good.out, good.err + "Can't open output file!!.\n", 1, good.map, kDirectory}},
      {"PCMTBL", Way::kFullDevice, {good.out, write_error, 1, good.map, kGone}},
      {"PCMTBL", Way::kRemoved, good},
      {"PCMTBL", Way::kLong, good},
      {"VOICE.2", Way::kEmpty, good},
      {"VOICE.2", Way::kAsDirectory, no_voice_2},
      {"VOICE.2", Way::kUnreadable, geteuid() == 0 ? good : no_voice_2},
      {"VOICE.2", Way::kReadOnly, good, {}, "root opens a read-only file for writing too"},
      {"VOICE.2", Way::kFifo, good},
      {"DATA", Way::kUnreadable, {"", no_data, 1, kEarlier, kEarlier}, {}, "root reads a file of mode 000"},
      {"DATA", Way::kReadOnly, good, {}, "root opens a read-only file for writing too"},
      // ulimit -f counts 512-byte blocks: the map's 532 bytes pass a limit of
      // one.  PCMTBL's 256 bytes pass only a limit of none, which only an
      // empty table (an empty map) lets the run reach; the redirected listing
      // and messages fall under that limit too, and are lost.
      {"ulimit -f 1 && ", Way::kLimited, {good.out, write_error, 1, kGone, kEarlier}},
      {": >DATA && ulimit -f 0 && ", Way::kLimited, {"", "", 1, "", kGone}},
      {"<&-", Way::kRedirected, good},
      {">&-", Way::kRedirected, {"", good.err, 0, good.map, good.pcmtbl}},
      {"2>&-", Way::kRedirected, {good.out, "", 0, good.map, good.pcmtbl}},
      {"<&- >&- 2>&-", Way::kRedirected, {"", "", 0, good.map, good.pcmtbl}},
      {">/dev/full", Way::kRedirected, text_unwritten, {"--help"}},
      {">/dev/full", Way::kRedirected, text_unwritten, {"--version"}},
  };
  const std::optional<std::string> setpriv = WithoutRootOverride();
  Tally tally;
  int number = 0;
  for (const Case& c : cases) {
    const std::string row = std::string(c.file) + ", " + Describe(c.way) + (c.args.empty() ? "" : ", " + c.args[0]);
    SCOPED_TRACE(row);
    ++number;
    std::string without_override;  // goes right ahead of the tool
    if (c.permissions != nullptr) {
      if (!setpriv) {
        std::cout << "skipped: " << row << " (" << c.permissions << "): root cannot drop CAP_DAC_OVERRIDE here\n";
        continue;
      }
      without_override = *setpriv;
    }
    Prepare(data, present);
    const fs::path file = dir_ / c.file;
    std::string before;
    std::string after;
    switch (c.way) {
      case Way::kRemoved: fs::remove(file); break;
      case Way::kAsDirectory: fs::remove(file), fs::create_directory(file); break;
      case Way::kFullDevice: fs::remove(file), fs::create_symlink("/dev/full", file); break;
      case Way::kEmpty: Put(file, ""); break;
      case Way::kLong: Put(file, long_file); break;
      case Way::kUnreadable: fs::permissions(file, fs::perms::none); break;
      case Way::kReadOnly:
        fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        break;
      case Way::kFifo:
        fs::remove(file);
        ASSERT_EQ(mkfifo(file.c_str(), 0644), 0);
        before = "timeout 10 ";  // a run that waits for a writer fails, and does not hang the suite
        break;
      case Way::kUnremovable:
        // 512-byte blocks; the signal a write past the limit raises is ignored,
        // so the write fails instead.
        before = "trap '' XFSZ && ulimit -f 1 && ";
        fs::permissions(dir_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        break;
      case Way::kLimited: before = c.file; break;
      case Way::kRedirected: after = c.file; break;
    }
    const Outcome got = Exec(c.args, before + without_override, after);
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    Note(&tally, number, row, c.want, got);
  }
  if (tally.differing != 0) {
    tally.rows.pop_back();  // the failure message ends its last line
    ADD_FAILURE() << tally.differing << " of " << std::size(cases) << " rows differ:\n" << tally.rows;
  }
}

// Random voice tables, voice file sets and argument lists against Expected().
TEST_F(Run, RandomTablesMatchTheFileFormats) {
  std::mt19937 random(20261209);  // NOLINT(cert-msc32-c,cert-msc51-cpp): a failure must repeat
  auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
  const std::vector<std::vector<std::string>> arguments = {
      {}, {"-n"}, {"-N"}, {"--n"}, {""}, {"-n "}, {"-n", "-n"}, {"a", "b", "c"},
      {"--help"}, {"--version"}, {"-h"}, {"--hel"}, {"--HELP"}, {"--help=x"}, {"--VERSION"},
      {"--help", "-n"}};
  constexpr int kRounds = 300;
  Tally tally;
  for (int round = 0; round < kRounds; ++round) {
    std::string data;
    // A quarter of the tables fill all 32 slots, the rest hold 0 to 33.
    for (int slot = chance(25) ? 32 : static_cast<int>(random() % 34); slot > 0; --slot) {
      std::string name(1 + (random() % 16), '\0');
      for (char& ch : name) { ch = static_cast<char>(chance(5) ? 0 : 1 + (random() % 255)); }
      if (chance(4)) { name[0] = '\0'; }
      const auto start = static_cast<std::uint16_t>(random());
      const auto end = static_cast<std::uint16_t>(chance(50) ? random() : start + (random() % 9) - 4);
      data += Entry(name, start, end, static_cast<unsigned char>(random()));
    }
    if (chance(30)) { data.resize(random() % (data.size() + 40), '\x01'); }
    std::set<int> present;
    for (int n = 1; n <= 32; ++n) {
      if (chance(85)) { present.insert(n); }
    }
    Prepare(data, present);
    const auto& args = arguments[random() % arguments.size()];
    std::string run = "round " + std::to_string(round);
    for (const std::string& a : args) { run.append(" ").append(Quoted(a)); }
    Note(&tally, round, run, Expected(data, present, args), Exec(args));
  }
  if (tally.differing != 0) {
    std::string fields;
    for (std::size_t field = 0; field < kFieldCount; ++field) {
      if (tally.runs[field].empty()) { continue; }
      fields.append("  ").append(kFieldNames[field]).append(" in ").append(std::to_string(tally.runs[field].size()));
      fields.append(" rounds: ").append(Ranges(tally.runs[field])).append("; the first, ").append(tally.first[field]);
    }
    fields.pop_back();  // the failure message ends its last line
    ADD_FAILURE() << tally.differing << " of " << kRounds << " rounds differ:\n" << fields;
  }
}

}  // namespace
