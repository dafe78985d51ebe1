// The builder as a whole: a bad input writes nothing, a good one writes a medium whose
// archive is the same on every run, whole or as a numbered set with its disk folders, with
// the payload's empty folders, and with signed programs when asked.
#include "medium_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "member_directory.h"
#include "test_zip.h"

using namespace medium;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class MediumBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = fs::temp_directory_path() / ("make_medium_test_" + std::to_string(std::rand()) + "_" + info->name());
    fs::create_directories(root_);
    Write(root_ / "win/bin/setup.exe", "setup");
    Write(root_ / "win/bin/UnInstall.exe", "uninstall");
    Write(root_ / "win/medium-bin/UNZIPLIB.DLL", "unziplib");
    std::string noise;  // does not deflate: stored
    for (uint32_t x = 1; noise.size() < 5000;) {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      noise += char(x);
    }
    Write(root_ / "payload/talv20.exe", noise);
    Write(root_ / "payload/hilfe/hilfe.txt", std::string(3000, 'h'));
    Write(root_ / "Setup.inf", "[GroupEntries]\r\nHilfe=hilfe\\hilfe.txt\r\n");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  BuildOptions Options(const std::string& out) const {
    BuildOptions o;
    o.payloads = {(root_ / "payload").string()};
    o.setupInf = (root_ / "Setup.inf").string();
    o.windowsBuild = (root_ / "win").string();
    o.output = (root_ / out).string();
    return o;
  }

  ExitCode Build(const BuildOptions& o) {
    log_.str("");
    return BuildMedium(o, log_);
  }

  size_t LineCount() const {
    const std::string log = log_.str();
    return size_t(std::count(log.begin(), log.end(), '\n'));
  }
  bool Logged(const std::string& text) const { return log_.str().find(text) != std::string::npos; }

  fs::path root_;
  std::ostringstream log_;
};

// Sets an environment variable (or removes it) until the object goes.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    if (old) old_ = old;
    hadOld_ = old != nullptr;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedVariable() { hadOld_ ? ::setenv(name_.c_str(), old_.c_str(), 1) : ::unsetenv(name_.c_str()); }

 private:
  std::string name_, old_;
  bool hadOld_;
};

// The members of an archive file, as its directory lists them.
std::vector<std::string> MemberNames(const fs::path& archive) {
  const std::string bytes = Read(archive);
  ziptest::MemoryInput input(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  std::vector<std::string> names;
  for (const unzip::Member& m : unzip::ReadCentralDirectory(input).members) names.push_back(m.name);
  return names;
}

}  // namespace

TEST_F(MediumBuilderTest, AnErrorWritesNothing) {
  Write(root_ / "Setup.inf", "[GroupEntries]\r\nHilfe=hilfe\\fehlt.txt\r\n");
  EXPECT_EQ(Build(Options("out")), kRefused);
  EXPECT_NE(log_.str().find("[GroupEntries] Hilfe: names \"hilfe\\fehlt.txt\""), std::string::npos) << log_.str();
  EXPECT_FALSE(fs::exists(root_ / "out"));

  // Nor into a folder that holds something already.
  Write(root_ / "Setup.inf", "[GroupEntries]\r\nHilfe=hilfe\\hilfe.txt\r\n");
  Write(root_ / "full/keep.txt", "keep");
  EXPECT_EQ(Build(Options("full")), kRefused);
  EXPECT_EQ(fs::directory_iterator(root_ / "full")->path().filename(), "keep.txt");
}

