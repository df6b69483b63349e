#include "platform/winapi/IniFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "tests/support/TempDir.h"

namespace {

class IniFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string path = dir.File("History.ini");
};

TEST_F(IniFileTest, MissingFileReadsDefaultsAndFirstWriteCreatesIt) {
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("System", "DataPort", "NOSETUP"), "NOSETUP");
  EXPECT_EQ(ini.ReadInteger("System", "MenuList", 7), 7);
  EXPECT_FALSE(ini.SectionExists("System"));
  EXPECT_FALSE(std::filesystem::exists(path));

  ASSERT_TRUE(ini.WriteInteger("System", "MenuList", 1));
  EXPECT_EQ(dir.Read("History.ini"), "[System]\r\nMenuList=1\r\n");
}

TEST_F(IniFileTest, NamesCompareWithoutCaseAndValuesAreTrimmed) {
  dir.Write("History.ini", "[system]\nDATAPORT =   3bc  \n  menulist= 1\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("System", "DataPort", ""), "3bc");
  EXPECT_EQ(ini.ReadInteger("SYSTEM", "MenuList", 0), 1);
  EXPECT_TRUE(ini.ValueExists("System", "dataport"));
}

TEST_F(IniFileTest, IntegersAreDecimalWithDefaultOnAnythingElse) {
  dir.Write("History.ini",
            "[S]\nA=12\nB=-3\nC=0x10\nD=12abc\nE=\nF=99999999999\nG= 42 \n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("S", "A", 5), 12);
  EXPECT_EQ(ini.ReadInteger("S", "B", 5), -3);
  EXPECT_EQ(ini.ReadInteger("S", "C", 5), 5);
  EXPECT_EQ(ini.ReadInteger("S", "D", 5), 5);
  EXPECT_EQ(ini.ReadInteger("S", "E", 5), 5);
  EXPECT_EQ(ini.ReadInteger("S", "F", 5), 5);
  EXPECT_EQ(ini.ReadInteger("S", "G", 5), 42);
  EXPECT_TRUE(ini.ReadBool("S", "A", false));
  EXPECT_FALSE(ini.ReadBool("S", "Missing", false));
}

TEST_F(IniFileTest, WriteReplacesInPlaceKeepingOrderAndCase) {
  dir.Write("History.ini",
            "; settings\n[LoadDlg]\nFileName=a.bin\nOK=1\n\n[System]\nDataPort=378\n");
  TIniFile ini(path);
  ASSERT_TRUE(ini.WriteString("loaddlg", "ok", "0"));
  ASSERT_TRUE(ini.WriteString("LoadDlg", "Format", "4"));
  ASSERT_TRUE(ini.WriteString("BufInf", "BufSize", "100000"));
  EXPECT_EQ(dir.Read("History.ini"),
            "; settings\r\n[LoadDlg]\r\nFileName=a.bin\r\nOK=0\r\nFormat=4\r\n\r\n"
            "[System]\r\nDataPort=378\r\n[BufInf]\r\nBufSize=100000\r\n");
}

TEST_F(IniFileTest, EveryAccessSeesTheFileAsItIsNow) {
  TIniFile reader(path);
  TIniFile writer(path);
  EXPECT_EQ(reader.ReadString("LoadDlg", "OK", "none"), "none");
  writer.WriteString("LoadDlg", "OK", "1");
  EXPECT_EQ(reader.ReadString("LoadDlg", "OK", "none"), "1");
  dir.Write("History.ini", "[LoadDlg]\nOK=2\n");
  EXPECT_EQ(reader.ReadInteger("LoadDlg", "OK", 0), 2);
}

TEST_F(IniFileTest, ValuesAreStoredExactlyAsGiven) {
  TIniFile ini(path);
  ini.WriteString("S", "Path", "C:\\data\\x.hex");
  ini.WriteString("S", "Quoted", "\"a = b\"");
  EXPECT_EQ(ini.ReadString("S", "Path", ""), "C:\\data\\x.hex");
  EXPECT_EQ(ini.ReadString("S", "Quoted", ""), "\"a = b\"");
}

TEST_F(IniFileTest, SectionsAndKeysCanBeListedAndRemoved) {
  dir.Write("History.ini", "[H]\nH0=a\nH1=b\n[X]\nK=1\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadSection("h"), (std::vector<std::string>{"H0", "H1"}));
  ASSERT_TRUE(ini.DeleteKey("H", "h0"));
  EXPECT_EQ(ini.ReadSection("H"), (std::vector<std::string>{"H1"}));
  ASSERT_TRUE(ini.EraseSection("H"));
  EXPECT_FALSE(ini.SectionExists("H"));
  EXPECT_EQ(ini.ReadInteger("X", "K", 0), 1);
}

TEST_F(IniFileTest, BackslashPathsNameTheSameFile) {
  std::string windowsStyle = dir.path().string() + "\\History.ini";
  TIniFile ini(windowsStyle);
  ini.WriteInteger("S", "K", 3);
  EXPECT_EQ(TIniFile(path).ReadInteger("S", "K", 0), 3);
}

// A full disk, as a file-size limit gives it in a child process of its own: the rewrite fails,
// the old file is there byte for byte with its last key whole, and nothing is left beside it.
TEST_F(IniFileTest, ARewriteThatRunsOutOfRoomLeavesTheOldFile) {
  std::string old = "[Names]\r\n";
  for (int k = 0; old.size() < 8192; ++k) old += "H" + std::to_string(k) + "=/data/file.hex\r\n";
  old += "[GangTool]\r\nActive=1\r\n";
  dir.Write("History.ini", old);
  const pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    IniWriteWatch watch(path);
    const bool written = TIniFile(path).WriteString("Names", "H0", "/data/other.hex");
    ::_exit(!written && watch.Failure() && watch.Failure()->error == EFBIG ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write did not fail with EFBIG";
  EXPECT_EQ(dir.Read("History.ini"), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(IniFileTest, AFailedWriteIsHeardByEveryWatchOfItsFileAndALinkStaysALink) {
  dir.Write("real/History.ini", "[S]\nK=1\n");
  std::filesystem::create_symlink(dir.File("real/History.ini"), path);
  IniWriteWatch outer(path);
  IniWriteWatch otherFile(dir.File("Error.ini"));
  ASSERT_TRUE(TIniFile(path).WriteInteger("S", "K", 2));
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(dir.Read("real/History.ini"), "[S]\r\nK=2\r\n");
  EXPECT_EQ(outer.Failure(), nullptr);

  SetIniWriteFault([](const std::string&) { return ENOSPC; });
  {
    IniWriteWatch inner(path);
    EXPECT_FALSE(TIniFile(path).WriteInteger("S", "K", 3));
    ASSERT_NE(inner.Failure(), nullptr);
    EXPECT_EQ(inner.Failure(), outer.Failure()) << "nested commands share one record";
    EXPECT_EQ(inner.Failure()->error, ENOSPC);
    EXPECT_EQ(inner.Failure()->file, path);
  }
  SetIniWriteFault(nullptr);
  EXPECT_EQ(otherFile.Failure(), nullptr);
  EXPECT_EQ(TIniFile(path).ReadInteger("S", "K", 0), 2);
}

// What a rewrite must keep of the file it replaces. The tests run as root, which may give any
// file any owner: a console started with sudo rewrites a file of the bench's user.
struct KeptFileCase {
  const char* what;
  const char* link;  // where History.ini points, or nullptr for a plain file
  bool exists;       // whether the file written through exists before
  uid_t owner;
  gid_t group;
  mode_t mode;
};

class RewriteKeepsTheFileTest : public IniFileTest, public ::testing::WithParamInterface<KeptFileCase> {};

TEST_P(RewriteKeepsTheFileTest, OwnerGroupModeAndLinkStayAsTheyWere) {
  const KeptFileCase& c = GetParam();
  if (c.exists && ::geteuid() != 0) GTEST_SKIP() << "only root gives a file to another user";
  const std::string file = c.link ? dir.File(c.link) : path;
  if (c.link) {
    std::filesystem::create_directories(dir.File("real"));
    std::filesystem::create_symlink(c.link[0] == '/' ? file : std::string(c.link), path);
  }
  if (c.exists) {
    dir.Write(c.link ? c.link : "History.ini", "[S]\nK=1\n");
    ASSERT_EQ(::chown(file.c_str(), c.owner, c.group), 0);
    ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
  }
  ASSERT_TRUE(TIniFile(path).WriteInteger("S", "K", 2));
  EXPECT_EQ(std::filesystem::is_symlink(path), c.link != nullptr);
  EXPECT_EQ(TIniFile(file).ReadInteger("S", "K", 0), 2);
  struct stat after {};
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  if (c.exists) {
    EXPECT_EQ(after.st_uid, c.owner);
    EXPECT_EQ(after.st_gid, c.group);
    EXPECT_EQ(after.st_mode & 07777, c.mode);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, RewriteKeepsTheFileTest,
    ::testing::Values(
        KeptFileCase{"a file of another user", nullptr, true, 65534, 65534, 0640},
        KeptFileCase{"a file of another user behind a link", "real/History.ini", true, 65534, 100, 0604},
        KeptFileCase{"a link to a file not made yet", "real/History.ini", false, 0, 0, 0},
        KeptFileCase{"a relative link to a file not made yet", "real/../real/Made.ini", false, 0, 0, 0}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// The rename would succeed in a folder anyone may write; the file itself is what says no.
TEST_F(IniFileTest, AnOrdinaryUserMayNotRewriteAFileThatIsNotItsOwn) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can become another user";
  dir.Write("History.ini", "[S]\nK=1\n");
  std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
  ::chmod(path.c_str(), 0644);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
    IniWriteWatch watch(path);
    const bool written = TIniFile(path).WriteInteger("S", "K", 2);
    ::_exit(!written && watch.Failure() && watch.Failure()->error == EACCES ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  EXPECT_EQ(dir.Read("History.ini"), "[S]\nK=1\n");
}

// Two consoles in one folder: each rewrite reads the file, changes its key and renames a new
// file over it, so without the lock one program's rewrite undoes the other's key.
TEST_F(IniFileTest, TwoProgramsRewritingOneFileLoseNoKey) {
  constexpr int kKeys = 150;
  std::vector<pid_t> children;
  for (const char* section : {"FillDataDlg", "LoadDlg"}) {
    const pid_t child = ::fork();
    if (child == 0) {
      TIniFile ini(path);
      for (int k = 0; k < kKeys; ++k)
        if (!ini.WriteInteger(section, "K" + std::to_string(k), k)) ::_exit(1);
      ::_exit(0);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  TIniFile ini(path);
  for (const char* section : {"FillDataDlg", "LoadDlg"})
    EXPECT_EQ(ini.ReadSection(section).size(), static_cast<size_t>(kKeys)) << section;
}

}  // namespace
