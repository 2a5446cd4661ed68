#include "port/profile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/test_env.h"
#include "tarvo/context.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// A profile path in a directory of its own, with no file there yet.
class Profile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = env_.root() + "/profile";
        fs::create_directories(dir_);
        path_ = dir_ + "/tarvo32.ini";
        env_.setEnv("TARVO_PROFILE", path_.c_str());
    }

    void WriteProfileFile(const std::string& text) const { test::WriteFile(path_, text); }
    std::string ReadProfileFile() const { return test::ReadFile(path_); }
    std::set<std::string> DirectoryListing() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    // Reads `key` into a buffer of `size` bytes prefilled with 'Q'.
    std::string Get(const char* key, const char* fallback, int* code, int size = 256) const {
        std::vector<char> buffer(static_cast<std::size_t>(size), 'Q');
        *code = PCUGetProfileString("Communications", key, fallback, buffer.data(), size, 0);
        return std::string(buffer.data());
    }

    test::TestEnv env_;
    std::string dir_;
    std::string path_;
};

TEST_F(Profile, NoFileGivesOpenErrorAndTheDefault) {
    int code = -1;
    EXPECT_EQ(Get("Port", "COM1", &code), "COM1");
    EXPECT_EQ(code, PCU_ERR_PROFILE_OPEN);
    EXPECT_EQ(PCUWriteProfileString("Communications", "Port", "COM2", 0), PCU_ERR_PROFILE_OPEN);
    EXPECT_TRUE(DirectoryListing().empty()) << "a write must not create the profile";
    EXPECT_EQ(ProfileValue("Port", "COM1"), "COM1");
}