TEST_F(MediumBuilderTest, WritesTheSameMediumEveryTimeWholeOrInParts) {
  ASSERT_EQ(Build(Options("one")), kWritten) << log_.str();
  EXPECT_NE(log_.str().find("files: 2, bytes: 8000"), std::string::npos) << log_.str();
  // Quiet: a warning (no licence) and the summary, no member.
  EXPECT_EQ(LineCount(), 2u) << log_.str();
  for (const char* file : {"setup.exe", "UnInstall.exe", "UNZIPLIB.DLL", "Setup.inf", "Setup.zip"})
    EXPECT_TRUE(fs::exists(root_ / "one" / file)) << file;
  ASSERT_EQ(Build(Options("two")), kWritten);
  EXPECT_EQ(Read(root_ / "one/Setup.zip"), Read(root_ / "two/Setup.zip"));

  BuildOptions parts = Options("parts");
  parts.partSize = 2048;
  parts.diskFolders = (root_ / "disks").string();
  ASSERT_EQ(Build(parts), kWritten) << log_.str();
  EXPECT_TRUE(fs::exists(root_ / "parts/Se001.zip"));
  EXPECT_TRUE(fs::exists(root_ / "parts/Se002.zip"));
  EXPECT_FALSE(fs::exists(root_ / "parts/Se003.zip"));
  EXPECT_NE(log_.str().find("parts: 3"), std::string::npos) << log_.str();
  EXPECT_EQ(Read(root_ / "disks/disk1/Setup.zip"), Read(root_ / "parts/Se001.zip"));
  EXPECT_EQ(Read(root_ / "disks/disk3/Setup.zip"), Read(root_ / "parts/Setup.zip"));
  EXPECT_TRUE(fs::exists(root_ / "disks/disk3/setup.exe"));
  EXPECT_EQ(Read(root_ / "disks/labels.txt"),
            "disk1: volume label \"PKBACK# 001\"\ndisk2: volume label \"PKBACK# 002\"\n"
            "disk3: volume label \"PKBACK# 003\"\n");
}

TEST_F(MediumBuilderTest, FoldersWithoutFilesBecomeFolderEntriesThatVerboseLists) {
  fs::create_directories(root_ / "payload/ablage/leer");
  fs::create_directories(root_ / "payload/hilfe/bilder");
  fs::create_directories(root_ / u8"payload/Daten/\u00C4ltere");
  BuildOptions o = Options("one");
  o.verbose = true;
  ASSERT_EQ(Build(o), kWritten) << log_.str();
  EXPECT_EQ(MemberNames(root_ / "one/Setup.zip"),
            (std::vector<std::string>{"Daten/", u8"Daten/\u00C4ltere/", "ablage/", "ablage/leer/", "hilfe/bilder/",
                                      "hilfe/hilfe.txt", "talv20.exe"}));
  EXPECT_TRUE(Logged("files: 2, bytes: 8000")) << log_.str();
  EXPECT_TRUE(Logged("empty folders: 5")) << log_.str();
  EXPECT_TRUE(Logged("         0          0  ablage/leer/\n")) << log_.str();
  EXPECT_TRUE(Logged("  talv20.exe\n")) << log_.str();
}

TEST_F(MediumBuilderTest, ShowsProgressOnATerminalForALargePayload) {
  for (int i = 0; i < 1000; ++i) Write(root_ / "payload/viele" / (std::to_string(i) + ".txt"), "x");
  BuildOptions o = Options("one");
  o.progress = true;
  ASSERT_EQ(Build(o), kWritten) << log_.str();
  // The last state of each step is shown; the line is blanked before the summary.
  EXPECT_TRUE(Logged("\rreading: 1002 of 1002 files, 0.0 of 0.0 MB")) << log_.str();
  EXPECT_TRUE(Logged("\rpacking: 1002 of 1002 files")) << log_.str();
  EXPECT_TRUE(Logged("\rtesting: 1002 of 1002 files")) << log_.str();
  EXPECT_TRUE(Logged("\rMedium written to")) << log_.str();
}

