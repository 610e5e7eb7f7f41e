#include "table_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/cp1252.h"
#include "data/jet_stream.h"
#include "jet_text.h"
#include "row_scanner.h"
#include "table_definition.h"

namespace js = ov::jetstream;

namespace mdbread {
namespace {

uint8_t typeCode(int mdbType) {
    switch (mdbType) {
    case MDB_BOOL: return js::kBoolean;
    case MDB_BYTE:
    case MDB_INT: return js::kInteger;
    case MDB_LONGINT:
    case MDB_COMPLEX: return js::kLong;
    case MDB_MONEY: return js::kCurrency;
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC: return js::kDouble;
    case MDB_DATETIME: return js::kDateTime;
    case MDB_TEXT:
    case MDB_BINARY:
    case MDB_REPID: return js::kText;
    default: return js::kMemo;  // memo; OLE objects come as null memos
    }
}

std::string hex(const unsigned char* p, size_t n) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

template <typename T>
T fromBits(uint64_t bits) {
    T x;
    if constexpr (sizeof(T) == 4) {
        uint32_t b = static_cast<uint32_t>(bits);
        std::memcpy(&x, &b, sizeof x);
    } else {
        std::memcpy(&x, &bits, sizeof x);
    }
    return x;
}

// A Single as the engine shows it: the shortest decimal that reads back as the same Single
// (0.15, not 0.150000005960464), carried as the double of that decimal.
double singleAsShown(float f) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, f);
    if (ec != std::errc()) return f;
    double d = f;
    std::from_chars(buf, end, d);
    return d;
}

class TableWriter {
public:
    TableWriter(MdbTableDef* table, const std::string& name, StreamWriter& out, LongValueReader& longValues,
                const std::vector<std::string>* columns)
        : mdb_(table->entry->mdb), table_(table), name_(name), out_(out), longValues_(longValues), scanner_(table),
          fields_(table->num_cols), jet4_(mdb_->f->jet_version != MDB_VER_JET3) {
        for (unsigned i = 0; i < table_->num_cols; ++i)
            if (!columns || asked(*columns, ov::cp1252::fromUtf8(column(i).name))) written_.push_back(i);
    }

    void write() {
        writeFields();
        uint32_t rows = scanner_.forEachRow([this](int start, int end) { writeRow(start, end); });
        out_.u8(static_cast<uint8_t>(js::kTableEnd));
        out_.u32(rows);
    }

private:
    MdbColumn& column(unsigned i) const { return *static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, i)); }
    std::string text(const unsigned char* p, size_t n) const { return jet4_ ? jet4Text(p, n) : jet3Text(p, n); }
    void writeFields();
    void writeRow(int start, int end);
    void writeValue(const MdbColumn& col, const MdbField& f, int rowStart, int rowEnd);

    MdbHandle* mdb_;
    MdbTableDef* table_;
    const std::string& name_;
    StreamWriter& out_;
    LongValueReader& longValues_;
    RowScanner scanner_;
    static bool asked(const std::vector<std::string>& columns, const std::string& name) {
        for (const std::string& c : columns)
            if (ov::cp1252::equalNoCase(c, name)) return true;
        return false;
    }

    std::vector<MdbField> fields_;
    std::vector<unsigned> written_;  // the columns sent, in the table's order
    bool jet4_;
};

void TableWriter::writeFields() {
    out_.u8(static_cast<uint8_t>(js::kTable));
    out_.str16(name_);
    out_.u16(static_cast<uint16_t>(written_.size()));
    for (unsigned i : written_) {
        const MdbColumn& col = column(i);
        int size = col.col_size;
        if (col.col_type == MDB_TEXT && jet4_) size /= 2;  // Jet 4 counts the bytes of UTF-16
        if (col.col_type == MDB_BOOL) size = 1;
        out_.str16(ov::cp1252::fromUtf8(col.name));
        out_.u8(typeCode(col.col_type));
        out_.u32(static_cast<uint32_t>(std::max(size, 0)));
    }
}

void TableWriter::writeRow(int start, int end) {
    if (mdb_crack_row(table_, start, static_cast<size_t>(end - start), fields_.data()) < 0)
        scanner_.damaged("unreadable row");
    out_.u8(static_cast<uint8_t>(js::kRow));
    for (unsigned i : written_) writeValue(column(i), fields_[i], start, end);
    out_.maybeFlush();
}

void TableWriter::writeValue(const MdbColumn& col, const MdbField& f, int rowStart, int rowEnd) {
    // Yes/No lives in the row's null mask: a set bit is Yes; it is never null.
    if (col.col_type == MDB_BOOL) {
        out_.u8(js::kPresent);
        out_.u8(f.is_null ? 0 : 1);
        return;
    }
    if (f.is_null || col.col_type == MDB_OLE) {
        out_.u8(js::kNull);
        return;
    }
    if (f.siz < 0 || f.start < rowStart || f.start + f.siz > rowEnd)
        scanner_.damaged(std::string("field ") + col.name + " out of its row");
    const unsigned char* v = mdb_->pg_buf + f.start;
    auto need = [&](int bytes) {
        if (f.siz < bytes) scanner_.damaged(std::string("field ") + col.name + " too short");
    };
    out_.u8(js::kPresent);
    switch (col.col_type) {
    case MDB_BYTE: need(1); out_.i32(v[0]); break;
    case MDB_INT: need(2); out_.i32(static_cast<int16_t>(u16(v))); break;
    case MDB_LONGINT:
    case MDB_COMPLEX: need(4); out_.i32(static_cast<int32_t>(u32(v))); break;
    case MDB_MONEY: need(8); out_.i64(static_cast<int64_t>(u64(v))); break;
    case MDB_FLOAT: need(4); out_.f64(singleAsShown(fromBits<float>(u32(v)))); break;
    case MDB_DOUBLE:
    case MDB_DATETIME: need(8); out_.f64(fromBits<double>(u64(v))); break;
    case MDB_NUMERIC: {
        need(17);
        char* s = mdb_numeric_to_string(mdb_, f.start, col.col_scale, col.col_prec);
        out_.f64(s ? std::strtod(s, nullptr) : 0.0);
        g_free(s);
        break;
    }
    case MDB_TEXT:
        if (jet4_) out_.str32With([&](std::string& b) { appendJet4Text(b, v, static_cast<size_t>(f.siz)); });
        else out_.str32(jet3Text(v, static_cast<size_t>(f.siz)));
        break;
    case MDB_MEMO: {
        std::string bytes = longValues_.read(v, static_cast<size_t>(f.siz));
        out_.str32(text(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
        break;
    }
    case MDB_REPID: {  // shown as Access shows it: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
        need(16);
        char* s = mdb_uuid_to_string(mdb_->pg_buf, f.start);
        out_.str32(s ? s : "");
        g_free(s);
        break;
    }
    case MDB_BINARY: out_.str32(hex(v, static_cast<size_t>(f.siz))); break;
    default: out_.str32(""); break;
    }
}

}  // namespace

void writeTable(UserTable& user, StreamWriter& out, LongValueReader& longValues,
                const std::vector<std::string>* columns) {
    TableDefinition def(user.entry, user.name, user.system);
    TableWriter(def.get(), user.name, out, longValues, columns).write();
}

}  // namespace mdbread
