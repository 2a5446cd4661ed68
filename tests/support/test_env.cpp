#include "support/test_env.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/clock.h"
#include "platform/trace.h"
#include "session/kernel_state.h"
#include "tarvo/context.h"

namespace tarvo::test {

TestEnv::TestEnv() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    profile_ = root_ + "/config/Quorvane/tarvo32.ini";
    std::filesystem::create_directories(root_ + "/run");
    setEnv("TARVO_PROFILE", profile_.c_str());
    setEnv("XDG_CONFIG_HOME", (root_ + "/config").c_str());
    setEnv("XDG_RUNTIME_DIR", (root_ + "/run").c_str());
    setEnv("XDG_STATE_HOME", (root_ + "/state").c_str());
    setEnv("XDG_DATA_HOME", (root_ + "/data").c_str());
    setEnv("TARVO_HOME", (root_ + "/data/tarvo").c_str());
    setEnv("TARVO_TRACE", "");
    platform::ResetTrace();
    ResetKernelState();
    platform::SetClock(nullptr);
    EXPECT_EQ(PCUCreateProfile(), PCU_OK);
}

TestEnv::~TestEnv() {
    ResetKernelState();
    platform::SetClock(nullptr);
    PCUSetHostHooks(nullptr);
    for (const auto& [name, value] : saved_) {
        if (value) {
            ::setenv(name.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name.c_str());
        }
    }
    platform::ResetTrace();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void TestEnv::setEnv(const char* name, const char* value) {
    if (!saved_.count(name)) {
        const char* old = std::getenv(name);
        saved_[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value != nullptr) {
        ::setenv(name, value, 1);
    } else {
        ::unsetenv(name);
    }
}

void TestEnv::setProfile(const std::string& key, const std::string& value) {
    ASSERT_EQ(PCUWriteProfileString("Communications", key.c_str(), value.c_str(), 0), PCU_OK)
        << key;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tarvo::test
