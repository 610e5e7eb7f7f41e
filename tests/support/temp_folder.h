#pragma once
// A fresh working folder under the system's temporary folder, removed with its content at the end.
#include <filesystem>
#include <string>

namespace ovtest {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Writes bytes exactly as given (no line-end translation).
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// The bytes of a file, empty when it cannot be read.
std::string readBytes(const std::filesystem::path& file);

// The repository's Jet fixtures (tests/fixtures: "access", "edge", "hotel", "damaged", "northwind").
std::filesystem::path fixturesDir();

// The working folder of a fixture set ("edge", "hotel") copied into `folder`, writable. Returns the
// set's history folder (for DIRSH), empty when it has none.
std::filesystem::path copyFixtureWorkFolder(const std::string& set, const std::filesystem::path& folder);

}  // namespace ovtest
