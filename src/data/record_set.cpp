// Placeholder until the query engine lands.
#include "data/record_set.h"
#include "data/database.h"
#include "core/error.h"
namespace ov {
struct RecordSet::Matcher {};
RecordSet::RecordSet(std::shared_ptr<Database> db, std::shared_ptr<const Table> table, std::vector<uint32_t> rows)
    : db_(std::move(db)), table_(std::move(table)), rows_(std::move(rows)) {}
RecordSet::~RecordSet() = default;
RecordSet::RecordSet(RecordSet&&) noexcept = default;
RecordSet& RecordSet::operator=(RecordSet&&) noexcept = default;
RecordSet Database::openRecordSet(const std::string&) { throw Error(err::QuerySyntax, "non disponibile"); }
}  // namespace ov
