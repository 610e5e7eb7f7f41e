#include "data/value.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "core/dates.h"

namespace ov {

void Value::setText(std::string_view s) {
    if (s.size() <= kShortMax) {
        if (!s.empty()) std::memcpy(bytes_, s.data(), s.size());
        bytes_[kTag] = static_cast<unsigned char>(static_cast<unsigned>(Kind::ShortText) | s.size() << 3);
        return;
    }
    if (s.size() > UINT32_MAX) throw std::length_error("text value too long");
    char* p = new char[s.size()];
    std::memcpy(p, s.data(), s.size());
    std::memcpy(bytes_, &p, sizeof p);
    const uint32_t n = static_cast<uint32_t>(s.size());
    std::memcpy(bytes_ + 8, &n, sizeof n);
    bytes_[kTag] = static_cast<unsigned char>(Kind::LongText);
}

void Value::freeText() noexcept { delete[] heapText(); }

void Value::copyFrom(const Value& o) {
    if (o.kind() == Kind::LongText) {
        bytes_[kTag] = static_cast<unsigned char>(Kind::Null);
        setText(o.asText());
    } else {
        std::memcpy(bytes_, o.bytes_, sizeof bytes_);
    }
}

bool Value::operator==(const Value& o) const {
    if (isText() || o.isText()) return isText() && o.isText() && asText() == o.asText();
    if (kind() != o.kind()) return false;
    switch (kind()) {
        case Kind::Null: return true;
        case Kind::Real:
        case Kind::DateTime: return payload<double>(kind()) == o.payload<double>(kind());
        default: return payload<int64_t>(kind()) == o.payload<int64_t>(kind());
    }
}

double Value::toDouble() const {
    if (isBool()) return asBool() ? -1.0 : 0.0;
    if (isInteger()) return static_cast<double>(asInteger());
    if (isCurrency()) return asCurrency().toDouble();
    if (isReal()) return asReal();
    if (isDateTime()) return asDateTime().oleSerial;
    return 0;
}

Money Value::toMoney() const {
    if (isCurrency()) return asCurrency();
    if (isInteger()) return Money::fromInteger(asInteger());
    if (isBool()) return Money::fromInteger(asBool() ? -1 : 0);
    if (isReal() || isDateTime()) return Money::fromDouble(toDouble());
    return Money();
}

std::string Value::toText(const NumberFormat& fmt) const {
    if (isNull()) return {};
    if (isText()) return std::string(asText());
    if (isBool()) return asBool() ? "Vero" : "Falso";
    if (isInteger()) return std::to_string(asInteger());
    if (isCurrency()) return fmt.general(asCurrency());
    if (isReal()) return fmt.general(asReal());
    // Date-time: the OLE serial counts days from 30/12/1899 (serial 25569 is 01/01/1970).
    double s = asDateTime().oleSerial;
    double whole = std::floor(s);
    Date d = Date::fromSerial(static_cast<long>(whole) - 25569);
    long secs = std::lround((s - whole) * 86400.0);
    std::string out = d.dmy();
    if (secs > 0) {
        char buf[16];
        std::snprintf(buf, sizeof buf, " %02ld:%02ld:%02ld", secs / 3600, (secs / 60) % 60, secs % 60);
        out += buf;
    }
    return out;
}

}  // namespace ov
