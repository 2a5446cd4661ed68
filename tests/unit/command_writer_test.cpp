// The command writer without a printer: file lines, lists, progress, and the refusals that
// happen before anything could reach a port. Batching on a line is tested against the
// simulated printer (config_transfer_test).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/command_writer.h"
#include "session/kernel_state.h"
#include "support/test_env.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

class CommandWriterTest : public ::testing::Test {
  protected:
    void SetUp() override { ctx = PCUCfgInit(); }
    test::TestEnv env;
    int ctx = 0;
};

TEST_F(CommandWriterTest, FileLines) {
    std::string file;
    EXPECT_EQ(SendCommand(nullptr, &file, kCommandHeader, "<ETX>5200A,1.0"), 0);
    EXPECT_EQ(SendCommand(nullptr, &file, kCommandSingle, "R"), 0);
    EXPECT_EQ(SendCommand(nullptr, &file, kCommandMiddle, "<SI>C2"), 0);
    // Raw control bytes are spelled, so a CR or LF never splits the line.
    EXPECT_EQ(SendCommand(nullptr, &file, kCommandLast,
                          std::string("\x0f"
                                      "C\r\n\0",
                                      5)),
              0);
    EXPECT_EQ(file,
              "<ETX>5200A,1.0\r\n<STX>R<ETX>\r\n<STX><SI>C2<ETX>\r\n"
              "<STX><SI>C<CR><LF><NUL><ETX>\r\n");
}

TEST_F(CommandWriterTest, NoTarget) {
    EXPECT_EQ(SendCommand(nullptr, nullptr, kCommandSingle, "R"), PCU_ERR_NO_TARGET);
    EXPECT_EQ(SendCommandList(nullptr, nullptr, false, nullptr, "R;S"), PCU_ERR_NO_TARGET);
}

TEST_F(CommandWriterTest, ListsToAFileAreOneCommandPerLineWithoutSeparators) {
    for (bool keep : {false, true}) {
        std::string file;
        EXPECT_EQ(SendCommandList(nullptr, &file, keep, nullptr, ";<SI>C2;;<SI>c0;<ESC>k;"), 0);
        EXPECT_EQ(file, "<STX><SI>C2<ETX>\r\n<STX><SI>c0<ETX>\r\n<STX><ESC>k<ETX>\r\n") << keep;
    }
    std::string file;
    EXPECT_EQ(SendCommandList(nullptr, &file, false, nullptr, ";;;"), 0);
    EXPECT_EQ(SendCommandList(nullptr, &file, false, nullptr, ""), 0);
    EXPECT_EQ(file, "");
}

std::vector<std::int32_t> g_positions;
void Record(std::int32_t position) {
    g_positions.push_back(position);
}

TEST_F(CommandWriterTest, ProgressCountsTheCharactersWritten) {
    g_positions.clear();
    std::string file;
    EXPECT_EQ(SendCommandList(nullptr, &file, false, &Record, "ab;cde;;f"), 0);
    EXPECT_EQ(g_positions, (std::vector<std::int32_t>{2, 5, 6}));
}

TEST_F(CommandWriterTest, APrinterNeedsAnOpenConnection) {
    Connection conn;  // never opened: the context has no batch buffer
    EXPECT_EQ(SendCommand(&conn, nullptr, kCommandSingle, "R"), PCU_ERR_NO_CONTEXT);
    conn.owner = FindContext(ctx);
    EXPECT_EQ(SendCommand(&conn, nullptr, kCommandSingle, "R"), PCU_ERR_LOCK);
}

TEST_F(CommandWriterTest, APrinterIsNeverSentAHeaderOrAnOversizedCommand) {
    Connection conn;
    ConnOpen(*FindContext(ctx), conn);  // the port opens on the first write
    EXPECT_EQ(SendCommand(&conn, nullptr, kCommandHeader, "<ETX>5200A,1.0"), kHeaderNotSent);
    const std::string huge(conn.sendSize, 'x');
    EXPECT_EQ(SendCommand(&conn, nullptr, kCommandSingle, huge), kFrameTooLong);
    EXPECT_EQ(FindContext(ctx)->lastError, kFrameTooLong);
    EXPECT_EQ(FindContext(ctx)->replyPos, 0) << "nothing was copied into the batch";
    EXPECT_EQ(SendCommandList(&conn, nullptr, true, nullptr, "a;" + huge + ";b"), kFrameTooLong);
    EXPECT_FALSE(conn.port.isOpen()) << "the refusals came before any write";
    ConnClose(conn);
}

}  // namespace
}  // namespace tarvo