TEST_F(MediumBuilderTest, TakesTheProgramsFromAFolderAndNamesOneThatCannotBeRead) {
  Write(root_ / "programme/setup.exe", "setup aus dem Paket");
  Write(root_ / "programme/UnInstall.exe", "uninstall");
  BuildOptions o = Options("one");
  o.windowsBuild.clear();
  o.programs = (root_ / "programme").string();
  EXPECT_EQ(Build(o), kInputOutput);
  EXPECT_TRUE(Logged("UNZIPLIB.DLL: cannot be read")) << log_.str();
  EXPECT_FALSE(fs::exists(root_ / "one"));

  Write(root_ / "programme/UNZIPLIB.DLL", "unziplib");
  ASSERT_EQ(Build(o), kWritten) << log_.str();
  EXPECT_EQ(Read(root_ / "one/setup.exe"), "setup aus dem Paket");
}

namespace {

const char kPasswordVariable[] = "TALVENOR_TEST_SIGNING_PASSWORD";
const char kPassword[] = "Kennwort-4711";

// The headers of a 64-bit console program without sections: enough for Authenticode.
std::string MinimalProgram() {
  std::string image(512, '\0');
  const auto put16 = [&](size_t at, uint16_t v) { image[at] = char(v), image[at + 1] = char(v >> 8); };
  const auto put32 = [&](size_t at, uint32_t v) { put16(at, uint16_t(v)), put16(at + 2, uint16_t(v >> 16)); };
  image[0] = 'M', image[1] = 'Z';
  put32(0x3C, 0x40);  // the PE header's offset
  image[0x40] = 'P', image[0x41] = 'E';
  put16(0x44, 0x8664);  // machine: x86-64
  put16(0x54, 240);     // size of the optional header
  put16(0x56, 0x22);    // executable, large addresses
  const size_t optional = 0x58;
  put16(optional, 0x20B);        // PE32+
  put32(optional + 32, 0x1000);  // section alignment
  put32(optional + 36, 0x200);   // file alignment
  put32(optional + 56, 0x1000);  // image size
  put32(optional + 60, 0x200);   // header size
  put16(optional + 68, 3);       // console subsystem
  put32(optional + 108, 16);     // data directories
  return image;
}

int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

}  // namespace

// Signing with a throwaway self-signed certificate, made once, through the real osslsigncode
// and openssl.
class SigningTest : public MediumBuilderTest {
 protected:
  static void SetUpTestSuite() {
    keys_ = fs::temp_directory_path() / ("make_medium_test_keys_" + std::to_string(std::rand()));
    fs::create_directories(keys_);
    const std::string key = (keys_ / "key.pem").string();
    ASSERT_EQ(Shell("openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj /CN=Talvenor-Test -addext "
                    "extendedKeyUsage=codeSigning -keyout " +
                    key + " -out " + Certificate()),
              0);
    ASSERT_EQ(Shell("openssl pkcs12 -export -inkey " + key + " -in " + Certificate() + " -out " + Pkcs12() +
                    " -passout pass:" + kPassword),
              0);
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(keys_, ignored);
  }
  static std::string Certificate() { return (keys_ / "cert.pem").string(); }
  static std::string Pkcs12() { return (keys_ / "signing.p12").string(); }

  void SetUp() override {
    MediumBuilderTest::SetUp();
    for (const char* program : {"win/bin/setup.exe", "win/bin/UnInstall.exe", "win/medium-bin/UNZIPLIB.DLL"})
      Write(root_ / program, MinimalProgram());
  }

  BuildOptions Signed(const std::string& out) const {
    BuildOptions o = Options(out);
    o.signing.pkcs12 = Pkcs12();
    o.signing.passwordVariable = kPasswordVariable;
    return o;
  }

  bool Verifies(const fs::path& program) const {
    return Shell("osslsigncode verify -CAfile " + Certificate() + " -in " + program.string()) == 0;
  }

  static fs::path keys_;
  ScopedVariable password_{kPasswordVariable, kPassword};
};

fs::path SigningTest::keys_;

