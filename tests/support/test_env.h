// Per-test surroundings: a private directory holding the profile, the runtime directory (lock
// files, line-format notes), the state and data directories, with the environment pointing at
// them and the kernel's process-wide state reset before and after.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::test {

class TestEnv {
  public:
    TestEnv();
    ~TestEnv();
    TestEnv(const TestEnv&) = delete;
    TestEnv& operator=(const TestEnv&) = delete;

    const std::string& root() const { return root_; }
    const std::string& profilePath() const { return profile_; }

    // Writes a profile value through the kernel (the profile exists from the start).
    void setProfile(const std::string& key, const std::string& value);

    // Sets (or, for null, removes) an environment variable until the end of the test, when its
    // value from before the test comes back.
    void setEnv(const char* name, const char* value);

  private:
    std::string root_;
    std::string profile_;
    std::map<std::string, std::optional<std::string>> saved_;
};

// Reads a whole file; empty when it does not exist.
std::string ReadFile(const std::string& path);
// Writes `bytes` as the whole file, replacing what it held.
void WriteFile(const std::string& path, std::string_view bytes);

}  // namespace tarvo::test
