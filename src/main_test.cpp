// main_test.cpp: runs the built adpcmtbl in a fresh directory and compares
// standard output, standard error, the exit status, pcmxml.txt and PCMTBL
// byte for byte with what they must be.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kBanner = "Velomira ADPCM Table maker\n";
const std::string kWriteError = "Write error !!\n";
const std::string kCannotCreate = "Can't open output file!!.\n";
const std::string kDataNotFound = "Not found \"DATA\".\n";
// Left in the output files before a run, to see whether the run touched them.
const std::string kEarlier = "earlier contents";
const std::string kGone = "(no such file)";
const std::string kDirectory = "(a directory)";
const std::string kLink = "(a link)";

struct Outcome {
  std::string out, err;
  int status = -1;
  std::string map, pcmtbl;
  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
  *os << "status " << o.status << "\nstdout:\n" << o.out << "stderr:\n" << o.err
      << "pcmxml.txt: " << testing::PrintToString(o.map)
      << "\nPCMTBL: " << testing::PrintToString(o.pcmtbl);
}

std::string Slurp(const fs::path& path) {
  if (fs::is_symlink(path)) return kLink;  // never read /dev/full
  if (fs::is_directory(path)) return kDirectory;
  std::ifstream in(path, std::ios::binary);
  if (!in) return kGone;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class Run : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "adpcmtbl.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    dir_ = root_ / "work";
    Reset();
  }
  void TearDown() override { fs::remove_all(root_); }

  // An empty working directory but for earlier outputs, which the run must
  // either replace or leave untouched.
  void Reset() {
    fs::remove_all(dir_);
    fs::create_directory(dir_);
    Put(dir_ / "pcmxml.txt", kEarlier);
    Put(dir_ / "PCMTBL", kEarlier);
  }

  // Runs the tool in dir_ with |args| after |argv0|.
  Outcome Exec(const std::vector<std::string>& args,
               const std::string& argv0 = ADPCMTBL_EXE) {
    const fs::path out = root_ / "stdout", err = root_ / "stderr";
    const pid_t pid = fork();
    if (pid == 0) {
      std::vector<char*> argv;
      argv.push_back(const_cast<char*>(argv0.c_str()));
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0 || chdir(dir_.c_str()) != 0) _exit(127);
      execv(ADPCMTBL_EXE, argv.data());
      _exit(127);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    Outcome o;
    o.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    o.out = Slurp(out);
    o.err = Slurp(err);
    o.map = Slurp(dir_ / "pcmxml.txt");
    o.pcmtbl = Slurp(dir_ / "PCMTBL");
    return o;
  }

  void PutVoices(const std::set<int>& present) {
    for (int n : present) Put(dir_ / ("VOICE." + std::to_string(n)), "adpcm");
  }

  fs::path root_, dir_;
};

std::string Entry(const std::string& name, std::uint16_t start_mark,
                  std::uint16_t end_mark, unsigned char attribute) {
  std::string e = name + std::string(32 - name.size(), '\0');
  const char marks[] = {static_cast<char>(start_mark), static_cast<char>(start_mark >> 8),
                        static_cast<char>(end_mark), static_cast<char>(end_mark >> 8)};
  e.replace(16, 4, marks, 4);
  e[27] = static_cast<char>(attribute);
  return e;
}

// Lowercase hexadecimal, at least 5 digits.
std::string Hex(std::uint32_t value) {
  std::string s;
  for (; value != 0 || s.size() < 5; value /= 16) s.insert(s.begin(), "0123456789abcdef"[value % 16]);
  return s;
}

// What a successful run over |data| must produce, worked out from the file
// formats independently of the tool's code.
Outcome Expected(const std::string& data, const std::set<int>& present, bool check) {
  std::string table = data.substr(0, 1024);
  table.resize(1024, '\0');
  Outcome o{"", kBanner, 0, "", std::string(256, '\0')};
  std::int64_t next = 0;
  for (int slot = 0; slot < 32 && table[32 * slot] != '\0'; ++slot) {
    const int number = slot + 1;
    if (check && present.count(number) == 0) {
      o.err += "Not found \"VOICE." + std::to_string(number) + "\"\n";
      continue;
    }
    auto byte = [&](int offset) { return static_cast<unsigned char>(table[32 * slot + offset]); };
    const std::int64_t difference =
        (byte(18) | byte(19) << 8) - (byte(16) | byte(17) << 8);
    const std::int64_t length =
        difference >= 0 ? difference / 4 : -((-difference + 3) / 4);
    const std::int64_t start = next, end = start + length;
    next = end + 4;
    for (int k = 0; k < 2; ++k) {  // low 16 bits, little-endian
      o.pcmtbl[8 * slot + k] = static_cast<char>((start >> 8 * k) & 0xFF);
      o.pcmtbl[8 * slot + 2 + k] = static_cast<char>((end >> 8 * k) & 0xFF);
    }
    o.pcmtbl[8 * slot + 6] = static_cast<char>(byte(27));
    std::string name = table.substr(32 * slot, 16).c_str();
    name.resize(16, ' ');
    const std::string offset = Hex(static_cast<std::uint32_t>((start * 4) & 0xFFFFFFFF));
    o.out += "PCM NO." + std::string(number < 10 ? " " : "") + std::to_string(number) +
             ":" + name + " ADR:" + offset + "\n";
    o.map += "\t\t\t<rom type=\"adpcm\" offset=\"0x" + offset + "\">voice." +
             std::to_string(number) + "</rom>\r\n";
  }
  return o;
}

