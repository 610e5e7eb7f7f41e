#include "data/preload.h"

#include "data/database.h"
#include "data/table_cache.h"

namespace ov {

Preload::Preload(const Workspace& ws, std::vector<std::string> names)
    : worker_([this, &ws, names = std::move(names)] {
          for (const std::string& name : names) {
              if (stop_) return;
              try {
                  auto db = Database::open(ws, name);
                  tablecache::beginLoading(db->path());
                  struct End {
                      const std::filesystem::path& path;
                      ~End() { tablecache::endLoading(path); }
                  } end{db->path()};
                  const auto stamp = tablecache::stampOf(db->path());
                  for (const std::string& table : db->tableNames())
                      tablecache::store(db->path(), stamp, db->backend().loadTable(table));
              } catch (...) {
                  // Left to the reader who needs the file: it reads it again and reports.
              }
          }
      }) {}

Preload::~Preload() {
    stop_ = true;
    worker_.join();
}

}  // namespace ov
