#pragma once
// The working folder: file names resolved the way Windows does (any letter case, "\" as separator),
// the environment (PCLocal, DIRSH, destination variables) and the clock, all replaceable in tests.
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/dates.h"

namespace ov {

class Environment {
public:
    virtual ~Environment() = default;
    virtual std::optional<std::string> get(const std::string& name) const = 0;
};

// The process environment.
class ProcessEnvironment : public Environment {
public:
    std::optional<std::string> get(const std::string& name) const override;
};

// A fixed set of variables, for tests and unattended runs.
class MapEnvironment : public Environment {
public:
    MapEnvironment() = default;
    explicit MapEnvironment(std::map<std::string, std::string> vars) : vars_(std::move(vars)) {}
    void set(const std::string& name, const std::string& value) { vars_[name] = value; }
    void unset(const std::string& name) { vars_.erase(name); }
    std::optional<std::string> get(const std::string& name) const override;

private:
    std::map<std::string, std::string> vars_;
};

class Workspace {
public:
    using Clock = std::function<DateTime()>;

    explicit Workspace(std::filesystem::path folder,
                       std::shared_ptr<const Environment> env = std::make_shared<ProcessEnvironment>(),
                       Clock clock = systemClock());

    const std::filesystem::path& folder() const { return folder_; }
    const Environment& environment() const { return *env_; }
    std::shared_ptr<const Environment> environmentPtr() const { return env_; }
    std::optional<std::string> env(const std::string& name) const { return env_->get(name); }
    DateTime now() const { return clock_(); }
    void setClock(Clock clock) { clock_ = std::move(clock); }
    void setEnvironment(std::shared_ptr<const Environment> env) { env_ = std::move(env); }

    // The existing file or folder a name means, matched without regard to case, component by
    // component; relative names start at the working folder. Empty when nothing matches.
    std::optional<std::filesystem::path> find(const std::string& name) const;
    bool exists(const std::string& name) const { return find(name).has_value(); }
    // The path to write a file to: the existing file of that name in any letter case, else the
    // name as spelled (its folders resolved case-insensitively where they exist).
    std::filesystem::path pathFor(const std::string& name) const;

    static Clock systemClock();

private:
    std::filesystem::path folder_;
    std::shared_ptr<const Environment> env_;
    Clock clock_;
};

// "\" and "/" both separate folders; names are given in the code page of the suite's files and
// live on disk in UTF-8.
std::filesystem::path nativeRelative(const std::string& name);
// A name of the working folder (code page 1252) as messages show it: UTF-8, with "/" between
// folders as the system writes paths.
std::string shownFileName(const std::string& name);

}  // namespace ov
