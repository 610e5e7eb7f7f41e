#pragma once
// A field value as the engine delivers it: null, yes/no, whole number, currency, double,
// date-time or text (code page 1252 bytes).
#include <cstdint>
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
    Value() = default;
    static Value null() { return Value(); }
    static Value boolean(bool b) { Value v; v.v_ = b; return v; }
    static Value integer(int64_t i) { Value v; v.v_ = i; return v; }
    static Value currency(Money m) { Value v; v.v_ = m; return v; }
    static Value real(double d) { Value v; v.v_ = d; return v; }
    static Value dateTime(DateTimeValue d) { Value v; v.v_ = d; return v; }
    static Value text(std::string s) { Value v; v.v_ = std::move(s); return v; }

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool isBool() const { return std::holds_alternative<bool>(v_); }
    bool isInteger() const { return std::holds_alternative<int64_t>(v_); }
    bool isCurrency() const { return std::holds_alternative<Money>(v_); }
    bool isReal() const { return std::holds_alternative<double>(v_); }
    bool isDateTime() const { return std::holds_alternative<DateTimeValue>(v_); }
    bool isText() const { return std::holds_alternative<std::string>(v_); }
    bool isNumber() const { return isBool() || isInteger() || isCurrency() || isReal() || isDateTime(); }

    bool asBool() const { return std::get<bool>(v_); }
    int64_t asInteger() const { return std::get<int64_t>(v_); }
    Money asCurrency() const { return std::get<Money>(v_); }
    double asReal() const { return std::get<double>(v_); }
    DateTimeValue asDateTime() const { return std::get<DateTimeValue>(v_); }
    const std::string& asText() const { return std::get<std::string>(v_); }

    // Numeric value of a number kind (yes is -1, as in the engine); 0 for null and text.
    double toDouble() const;
    // Money of a number kind (doubles rounded to four decimals); 0 for null and text.
    Money toMoney() const;
    // Text of a null is empty; numbers in the general format of the locale ("12,5", "230");
    // yes/no as "Vero"/"Falso"; dates as DD/MM/YYYY [HH:MM:SS].
    std::string toText(const NumberFormat& fmt) const;

    bool operator==(const Value&) const = default;

private:
    std::variant<std::monostate, bool, int64_t, Money, double, DateTimeValue, std::string> v_;
};

}  // namespace ov
