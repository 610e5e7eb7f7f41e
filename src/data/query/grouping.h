#pragma once
// The groups of a query with GROUP BY or aggregates: its rows gathered by the values of the GROUP BY
// expressions (text without regard to case, nulls together), and the expressions of the select
// list, HAVING and ORDER BY rewritten to read a group's row, which holds the group's key values
// and then its aggregates. Without GROUP BY all rows form one group, even when there are none.
#include <vector>

#include "data/query/row_source.h"

namespace ov::query {

class Grouping {
public:
    // The GROUP BY expressions, bound in the scope of the query's rows.
    explicit Grouping(std::vector<BoundValues> keys);

    // Rewrites an expression bound in the scope of the query's rows to read group rows. Error 3122
    // naming a field that is neither a GROUP BY expression nor inside an aggregate.
    void adopt(BoundValues& expression, const Scope& scope);

    // One row per group, ordered by the key values.
    std::vector<Row> groupRows(const std::vector<Row>& rows) const;

private:
    Node rewrite(const Node& n, const Bindings& b, const Scope& scope);

    struct Slot {
        Node aggregate;
        Bindings bindings;
    };
    std::vector<BoundValues> keys_;
    std::vector<Slot> aggregates_;
};

}  // namespace ov::query
