#include "data/preload.h"

#include "data/column_needs.h"
#include "data/database.h"
#include "data/table_cache.h"

namespace ov {

Preload::Preload(const Workspace& ws, std::vector<std::string> names)
    : worker_([this, &ws, names = std::move(names), needs = currentColumnNeeds()] {
          // The columns the run that started the thread needs.
          ColumnNeedsScope scope(needs);
          for (const std::string& name : names) {
              if (stop_) return;
              try {
                  auto db = Database::open(ws, name);
                  // The run got there first and read it itself.
                  if (tablecache::holdsTablesOf(db->path())) continue;
                  tablecache::beginLoading(db->path());
                  struct End {
                      const std::filesystem::path& path;
                      ~End() { tablecache::endLoading(path); }
                  } end{db->path()};
                  const auto stamp = tablecache::stampOf(db->path());
                  for (const std::string& table : db->tableNames()) {
                      const std::vector<std::string>* columns = needs ? needs->of(table) : nullptr;
                      tablecache::store(db->path(), stamp,
                                        columns ? db->backend().loadColumns(table, *columns)
                                                : db->backend().loadTable(table));
                  }
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
