#include "core/workspace.h"

#include <cstdlib>
#include <ctime>

#include "core/cp1252.h"

namespace fs = std::filesystem;

namespace ov {

std::optional<std::string> ProcessEnvironment::get(const std::string& name) const {
    const char* v = std::getenv(name.c_str());
    if (!v) return std::nullopt;
    return std::string(v);
}

std::optional<std::string> MapEnvironment::get(const std::string& name) const {
    auto it = vars_.find(name);
    if (it == vars_.end()) return std::nullopt;
    return it->second;
}

Workspace::Workspace(fs::path folder, std::shared_ptr<const Environment> env, Clock clock)
    : folder_(std::move(folder)), env_(std::move(env)), clock_(std::move(clock)) {}

Workspace::Clock Workspace::systemClock() {
    return [] {
        std::time_t t = std::time(nullptr);
        std::tm tm{};
        localtime_r(&t, &tm);
        return DateTime{Date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday}, tm.tm_hour, tm.tm_min, tm.tm_sec};
    };
}

std::string shownFileName(const std::string& name) {
    std::string s = cp1252::toUtf8(name);
    for (auto& c : s)
        if (c == '\\') c = '/';
    return s;
}

fs::path nativeRelative(const std::string& name) { return fs::path(shownFileName(name)); }

namespace {

// One component (UTF-8) looked up in a folder: the exact name first, then any letter case.
std::optional<fs::path> matchComponent(const fs::path& dir, const std::string& comp) {
    std::error_code ec;
    fs::path exact = dir / comp;
    if (fs::exists(exact, ec)) return exact;
    if (!fs::is_directory(dir, ec)) return std::nullopt;
    const std::string wanted = cp1252::fromUtf8(comp);
    std::optional<fs::path> found;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        std::string n = entry.path().filename().string();
        if (cp1252::equalNoCase(cp1252::fromUtf8(n), wanted)) {
            // Deterministic among several matches: the smallest name in byte order.
            if (!found || n < found->filename().string()) found = entry.path();
        }
    }
    return found;
}

}  // namespace

std::optional<fs::path> Workspace::find(const std::string& name) const {
    if (name.empty()) return std::nullopt;
    fs::path rel = nativeRelative(name);
    fs::path cur = rel.is_absolute() ? rel.root_path() : folder_;
    for (const auto& part : rel.relative_path()) {
        std::string comp = part.string();
        if (comp.empty() || comp == ".") continue;
        if (comp == "..") { cur = cur.parent_path(); continue; }
        auto m = matchComponent(cur, comp);
        if (!m) return std::nullopt;
        cur = *m;
    }
    return cur;
}

fs::path Workspace::pathFor(const std::string& name) const {
    if (auto f = find(name)) return *f;
    fs::path rel = nativeRelative(name);
    fs::path cur = rel.is_absolute() ? rel.root_path() : folder_;
    std::vector<std::string> parts;
    for (const auto& p : rel.relative_path()) parts.push_back(p.string());
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& comp = parts[i];
        if (comp.empty() || comp == ".") continue;
        if (i + 1 < parts.size()) {
            if (auto m = matchComponent(cur, comp)) { cur = *m; continue; }
        }
        cur /= comp;
    }
    return cur;
}

}  // namespace ov