TEST_F(SigningTest, SignsTheThreeProgramsAndChangesNothingOfThePayload) {
  ASSERT_EQ(Build(Options("plain")), kWritten) << log_.str();
  ASSERT_EQ(Build(Signed("signed")), kWritten) << log_.str();
  EXPECT_TRUE(Logged("its programs signed")) << log_.str();
  for (const char* program : {"setup.exe", "UnInstall.exe", "UNZIPLIB.DLL"}) {
    EXPECT_TRUE(Verifies(root_ / "signed" / program)) << program;
    EXPECT_FALSE(Verifies(root_ / "plain" / program)) << program;
    EXPECT_EQ(Read(root_ / "plain" / program), MinimalProgram()) << program;
  }
  EXPECT_EQ(Read(root_ / "signed/Setup.zip"), Read(root_ / "plain/Setup.zip"));

  // With SOURCE_DATE_EPOCH the signatures name its time and come out the same every time.
  ScopedVariable epoch("SOURCE_DATE_EPOCH", "988977600");
  ASSERT_EQ(Build(Signed("again1")), kWritten) << log_.str();
  ASSERT_EQ(Build(Signed("again2")), kWritten) << log_.str();
  EXPECT_EQ(Read(root_ / "again1/setup.exe"), Read(root_ / "again2/setup.exe"));
}

TEST_F(SigningTest, ThePasswordReachesTheToolsInAPrivateFileOnly) {
  // Stand-ins on the PATH record each command line and the password file's mode, then run the tool.
  const fs::path tools = root_ / "tools", calls = root_ / "calls.log";
  for (const char* tool : {"osslsigncode", "openssl"}) {
    Write(tools / tool, "#!/bin/sh\nprintf '%s\\n' \"$*\" >> " + calls.string() +
                            "\nprevious=\nfor a in \"$@\"; do\n  case \"$previous:$a\" in\n"
                            "    -readpass:*) stat -c 'password file %a %n' \"$a\" >> " +
                            calls.string() +
                            " ;;\n"
                            "    *:file:*) stat -c 'password file %a %n' \"${a#file:}\" >> " +
                            calls.string() +
                            " ;;\n"
                            "  esac\n  previous=$a\ndone\nexec /usr/bin/" +
                            tool + " \"$@\"\n");
    fs::permissions(tools / tool, fs::perms::owner_all);
  }
  {
    ScopedVariable path("PATH", (tools.string() + ":" + std::getenv("PATH")).c_str());
    ASSERT_EQ(Build(Signed("signed")), kWritten) << log_.str();
  }
  std::istringstream lines(Read(calls));
  int passwordFiles = 0, commands = 0;
  for (std::string line; std::getline(lines, line);) {
    EXPECT_EQ(line.find(kPassword), std::string::npos) << line;
    if (line.rfind("password file ", 0) != 0) {
      ++commands;
      continue;
    }
    ++passwordFiles;
    EXPECT_EQ(line.substr(14, 4), "600 ") << line;
    EXPECT_FALSE(fs::exists(line.substr(18))) << line;
  }
  EXPECT_EQ(commands, 7);  // three signed, the certificates read, three verified
  EXPECT_EQ(passwordFiles, 4);
}

TEST_F(SigningTest, RefusesAWrongPasswordAnUnsetVariableAndAMissingTool) {
  {
    ScopedVariable wrong(kPasswordVariable, "falsch");
    EXPECT_EQ(Build(Signed("out")), kRefused);
    EXPECT_TRUE(Logged("error: setup.exe: could not be signed: osslsigncode failed")) << log_.str();
  }
  {
    ScopedVariable unset(kPasswordVariable, nullptr);
    EXPECT_EQ(Build(Signed("out")), kRefused);
    EXPECT_TRUE(Logged("error: --sign-password-env: " + std::string(kPasswordVariable) + ": the variable is not set"))
        << log_.str();
  }
  {
    ScopedVariable path("PATH", (root_ / "win").c_str());
    EXPECT_EQ(Build(Signed("out")), kRefused);
    EXPECT_TRUE(Logged("error: osslsigncode: is not on the PATH")) << log_.str();
  }
  EXPECT_FALSE(fs::exists(root_ / "out"));
}
