// `tarvo config push FILE --devices D1,D2,...` (or `--ports COM1,COM2`): one configuration file
// to many printers at once. The kernel's connection state belongs to its process, so each
// printer gets a worker process of its own: this program again, pushing to one device.
#pragma once

#include <string>
#include <vector>

namespace tarvo::cli {

// Exit status of a push that skipped a printer of another model than the file's.
inline constexpr int kSkipped = 3;

struct PushRequest {
    std::string file;
    std::vector<std::string> devices;  // --devices
    std::vector<std::string> ports;    // --ports
    bool force = false;                // --force: a printer of another model takes it too
};

// Reads `push FILE [--devices D,...|--ports P,...] [--force]` from the command's arguments.
// Returns 0, or the exit status after saying what is wrong.
int ParsePush(const std::vector<std::string>& args, PushRequest* request);

// Runs one worker per device or port, shows a line per printer while they work (on a
// terminal) and a table at the end, or with `json` a JSON array. Returns 0 only when every
// printer took the configuration.
int PushToMany(const PushRequest& request, bool json);

}  // namespace tarvo::cli
