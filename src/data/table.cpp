#include "data/table.h"

#include "core/cp1252.h"

namespace ov {

int Table::fieldIndex(std::string_view fieldName) const {
    for (size_t i = 0; i < fields.size(); ++i)
        if (cp1252::equalNoCase(fields[i].name, fieldName)) return static_cast<int>(i);
    return -1;
}

}  // namespace ov
