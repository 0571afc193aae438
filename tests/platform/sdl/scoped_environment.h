// Environment variables set for one test and put back after it.
#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace platform::sdl::testing {

class ScopedEnvironment {
  public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) {
            Put(name, value ? value->c_str() : nullptr);
        }
    }
    // Sets `name` to `value`, or unsets it for null.
    void Set(const std::string& name, const char* value) {
        if (!saved_.contains(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        Put(name, value);
    }

  private:
    static void Put(const std::string& name, const char* value) {
        if (value) {
            setenv(name.c_str(), value, 1);
        } else {
            unsetenv(name.c_str());
        }
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace platform::sdl::testing
