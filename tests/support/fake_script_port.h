// A stand-in for the line to a Brakenholm printer: records every open, write, wait, read and
// close in order, and answers reads from canned replies chosen by the last command line the
// host wrote on the connection. Waits cost no time.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "brakenholm/script_port.h"

namespace tarvo::test {

class FakeScriptPort final : public app::ScriptPort {
  public:
    struct Reply {
        std::string text;
        int silentReads = 0;  // reads that return nothing before the text comes
    };

    // Answers `command` (the last line written before the read, without its line end and
    // without DC1 bytes) with `reply`. Replies for one command are used in the order given; the
    // last one stays. `lineSettings` limits the answer to connections opened with those
    // settings ("*" for any, "" for the context's). A reply added after the last one was used
    // answers the next question.
    void Answer(const std::string& command, Reply reply, const std::string& lineSettings = "*");
    void Answer(const std::string& command, const std::string& text,
                const std::string& lineSettings = "*") {
        Answer(command, Reply{text, 0}, lineSettings);
    }

    // Faults: opens fail with `error`; a write whose bytes contain `part` fails; reads fail.
    void FailOpens(int error) { openError_ = error; }
    void FailWritesContaining(std::string part, int error) {
        failWrite_ = {std::move(part), error};
    }
    void FailReads(int error) { readError_ = error; }

    app::OpenOutcome Open(std::string_view lineSettings) override;
    void Wait(int ms) override;

    // The record: "[open]", "[open 9600,m,8,2]", "[wait 200]", "[read]", "[slow]" before bytes
    // written one at a time, "[close]", and the bytes written in the control-character notation
    // (<CR>, <LF>, <DC1>).
    const std::string& Wire() const { return wire_; }
    // The command lines written, in order, without line ends and DC1 bytes.
    std::vector<std::string> Lines() const;
    // The lines written that are not the verbosity switch "SYSVAR(18)=0".
    std::vector<std::string> Commands() const;
    int opens = 0;
    int openConnections = 0;
    int totalWaitMs = 0;
    void ClearRecord();

  private:
    class Connection;
    friend class Connection;
    Reply NextReply(const std::string& lineSettings, const std::string& command);

    // Replies are used in order; the last one stays for every later question.
    struct Queue {
        std::deque<Reply> replies;
        bool frontUsed = false;
    };
    std::map<std::pair<std::string, std::string>, Queue> replies_;
    std::string wire_;
    std::string written_;  // raw bytes, for Lines()
    int openError_ = 0;
    std::pair<std::string, int> failWrite_{{}, 0};
    int readError_ = 0;
};

}  // namespace tarvo::test
