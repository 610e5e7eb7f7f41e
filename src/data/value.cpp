#include "data/value.h"

#include <cmath>
#include <cstdio>

#include "core/dates.h"

namespace ov {

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
    if (isText()) return asText();
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
