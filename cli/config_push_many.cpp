#include "config_push_many.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string_view>

#include "cli_support.h"
#include "json_output.h"
#include "tarvo/base/port_names.h"

extern char** environ;

namespace tarvo::cli {
namespace {

using Clock = std::chrono::steady_clock;

// One printer's worker and what it has said so far.
struct Worker {
    std::string target;  // the device path or the port name
    pid_t pid = -1;
    int out = -1, err = -1;
    std::string stdoutText, stderrText;
    Clock::time_point started;
    double seconds = 0;
    bool done = false;
    int status = -1;
    std::string model, result, reason;
};

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');) {
        if (!item.empty())
            items.push_back(item);
    }
    return items;
}

// Starts `tarvo [--device D | --port P] --yes --json config push FILE [--force]`.
bool Start(Worker& w, const PushRequest& request, bool byDevice) {
    std::vector<std::string> args = {"tarvo",  byDevice ? "--device" : "--port",
                                     w.target, "--yes",
                                     "--json", "config",
                                     "push",   request.file};
    if (request.force)
        args.push_back("--force");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const int rc = ::posix_spawn(&w.pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    // The parent reads both pipes in turn and must never block on one of them.
    ::fcntl(outPipe[0], F_SETFL, O_NONBLOCK);
    ::fcntl(errPipe[0], F_SETFL, O_NONBLOCK);
    w.out = outPipe[0];
    w.err = errPipe[0];
    w.started = Clock::now();
    return rc == 0;
}

// The outcome from the worker's exit status, its JSON document and its last complaint.
void Conclude(Worker& w) {
    w.seconds = std::chrono::duration<double>(Clock::now() - w.started).count();
    const Json document = Json::parse(w.stdoutText, nullptr, false);
    if (document.is_object()) {
        w.model = document.value("model", "");
        w.result = document.value("result", "");
        if (document.contains("reason") && document["reason"].is_string())
            w.reason = document["reason"].get<std::string>();
    }
    if (w.result.empty())
        w.result = w.status == 0 ? "sent" : "failed";
    if (w.reason.empty() && w.status != 0) {
        std::string last = w.stderrText;
        while (!last.empty() && last.back() == '\n')
            last.pop_back();
        last = last.substr(last.rfind('\n') + 1);
        for (const char* prefix : {"tarvo: ", "error: "}) {
            if (last.rfind(prefix, 0) == 0)
                last.erase(0, std::string_view(prefix).size());
        }
        w.reason = last.empty() ? "the worker ended with status " + std::to_string(w.status) : last;
    }
}

// Reads whatever the workers have written; reaps those whose output has ended.
void Pump(std::vector<Worker>& workers) {
    std::vector<pollfd> fds;
    for (Worker& w : workers) {
        if (w.out >= 0)
            fds.push_back({w.out, POLLIN, 0});
        if (w.err >= 0)
            fds.push_back({w.err, POLLIN, 0});
    }
    if (fds.empty())
        return;
    ::poll(fds.data(), fds.size(), 200);
    char chunk[4096];
    for (Worker& w : workers) {
        for (auto [fd, text] : {std::pair{&w.out, &w.stdoutText}, {&w.err, &w.stderrText}}) {
            if (*fd < 0)
                continue;
            const ssize_t got = ::read(*fd, chunk, sizeof chunk);
            if (got > 0) {
                text->append(chunk, static_cast<std::size_t>(got));
            } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                ::close(*fd);
                *fd = -1;
            }
        }
        if (!w.done && w.out < 0 && w.err < 0) {
            int raw = 0;
            ::waitpid(w.pid, &raw, 0);
            w.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            w.done = true;
            Conclude(w);
        }
    }
}

std::string LiveLine(const Worker& w) {
    if (!w.done)
        return w.target + ": sending...";
    return w.target + ": " + w.result + (w.reason.empty() ? "" : " (" + w.reason + ")");
}

