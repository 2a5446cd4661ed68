// The printer's end of the line: a pseudo-terminal master, plus a descriptor of the slave held
// open for the printer's whole life so that the master never reads EIO when the host closes
// the slave and opens it again.
#pragma once

#include <string>

#include "tarvo/base/unique_fd.h"

namespace tarvo::sim {

class PseudoTerminal {
  public:
    // Opens the pair, the slave in raw mode, the master non-blocking. Returns false with a
    // message.
    bool open(std::string* error);

    // Closes the master: the host then reads end of file. The slave descriptor goes too, since
    // a hung-up slave is of no more use.
    void close();

    int master() const { return master_.get(); }
    int slave() const { return slave_.get(); }
    bool isOpen() const { return static_cast<bool>(master_); }
    const std::string& slaveName() const { return slaveName_; }
    int number() const { return number_; }  // N of /dev/pts/N

  private:
    platform::UniqueFd master_;
    platform::UniqueFd slave_;
    std::string slaveName_;
    int number_ = -1;
};

// True when the host has taken every byte sent to it, asked on any descriptor of the slave
// (they share one input queue).
bool SlaveInputEmpty(int slaveFd);

// True when the master can take more bytes for the host.
bool MasterWritable(int masterFd);

// Makes `linkPath` a symbolic link to `target`, replacing an existing link (never anything
// else). Returns false with a message.
bool MakeDeviceLink(const std::string& linkPath, const std::string& target, std::string* error);

// Removes `linkPath` if it is still a link to `target`.
void RemoveDeviceLink(const std::string& linkPath, const std::string& target);

}  // namespace tarvo::sim
