// Sets an environment variable for the length of a test, as a user's shell would
// have it, and puts back what was there.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace quellhart::test {

class ScopedVariable {
public:
    // `value` none: the variable is unset.
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* before = std::getenv(name)) before_ = before;
        Set(value);
    }
    ~ScopedVariable() { Set(before_ ? before_->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void Set(const char* value) {
#ifdef _WIN32
        _putenv_s(name_, value ? value : "");
#else
        if (value)
            setenv(name_, value, 1);
        else
            unsetenv(name_);
#endif
    }
    const char* name_;
    std::optional<std::string> before_;
};

}  // namespace quellhart::test