TEST_F(Run, WorkedExample) {
  Put(dir_ / "DATA", Entry("V1", 0x0000, 0x1000, 0x12) + Entry("V2", 0x0100, 0x0900, 0x00) +
                         Entry("V3", 0x2000, 0x1FFD, 0x7F));
  PutVoices({1, 2, 3});
  Outcome want{"PCM NO. 1:V1               ADR:00000\n"
               "PCM NO. 2:V2               ADR:01010\n"
               "PCM NO. 3:V3               ADR:01820\n",
               kBanner, 0,
               "\t\t\t<rom type=\"adpcm\" offset=\"0x00000\">voice.1</rom>\r\n"
               "\t\t\t<rom type=\"adpcm\" offset=\"0x01010\">voice.2</rom>\r\n"
               "\t\t\t<rom type=\"adpcm\" offset=\"0x01820\">voice.3</rom>\r\n",
               std::string("\x00\x00\x00\x04\x00\x00\x12\x00"
                           "\x04\x04\x04\x06\x00\x00\x00\x00"
                           "\x08\x06\x07\x06\x00\x00\x7F\x00", 24) +
                   std::string(232, '\0')};
  EXPECT_EQ(Exec({}), want);
  EXPECT_EQ(Exec({}), Expected(Slurp(dir_ / "DATA"), {1, 2, 3}, true));
}

TEST_F(Run, UsageForTwoOrMoreArguments) {
  const std::string usage =
      "Usage: any\xff name [-n]\n\t-n : ADPCM"
      "\x83\x66\x81\x5b\x83\x5e\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x91\xb6"
      "\x8d\xdd\x82\xf0\x83\x60\x83\x46\x83\x62\x83\x4e\x82\xb5\x82\xc8\x82\xa2\n";
  Put(dir_ / "DATA", Entry("V1", 0, 16, 0));
  EXPECT_EQ(Exec({"-n", "-n"}, "any\xff name"),
            (Outcome{"", kBanner + usage, 1, kEarlier, kEarlier}));
}

// Files in the way: a directory where a file must be opened or created, and
// a link to /dev/full where a write must fail.
TEST_F(Run, FailuresAreReportedAndLeaveNoPartialFile) {
  const std::string data = Entry("V1", 0, 64, 1) + Entry("V2", 0, 64, 2);
  const Outcome good = Expected(data, {1, 2}, true);
  struct Case {
    const char* name;
    bool data;              // DATA is a readable file
    const char* directory;  // made in the way of this file
    const char* full;       // linked to /dev/full
    Outcome want;
  };
  const Case cases[] = {
      {"no DATA", false, nullptr, nullptr, {"", kBanner + kDataNotFound, 1, kEarlier, kEarlier}},
      {"DATA unreadable", false, "DATA", nullptr, {"", kBanner + kDataNotFound, 1, kEarlier, kEarlier}},
      {"map not created", true, "pcmxml.txt", nullptr, {"", kBanner + kCannotCreate, 1, kDirectory, kEarlier}},
      {"map write fails", true, nullptr, "pcmxml.txt", {good.out, kBanner + kWriteError, 1, kGone, kEarlier}},
      {"table not created", true, "PCMTBL", nullptr, {good.out, kBanner + kCannotCreate, 1, good.map, kDirectory}},
      {"table write fails", true, nullptr, "PCMTBL", {good.out, kBanner + kWriteError, 1, good.map, kGone}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    if (c.directory != nullptr) { fs::remove(dir_ / c.directory); fs::create_directory(dir_ / c.directory); }
    if (c.full != nullptr) { fs::remove(dir_ / c.full); fs::create_symlink("/dev/full", dir_ / c.full); }
    if (c.data) Put(dir_ / "DATA", data);
    PutVoices({1, 2});
    EXPECT_EQ(Exec({}), c.want);  // a link left in place reads as kLink
  }
}

// Random voice tables, voice file sets and argument lists against Expected().
TEST_F(Run, RandomTablesMatchTheFileFormats) {
  std::mt19937 random(20261209);
  auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
  const std::vector<std::vector<std::string>> arguments = {
      {}, {"-n"}, {"-N"}, {"--n"}, {"n"}, {""}, {"-n "}};
  for (int round = 0; round < 300; ++round) {
    Reset();

    std::string data;
    const int slots = static_cast<int>(random() % 34);
    for (int slot = 0; slot < slots; ++slot) {
      std::string name(1 + random() % 16, '\0');
      for (char& ch : name) ch = static_cast<char>(chance(5) ? 0 : 1 + random() % 255);
      if (chance(4)) name[0] = '\0';
      const auto start = static_cast<std::uint16_t>(random());
      const auto end = chance(50) ? static_cast<std::uint16_t>(random())
                                  : static_cast<std::uint16_t>(start + random() % 9 - 4);
      data += Entry(name, start, end, static_cast<unsigned char>(random()));
    }
    if (chance(30)) data.resize(random() % (data.size() + 40), '\x01');
    Put(dir_ / "DATA", data);

    std::set<int> present;
    for (int n = 1; n <= 32; ++n) {
      if (chance(85)) present.insert(n);
    }
    PutVoices(present);

    const auto& args = arguments[random() % arguments.size()];
    const Outcome want = Expected(data, present, !(args.size() == 1 && args[0] == "-n"));
    ASSERT_EQ(Exec(args), want) << "round " << round;
  }
}

}  // namespace
