#pragma once

#include <QByteArray>
#include <optional>

namespace zot::test {

// Sets (or, with nullopt, unsets) an environment variable for one scope and
// puts the old value back afterwards.
class EnvironmentOverride {
  public:
    EnvironmentOverride(const char* name, std::optional<QByteArray> value) : name_(name) {
        if (qEnvironmentVariableIsSet(name))
            previous_ = qgetenv(name);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~EnvironmentOverride() {
        if (previous_)
            qputenv(name_, *previous_);
        else
            qunsetenv(name_);
    }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

  private:
    const char* name_;
    std::optional<QByteArray> previous_;
};

} // namespace zot::test