TEST_F(Profile, CreateMakesAnEmptyProfileWithItsDirectories) {
    const std::string nested = dir_ + "/a/b/tarvo32.ini";
    env_.setEnv("TARVO_PROFILE", nested.c_str());
    ASSERT_EQ(PCUCreateProfile(), PCU_OK);
    EXPECT_EQ(test::ReadFile(nested), "[Version 2.1]\n");
    struct stat st {};
    ASSERT_EQ(::stat(nested.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat((dir_ + "/a/b").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(Profile, CreateLeavesAnExistingProfileAlone) {
    WriteProfileFile("; mine\n[Version 2.1]\nPort=COM3\n");
    EXPECT_EQ(PCUCreateProfile(), PCU_OK);
    EXPECT_EQ(ReadProfileFile(), "; mine\n[Version 2.1]\nPort=COM3\n");
}

TEST_F(Profile, MissingEmptyAndPresentValues) {
    WriteProfileFile("[Version 2.1]\nPort=COM3\nPreamble=\n");
    int code = -1;
    EXPECT_EQ(Get("Port", "COM1", &code), "COM3");
    EXPECT_EQ(code, PCU_OK);
    EXPECT_EQ(Get("Baud", "9600", &code), "9600");
    EXPECT_EQ(code, PCU_ERR_PROFILE_READ);
    EXPECT_EQ(Get("Preamble", "NULL", &code), "NULL");
    EXPECT_EQ(code, PCU_OK);
    EXPECT_EQ(Get("Baud", nullptr, &code), "");
    EXPECT_EQ(code, PCU_ERR_PROFILE_READ);

    EXPECT_EQ(ProfileValue("Port", "COM1"), "COM3");
    EXPECT_EQ(ProfileValue("Baud", "9600"), "9600");
    EXPECT_EQ(ProfileValue("Preamble", "NULL"), "NULL");
}

TEST_F(Profile, ValuesOutsideTheSectionDoNotCount) {
    WriteProfileFile("Port=COM2\n[Other]\nPort=COM3\nBaud=19200\n[Version 2.1]\n");
    int code = -1;
    EXPECT_EQ(Get("Port", "COM1", &code), "COM1");
    EXPECT_EQ(code, PCU_ERR_PROFILE_READ);
}

// Key case, escapes and the lines a write keeps are the INI document's tests (ini_file_test);
// here the profile through its exports.
TEST_F(Profile, WriteProducesExactFileAndReplacesValues) {
    ASSERT_EQ(PCUCreateProfile(), PCU_OK);
    ASSERT_EQ(PCUWriteProfileString("Communications", "Port", "COM2", 0), PCU_OK);
    ASSERT_EQ(PCUWriteProfileString(nullptr, "Baud", "19200", 0), PCU_OK);
    EXPECT_EQ(ReadProfileFile(), "[Version 2.1]\nPort=COM2\nBaud=19200\n");
    ASSERT_EQ(PCUWriteProfileString("Communications", "PORT", "COM4", 0), PCU_OK);
    ASSERT_EQ(PCUWriteProfileString("Communications", "Baud", "", 0), PCU_OK);
    EXPECT_EQ(ReadProfileFile(), "[Version 2.1]\nPort=COM4\nBaud=\n");
    EXPECT_EQ(DirectoryListing(), (std::set<std::string>{"tarvo32.ini", "tarvo32.ini.lock"}));
}

TEST_F(Profile, WriteKeepsHandEditedLines) {
    WriteProfileFile(
        "; settings for the label printer\r\n"
        "[Paths]\n"
        "FontDir = /usr/share/fonts  \n"
        "this line means nothing\n"
        "[Version 2.1]\n"
        "  port = COM1\n"
        "Baud=9600\n"
        "\n"
        "[Extra]\n"
        "k=v");
    ASSERT_EQ(PCUWriteProfileString("Communications", "Port", "COM3", 0), PCU_OK);
    ASSERT_EQ(PCUWriteProfileString("Communications", "Parity", "None", 0), PCU_OK);
    EXPECT_EQ(ReadProfileFile(),
              "; settings for the label printer\r\n"
              "[Paths]\n"
              "FontDir = /usr/share/fonts  \n"
              "this line means nothing\n"
              "[Version 2.1]\n"
              "port=COM3\n"
              "Baud=9600\n"
              "Parity=None\n"
              "\n"
              "[Extra]\n"
              "k=v\n");
}

TEST_F(Profile, WriteKeepsTheFileMode) {
    WriteProfileFile("[Version 2.1]\n");
    ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
    ASSERT_EQ(PCUWriteProfileString("s", "Port", "COM2", 0), PCU_OK);
    struct stat st {};
    ASSERT_EQ(::stat(path_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(Profile, WriteGoesThroughASymbolicLink) {
    const std::string real = dir_ + "/real.ini";
    test::WriteFile(real, "[Version 2.1]\n");
    ASSERT_EQ(::symlink(real.c_str(), path_.c_str()), 0);
    ASSERT_EQ(PCUWriteProfileString("s", "Port", "COM2", 0), PCU_OK);
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(ReadProfileFile(), "[Version 2.1]\nPort=COM2\n");
}

TEST_F(Profile, ResultIsCutToTheBufferAndAlwaysTerminated) {
    WriteProfileFile("[Version 2.1]\nPort=COM12\n");
    std::vector<char> buffer(8, 'Q');
    EXPECT_EQ(PCUGetProfileString("s", "Port", "", buffer.data(), 4, 0), PCU_OK);
    EXPECT_EQ(std::string(buffer.data(), 8), "COM\0QQQQ"s);
    EXPECT_EQ(PCUGetProfileString("s", "Port", "", buffer.data(), 1, 0), PCU_OK);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'O');
    EXPECT_EQ(PCUGetProfileString("s", "Baud", "115200", buffer.data(), 5, 0),
              PCU_ERR_PROFILE_READ);
    EXPECT_EQ(std::string(buffer.data()), "1152");
    EXPECT_EQ(PCUGetProfileString("s", "Port", "", buffer.data(), 6, 0), PCU_OK);
    EXPECT_EQ(std::string(buffer.data()), "COM12");
}

TEST_F(Profile, DefaultMayBeTheCallersOwnBuffer) {
    WriteProfileFile("[Version 2.1]\n");
    char buffer[16] = "COM1";
    EXPECT_EQ(PCUGetProfileString("s", "Port", buffer, buffer, sizeof buffer, 0),
              PCU_ERR_PROFILE_READ);
    EXPECT_STREQ(buffer, "COM1");
}

TEST_F(Profile, RefusesBadArguments) {
    WriteProfileFile("[Version 2.1]\nPort=COM2\n");
    char buffer[16] = "untouched";
    EXPECT_EQ(PCUGetProfileString("s", "Port", "d", nullptr, 16, 0), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUGetProfileString("s", "Port", "d", buffer, 0, 0), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUGetProfileString("s", "Port", "d", buffer, -5, 0), PCU_ERR_ARGUMENT);
    EXPECT_STREQ(buffer, "untouched");
    for (const char* key :
         {static_cast<const char*>(nullptr), "", "Po=rt", "Po\nrt", "[Port", " Port", ";Port"}) {
        SCOPED_TRACE(key ? key : "(null)");
        EXPECT_EQ(PCUGetProfileString("s", key, "d", buffer, 16, 0), PCU_ERR_ARGUMENT);
        EXPECT_STREQ(buffer, "d");
        EXPECT_EQ(PCUWriteProfileString("s", key, "v", 0), PCU_ERR_ARGUMENT);
    }
    EXPECT_EQ(PCUWriteProfileString("s", "Port", nullptr, 0), PCU_ERR_ARGUMENT);
    EXPECT_EQ(ReadProfileFile(), "[Version 2.1]\nPort=COM2\n");
}

TEST_F(Profile, HundredKilobyteValue) {
    ASSERT_EQ(PCUCreateProfile(), PCU_OK);
    std::string big(100 * 1024, 'v');
    big[0] = ' ';
    big[5000] = '\n';
    big.back() = '[';
    ASSERT_EQ(PCUWriteProfileString("s", "Big", big.c_str(), 0), PCU_OK);
    ASSERT_EQ(PCUWriteProfileString("s", "After", "ok", 0), PCU_OK);

    std::vector<char> buffer(big.size() + 1);
    EXPECT_EQ(
        PCUGetProfileString("s", "Big", "", buffer.data(), static_cast<int>(buffer.size()), 0),
        PCU_OK);
    EXPECT_EQ(std::string(buffer.data()), big);
    int code = -1;
    EXPECT_EQ(Get("Big", "", &code, 16), big.substr(0, 15));
    EXPECT_EQ(code, PCU_OK);
    EXPECT_EQ(Get("After", "", &code), "ok");
    EXPECT_EQ(ProfileValue("Big", ""), big);
}

TEST_F(Profile, DirectoryInPlaceOfTheFile) {
    ASSERT_EQ(::mkdir(path_.c_str(), 0700), 0);
    int code = -1;
    EXPECT_EQ(Get("Port", "COM1", &code), "COM1");
    EXPECT_EQ(code, PCU_ERR_PROFILE_OPEN);
    EXPECT_EQ(PCUWriteProfileString("s", "Port", "COM2", 0), PCU_ERR_PROFILE_OPEN);
    EXPECT_EQ(PCUCreateProfile(), PCU_ERR_PROFILE_WRITE);
    EXPECT_TRUE(fs::is_directory(path_));
}

TEST_F(Profile, OversizedFileIsNeitherReadNorRewritten) {
    std::string text = "[Version 2.1]\nPort=COM2\n; " + std::string(2 << 20, 'x') + "\n";
    WriteProfileFile(text);
    int code = -1;
    EXPECT_EQ(Get("Port", "COM1", &code), "COM1");
    EXPECT_EQ(code, PCU_ERR_PROFILE_READ);
    EXPECT_EQ(PCUWriteProfileString("s", "Port", "COM3", 0), PCU_ERR_PROFILE_WRITE);
    EXPECT_TRUE(ReadProfileFile() == text);
}

TEST_F(Profile, ValueThatWouldMakeTheFileTooLargeIsRefused) {
    WriteProfileFile("[Version 2.1]\nPort=COM2\n");
    const std::string huge(1100 * 1024, 'h');
    EXPECT_EQ(PCUWriteProfileString("s", "Huge", huge.c_str(), 0), PCU_ERR_PROFILE_WRITE);
    EXPECT_EQ(ReadProfileFile(), "[Version 2.1]\nPort=COM2\n");
}

TEST_F(Profile, FailedWriteLeavesTheOldFileAndNoLeftovers) {
    WriteProfileFile("[Version 2.1]\nPort=COM2\n");
    ASSERT_EQ(PCUWriteProfileString("s", "Baud", "9600", 0), PCU_OK);
    const std::string before = ReadProfileFile();
    const auto listing = DirectoryListing();

    // A file-size limit makes the write of the new file fail part way, as a full disk would.
    // It applies to root too; the child process keeps it away from the test runner.
    const std::string big(64 * 1024, 'b');
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit limit = {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(PCUWriteProfileString("s", "Big", big.c_str(), 0));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), PCU_ERR_PROFILE_WRITE);
    EXPECT_EQ(ReadProfileFile(), before);
    EXPECT_EQ(DirectoryListing(), listing);
}

TEST_F(Profile, ConcurrentWritersKeepEachOthersValues) {
    ASSERT_EQ(PCUCreateProfile(), PCU_OK);
    constexpr int kWrites = 100;
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (const char* prefix : {"A", "B"}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(gate[1]);
            char go = 0;
            (void)!::read(gate[0], &go, 1);  // both start when the gate closes
            int failures = 0;
            for (int i = 0; i < kWrites; ++i) {
                const std::string key = prefix + std::to_string(i);
                const std::string value = "value of " + key;
                failures += PCUWriteProfileString("s", key.c_str(), value.c_str(), 0) != PCU_OK;
                failures += PCUWriteProfileString("s", "Shared", prefix, 0) != PCU_OK;
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
        children.push_back(child);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (const char* prefix : {"A", "B"}) {
        for (int i = 0; i < kWrites; ++i) {
            const std::string key = prefix + std::to_string(i);
            int code = -1;
            EXPECT_EQ(Get(key.c_str(), "lost", &code), "value of " + key);
        }
    }
    const std::string shared = ProfileValue("Shared", "");
    EXPECT_TRUE(shared == "A" || shared == "B") << shared;
    const std::string text = ReadProfileFile();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 * kWrites + 2);
}

class ProfileLocation : public ::testing::Test {
  protected:
    void SetUp() override { env_.setEnv("TARVO_PROFILE", nullptr); }
    test::TestEnv env_;
    const std::string dir_ = env_.root() + "/home";
};

TEST_F(ProfileLocation, ConfigHomeThenHome) {
    env_.setEnv("XDG_CONFIG_HOME", dir_.c_str());
    ASSERT_EQ(PCUCreateProfile(), PCU_OK);
    EXPECT_TRUE(fs::is_regular_file(dir_ + "/Quorvane/tarvo32.ini"));

    env_.setEnv("XDG_CONFIG_HOME", nullptr);
    env_.setEnv("HOME", dir_.c_str());
    ASSERT_EQ(PCUCreateProfile(), PCU_OK);
    ASSERT_TRUE(fs::is_regular_file(dir_ + "/.config/Quorvane/tarvo32.ini"));
    ASSERT_EQ(PCUWriteProfileString("s", "Port", "COM4", 0), PCU_OK);
    EXPECT_EQ(ProfileValue("Port", ""), "COM4");

    // A relative XDG_CONFIG_HOME is not a base directory; HOME applies.
    env_.setEnv("XDG_CONFIG_HOME", "relative/dir");
    EXPECT_EQ(ProfileValue("Port", ""), "COM4");
}

TEST_F(ProfileLocation, ExplicitProfileWins) {
    env_.setEnv("XDG_CONFIG_HOME", dir_.c_str());
    const std::string explicitPath = dir_ + "/elsewhere.ini";
    env_.setEnv("TARVO_PROFILE", explicitPath.c_str());
    ASSERT_EQ(PCUCreateProfile(), PCU_OK);
    EXPECT_TRUE(fs::is_regular_file(explicitPath));
    EXPECT_FALSE(fs::exists(dir_ + "/Quorvane"));
}

}  // namespace
}  // namespace tarvo