void PrintTable(const std::vector<Worker>& workers) {
    std::size_t width = 6;
    for (const Worker& w : workers)
        width = std::max(width, w.target.size());
    std::printf("%-*s  %-16s %-8s %7s\n", static_cast<int>(width), "DEVICE", "MODEL", "RESULT",
                "TIME");
    for (const Worker& w : workers) {
        std::printf("%-*s  %-16s %-8s %6.1fs%s%s\n", static_cast<int>(width), w.target.c_str(),
                    w.model.empty() ? "-" : w.model.c_str(), w.result.c_str(), w.seconds,
                    w.reason.empty() ? "" : "  ", w.reason.c_str());
    }
}

}  // namespace

int ParsePush(const std::vector<std::string>& args, PushRequest* request) {
    constexpr const char* kUsageText =
        "usage: tarvo config push FILE.tcf|- [--devices D1,D2,... | --ports P1,P2,...] [--force]";
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--force") {
            request->force = true;
        } else if (a == "--devices" && hasValue) {
            request->devices = SplitList(args[++i]);
        } else if (a == "--ports" && hasValue) {
            request->ports = SplitList(args[++i]);
        } else if (request->file.empty() && !a.starts_with("--")) {
            request->file = a;
        } else {
            return Fail(kUsageText, 2);
        }
    }
    if (request->file.empty() || (!request->devices.empty() && !request->ports.empty()))
        return Fail(kUsageText, 2);
    for (const std::string& port : request->ports) {
        if (PortIndexOf(port) < 0)
            return Fail("unknown port '" + port + "' (COM1..COM4, LPT1..LPT3)", 2);
    }
    const bool many = !request->devices.empty() || !request->ports.empty();
    if (many && request->file == "-")
        return Fail("a push to many printers reads a named file, not standard input", 2);
    return 0;
}

int PushToMany(const PushRequest& request, bool json) {
    std::error_code failed;
    if (!std::filesystem::is_regular_file(request.file, failed))
        return Fail("cannot read " + request.file + ": no such file");
    const bool byDevice = !request.devices.empty();
    std::vector<Worker> workers;
    for (const std::string& target : byDevice ? request.devices : request.ports)
        workers.push_back(Worker{.target = target});
    for (Worker& w : workers) {
        if (!Start(w, request, byDevice)) {
            w.done = true;
            w.result = "failed";
            w.reason = "the worker process could not be started";
        }
    }
    const bool live = !json && ::isatty(STDERR_FILENO);
    if (live) {
        for (const Worker& w : workers)
            std::cerr << LiveLine(w) << "\n";
    }
    std::vector<bool> reported(workers.size(), false);
    for (bool running = true; running;) {
        Pump(workers);
        running = false;
        for (std::size_t i = 0; i < workers.size(); ++i) {
            running = running || !workers[i].done;
            if (workers[i].done && !reported[i] && !json && !live) {
                std::cerr << LiveLine(workers[i]) << "\n";
                reported[i] = true;
            }
        }
        if (live) {
            // Each printer keeps its line: rewrite them all in place.
            std::cerr << "\x1b[" << workers.size() << "A";
            for (const Worker& w : workers)
                std::cerr << "\r\x1b[K" << LiveLine(w) << "\n";
        }
    }
    bool allSent = true;
    Json list = Json::array();
    for (const Worker& w : workers) {
        allSent = allSent && w.result == "sent";
        list.push_back({{"device", Utf8Text(w.target)},
                        {"model", w.model.empty() ? Json(nullptr) : Json(Utf8Text(w.model))},
                        {"result", w.result},
                        {"reason", w.reason.empty() ? Json(nullptr) : Json(Utf8Text(w.reason))},
                        {"seconds", w.seconds}});
    }
    if (json)
        PrintJson(list);
    else
        PrintTable(workers);
    return allSent ? 0 : 1;
}

}  // namespace tarvo::cli
