#include "data/jet_stream_reader.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#include "data/jet_stream.h"

namespace ov::jetstream {
namespace {

constexpr uint16_t kMaxFields = 255;

// Reads the stream from bytes in memory, or from a source that hands it over piece by piece
// (the helper's output as it comes): the bytes read are dropped, so a long stream never sits
// whole in memory beside the tables made of it. A view that take() gives lasts until the next
// take().
class Cursor {
public:
    explicit Cursor(std::string_view bytes) : s_(bytes) {}
    explicit Cursor(const ByteSource& more) : more_(&more) {}

    bool atEnd() { return pos_ == s_.size() && !fill(1); }
    uint8_t u8() { return static_cast<uint8_t>(*next(1)); }
    uint16_t u16() { return le<uint16_t>(); }
    uint32_t u32() { return le<uint32_t>(); }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    int64_t i64() { return static_cast<int64_t>(le<uint64_t>()); }
    double f64() {
        uint64_t bits = le<uint64_t>();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    std::string str16() { return std::string(take(u16())); }
    std::string str32() { return std::string(take(u32())); }
    std::string_view take(size_t n) { return {next(n), n}; }

private:
    // Whether `n` bytes are there to read, asking the source for more.
    bool fill(size_t n) {
        if (!more_) return false;
        buffer_.erase(0, pos_);
        pos_ = 0;
        while (buffer_.size() < n)
            if (!(*more_)(buffer_)) break;
        s_ = buffer_;
        return buffer_.size() >= n;
    }
    // The next `n` bytes, which stay until the next read.
    const char* next(size_t n) {
        if (n > s_.size() - pos_ && !fill(n)) throw MalformedStream("stream cut short");
        const char* p = s_.data() + pos_;
        pos_ += n;
        return p;
    }
    // A little-endian integer: the bytes as they are on a little-endian processor.
    template <typename T>
    T le() {
        const char* b = next(sizeof(T));
        T v = 0;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&v, b, sizeof v);
        } else {
            for (size_t i = sizeof(T); i-- > 0;) v = static_cast<T>(v << 8 | static_cast<unsigned char>(b[i]));
        }
        return v;
    }

    const ByteSource* more_ = nullptr;
    std::string buffer_;
    std::string_view s_;
    size_t pos_ = 0;
};

FieldType fieldType(uint8_t code) {
    switch (code) {
    case kBoolean: return FieldType::Boolean;
    case kInteger: return FieldType::Integer;
    case kLong: return FieldType::Long;
    case kCurrency: return FieldType::Currency;
    case kDouble: return FieldType::Double;
    case kDateTime: return FieldType::DateTime;
    case kText: return FieldType::Text;
    case kMemo: return FieldType::Memo;
    default: throw MalformedStream("unknown field type " + std::to_string(code));
    }
}

Value readValue(Cursor& in, FieldType type) {
    uint8_t present = in.u8();
    if (present == kNull) return Value::null();
    if (present != kPresent) throw MalformedStream("bad value marker");
    switch (type) {
    case FieldType::Boolean: {
        uint8_t b = in.u8();
        if (b > 1) throw MalformedStream("bad yes/no value");
        return Value::boolean(b == 1);
    }
    case FieldType::Integer:
    case FieldType::Long: return Value::integer(in.i32());
    case FieldType::Currency: return Value::currency(Money::fromUnits(in.i64()));
    case FieldType::Double: return Value::real(in.f64());
    case FieldType::DateTime: return Value::dateTime(DateTimeValue{in.f64()});
    case FieldType::Text:
    case FieldType::Memo: return Value::text(in.take(in.u32()));
    }
    throw MalformedStream("bad field type");
}

std::shared_ptr<Table> readTable(Cursor& in) {
    auto table = std::make_shared<Table>();
    table->name = in.str16();
    uint16_t count = in.u16();
    // The engine's limit: what goes past it is no table of a Jet file.
    if (count > kMaxFields) throw MalformedStream("too many fields in table " + table->name);
    table->fields.reserve(count);
    for (uint16_t i = 0; i < count; ++i) {
        Field f;
        f.name = in.str16();
        f.type = fieldType(in.u8());
        f.size = static_cast<int>(in.u32());
        table->fields.push_back(std::move(f));
    }
    for (;;) {
        char tag = static_cast<char>(in.u8());
        if (tag == kTableEnd) break;
        if (tag != kRow) throw MalformedStream("bad row marker in table " + table->name);
        Row row;
        row.reserve(table->fields.size());
        for (const Field& f : table->fields) row.push_back(readValue(in, f.type));
        table->rows.push_back(std::move(row));
    }
    if (in.u32() != table->rows.size()) throw MalformedStream("row count mismatch in table " + table->name);
    return table;
}

StoredQuery readQuery(Cursor& in) {
    StoredQuery q;
    q.name = in.str16();
    uint8_t kind = in.u8();
    if (!isQueryKind(kind)) throw MalformedStream("unknown query kind " + std::to_string(kind));
    q.kind = static_cast<QueryKind>(kind);
    q.sql = in.str32();
    return q;
}

Contents parse(Cursor& in) {
    if (in.take(kMagic.size()) != kMagic) throw MalformedStream("not a table stream");
    Contents c;
    for (;;) {
        char tag = static_cast<char>(in.u8());
        if (tag == kStreamEnd) break;
        if (tag == kTable && c.queries.empty() && c.queriesUnreadable.empty()) {
            c.tables.push_back(readTable(in));
        } else if (tag == kQuery && c.queriesUnreadable.empty()) {
            c.queries.push_back(readQuery(in));
        } else if (tag == kQueriesUnreadable && c.queries.empty() && c.queriesUnreadable.empty()) {
            c.queriesUnreadable = in.str32();
            if (c.queriesUnreadable.empty()) throw MalformedStream("unreadable queries without a reason");
        } else {
            throw MalformedStream("bad table marker");
        }
    }
    if (in.u32() != c.tables.size()) throw MalformedStream("table count mismatch");
    if (!in.atEnd()) throw MalformedStream("bytes after the end of the stream");
    return c;
}

}  // namespace

Contents parseStream(std::string_view bytes) {
    Cursor in(bytes);
    return parse(in);
}

Contents parseStream(const ByteSource& more) {
    Cursor in(more);
    return parse(in);
}

std::vector<std::shared_ptr<Table>> parseTables(std::string_view bytes) { return parseStream(bytes).tables; }

}  // namespace ov::jetstream
