#include "tarvo/base/line_format.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/test_env.h"
#include "tarvo/base/unique_fd.h"

namespace tarvo::platform {
namespace {

namespace fs = std::filesystem;

TEST(LineNote, ExactText) {
    EXPECT_EQ(FormatLineNote(LineFormat{}), "baud=9600 data=7 parity=E stop=1 flow=xonxoff\n");
    EXPECT_EQ(FormatLineNote({115200, 8, 'N', 2, FlowControl::RtsCts}),
              "baud=115200 data=8 parity=N stop=2 flow=rtscts\n");
    EXPECT_EQ(FormatLineNote({1200, 7, 'M', 1, FlowControl::None}),
              "baud=1200 data=7 parity=M stop=1 flow=none\n");
}

TEST(LineNote, EveryFormatRoundTrips) {
    for (const unsigned baud : {1200u, 9600u, 19200u, 115200u, 230400u}) {
        for (const int data : {7, 8}) {
            for (const char parity : {'E', 'O', 'N', 'M', 'S'}) {
                for (const int stop : {1, 2}) {
                    for (const auto flow :
                         {FlowControl::None, FlowControl::XonXoff, FlowControl::RtsCts}) {
                        const LineFormat format{baud, data, parity, stop, flow};
                        const auto text = FormatLineNote(format);
                        EXPECT_EQ(ParseLineNote(text), format) << text;
                    }
                }
            }
        }
    }
}

TEST(LineNote, AcceptsTheTextWithoutItsNewline) {
    EXPECT_EQ(ParseLineNote("baud=4800 data=8 parity=O stop=2 flow=none"),
              (LineFormat{4800, 8, 'O', 2, FlowControl::None}));
}

TEST(LineNote, RefusesMalformedNotes) {
    for (const char* text : {
             "",
             "\n",
             "garbage",
             "baud=9600 data=7 parity=E stop=1",
             "data=7 parity=E stop=1 flow=none",
             "baud=9600 parity=E stop=1 flow=none",
             "baud=9600 data=7 stop=1 flow=none",
             "baud=9600 data=7 parity=E flow=none",
             "flow=none baud=9600 data=7 parity=E stop=1",
             "baud=0 data=7 parity=E stop=1 flow=none",
             "baud=fast data=7 parity=E stop=1 flow=none",
             "baud=9600 data=6 parity=E stop=1 flow=none",
             "baud=9600 data=9 parity=E stop=1 flow=none",
             "baud=9600 data=7 parity=X stop=1 flow=none",
             "baud=9600 data=7 parity=e stop=1 flow=none",
             "baud=9600 data=7 parity= stop=1 flow=none",
             "baud=9600 data=7 parity=E stop=0 flow=none",
             "baud=9600 data=7 parity=E stop=3 flow=none",
             "baud=9600 data=7 parity=E stop=1 flow=",
             "baud=9600 data=7 parity=E stop=1 flow=XONXOFF",
             "baud=9600 data=7 parity=E stop=1 flow=xonxoffx",
             "baud=9600 data=7 parity=E stop=1 flow=rts",
             "baud:9600 data=7 parity=E stop=1 flow=none",
         }) {
        EXPECT_EQ(ParseLineNote(text), std::nullopt) << '"' << text << '"';
    }
}

// A negative rate is not a rate; the note must not turn it into a huge unsigned number.
TEST(LineNote, RefusesNegativeBaud) {
    EXPECT_EQ(ParseLineNote("baud=-9600 data=7 parity=E stop=1 flow=none"), std::nullopt);
}

// The notes go to the runtime directory of the test's own surroundings.
class LineNoteFile : public ::testing::Test {
  protected:
    test::TestEnv env_;
    const std::string dir_ = env_.root() + "/run";
};

TEST_F(LineNoteFile, WriteReadRemove) {
    const std::string path = dir_ + "/tarvo/pty-7.line";
    EXPECT_EQ(LineNotePath(7), path);
    EXPECT_EQ(ReadLineNote(7), std::nullopt);

    const LineFormat format{19200, 8, 'O', 2, FlowControl::RtsCts};
    ASSERT_TRUE(WriteLineNote(7, format));
    EXPECT_EQ(test::ReadFile(path), "baud=19200 data=8 parity=O stop=2 flow=rtscts\n");
    EXPECT_EQ(ReadLineNote(7), format);
    EXPECT_EQ(ReadLineNote(8), std::nullopt);

    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat((dir_ + "/tarvo").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A second host on the same terminal replaces the note whole.
    ASSERT_TRUE(WriteLineNote(7, LineFormat{}));
    EXPECT_EQ(test::ReadFile(path), "baud=9600 data=7 parity=E stop=1 flow=xonxoff\n");
    EXPECT_EQ(fs::directory_iterator(dir_ + "/tarvo")->path().filename(), "pty-7.line");

    RemoveLineNote(7);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(ReadLineNote(7), std::nullopt);
    RemoveLineNote(7);  // already gone: nothing happens
}

TEST_F(LineNoteFile, MalformedNoteReadsAsAbsent) {
    ASSERT_TRUE(WriteLineNote(3, LineFormat{}));
    std::ofstream(LineNotePath(3), std::ios::trunc)
        << "baud=9600 data=5 parity=E stop=1 flow=none\n";
    EXPECT_EQ(ReadLineNote(3), std::nullopt);
}

TEST_F(LineNoteFile, WithoutRuntimeDirectoryUsesAPerUserTemporaryDirectory) {
    env_.setEnv("XDG_RUNTIME_DIR", nullptr);
    EXPECT_EQ(LineNotePath(12), "/tmp/tarvo-" + std::to_string(::getuid()) + "/pty-12.line");
}

TEST(PtyNumber, NamesTheSlaveOfAPseudoTerminal) {
    UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    ASSERT_TRUE(master);
    ASSERT_EQ(::grantpt(master.get()), 0);
    ASSERT_EQ(::unlockpt(master.get()), 0);
    const std::string name = ::ptsname(master.get());
    ASSERT_EQ(name.rfind("/dev/pts/", 0), 0u) << name;
    UniqueFd slave(::open(name.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    ASSERT_TRUE(slave);
    EXPECT_EQ(PtyNumberOf(slave.get()), std::stoi(name.substr(9)));
    EXPECT_EQ(PtyNumberOf(master.get()), -1);

    UniqueFd regular(::open("/proc/self/exe", O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(regular);
    EXPECT_EQ(PtyNumberOf(regular.get()), -1);
    EXPECT_EQ(PtyNumberOf(-1), -1);
}

}  // namespace
}  // namespace tarvo::platform
