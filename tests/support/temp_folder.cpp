#include "support/temp_folder.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace ovtest {

TempFolder::TempFolder() {
    std::random_device rd;
    for (;;) {
        path_ = fs::temp_directory_path() / ("ovdesk-test-" + std::to_string(rd()));
        if (fs::create_directory(path_)) break;
    }
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void TempFolder::write(const std::string& name, const std::string& bytes) const {
    fs::path p = path_ / name;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string TempFolder::read(const std::string& name) const { return readBytes(path_ / name); }

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

fs::path fixturesDir() {
#ifdef OVDESK_FIXTURES_DIR
    return fs::path(OVDESK_FIXTURES_DIR);
#else
    return fs::path("tests/fixtures");
#endif
}

fs::path copyFixtureWorkFolder(const std::string& set, const fs::path& folder) {
    const fs::path dir = fixturesDir() / set;
    for (const auto& e : fs::directory_iterator(dir / "work")) {
        const fs::path to = folder / e.path().filename();
        fs::copy_file(e.path(), to);
        fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
    }
    return fs::exists(dir / "storico") ? dir / "storico" : fs::path();
}

}  // namespace ovtest
