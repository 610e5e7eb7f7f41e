#pragma once
// A field value as the engine delivers it: null, yes/no, whole number, currency, double,
// date-time or text (code page 1252 bytes).
//
// Sixteen bytes, whatever the kind: the loaded tables of a large hotel hold millions of values.
// Texts of up to 15 bytes (dates, room numbers, codes, most names) are kept inside the value;
// longer ones on the heap, owned by the value.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <variant>

#include "core/money.h"
#include "core/number_format.h"

namespace ov {

// The engine's field type codes.
enum class FieldType : int {
    Boolean = 1,
    Integer = 3,
    Long = 4,
    Currency = 5,
    Double = 7,
    DateTime = 8,
    Text = 10,
    Memo = 12,
};

inline bool isTextType(FieldType t) { return t == FieldType::Text || t == FieldType::Memo; }

struct Field {
    std::string name;
    FieldType type = FieldType::Text;
    int size = 0;  // characters for text, bytes otherwise
};

struct DateTimeValue {
    double oleSerial = 0;  // days since 30/12/1899, the engine's date value
    bool operator==(const DateTimeValue&) const = default;
};

class Value {
public:
    Value() noexcept { bytes_[kTag] = static_cast<unsigned char>(Kind::Null); }
    ~Value() { release(); }
    Value(const Value& o) { copyFrom(o); }
    Value(Value&& o) noexcept {
        std::memcpy(bytes_, o.bytes_, sizeof bytes_);
        o.bytes_[kTag] = static_cast<unsigned char>(Kind::Null);
    }
    Value& operator=(const Value& o) {
        if (this != &o) {
            release();
            copyFrom(o);
        }
        return *this;
    }
    Value& operator=(Value&& o) noexcept {
        if (this != &o) {
            release();
            std::memcpy(bytes_, o.bytes_, sizeof bytes_);
            o.bytes_[kTag] = static_cast<unsigned char>(Kind::Null);
        }
        return *this;
    }

    static Value null() { return Value(); }
    static Value boolean(bool b) { return number(Kind::Bool, b ? 1 : 0); }
    static Value integer(int64_t i) { return number(Kind::Integer, i); }
    static Value currency(Money m) { return number(Kind::Currency, m.units()); }
    static Value real(double d) {
        Value v;
        v.setPayload(d);
        v.bytes_[kTag] = static_cast<unsigned char>(Kind::Real);
        return v;
    }
    static Value dateTime(DateTimeValue d) {
        Value v = real(d.oleSerial);
        v.bytes_[kTag] = static_cast<unsigned char>(Kind::DateTime);
        return v;
    }
    static Value text(std::string_view s) {
        Value v;
        v.setText(s);
        return v;
    }

    bool isNull() const { return kind() == Kind::Null; }
    bool isBool() const { return kind() == Kind::Bool; }
    bool isInteger() const { return kind() == Kind::Integer; }
    bool isCurrency() const { return kind() == Kind::Currency; }
    bool isReal() const { return kind() == Kind::Real; }
    bool isDateTime() const { return kind() == Kind::DateTime; }
    bool isText() const { return kind() >= Kind::ShortText; }
    bool isNumber() const { return kind() >= Kind::Bool && kind() <= Kind::DateTime; }

    // Each throws std::bad_variant_access for a value of another kind.
    bool asBool() const { return payload<int64_t>(Kind::Bool) != 0; }
    int64_t asInteger() const { return payload<int64_t>(Kind::Integer); }
    Money asCurrency() const { return Money::fromUnits(payload<int64_t>(Kind::Currency)); }
    double asReal() const { return payload<double>(Kind::Real); }
    DateTimeValue asDateTime() const { return DateTimeValue{payload<double>(Kind::DateTime)}; }
    // The bytes of a text; valid while the value lives unchanged.
    std::string_view asText() const {
        if (kind() == Kind::ShortText) return {reinterpret_cast<const char*>(bytes_), shortLength()};
        if (kind() != Kind::LongText) throw std::bad_variant_access();
        return {heapText(), longLength()};
    }

    // Numeric value of a number kind (yes is -1, as in the engine); 0 for null and text.
    double toDouble() const;
    // Money of a number kind (doubles rounded to four decimals); 0 for null and text.
    Money toMoney() const;
    // Text of a null is empty; numbers in the general format of the locale ("12,5", "230");
    // yes/no as "Vero"/"Falso"; dates as DD/MM/YYYY [HH:MM:SS].
    std::string toText(const NumberFormat& fmt) const;

    // Same kind and same value (texts byte for byte).
    bool operator==(const Value& o) const;

private:
    // The order matters: numbers from Bool to DateTime, texts last.
    enum class Kind : unsigned char { Null, Bool, Integer, Currency, Real, DateTime, ShortText, LongText };
    static constexpr size_t kTag = 15;         // the byte holding the kind (low 3 bits) and a short text's length
    static constexpr size_t kShortMax = 15;    // texts up to this long live in bytes 0-14

    Kind kind() const { return static_cast<Kind>(bytes_[kTag] & 7); }
    size_t shortLength() const { return bytes_[kTag] >> 3; }
    size_t longLength() const {
        uint32_t n;
        std::memcpy(&n, bytes_ + 8, sizeof n);
        return n;
    }
    const char* heapText() const {
        const char* p;
        std::memcpy(&p, bytes_, sizeof p);
        return p;
    }
    template <typename T>
    T payload(Kind k) const {
        if (kind() != k) throw std::bad_variant_access();
        T x;
        std::memcpy(&x, bytes_, sizeof x);
        return x;
    }
    template <typename T>
    void setPayload(T x) { std::memcpy(bytes_, &x, sizeof x); }
    static Value number(Kind k, int64_t i) {
        Value v;
        v.setPayload(i);
        v.bytes_[kTag] = static_cast<unsigned char>(k);
        return v;
    }
    void setText(std::string_view s);
    void copyFrom(const Value& o);
    void release() noexcept {
        if (kind() == Kind::LongText) freeText();
    }
    void freeText() noexcept;

    alignas(8) unsigned char bytes_[16];
};

static_assert(sizeof(Value) == 16);

}  // namespace ov
