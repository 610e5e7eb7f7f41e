// Column types of the embedded format: the engine's type names and the fields they stand for.
#include <cctype>
#include <optional>

#include "core/cp1252.h"
#include "core/error.h"
#include "data/sqlite_store.h"

namespace ov {
namespace {

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (auto& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

std::string trimAscii(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

// "TEXT(10)" -> ("TEXT", 10); ("TEXT", -1) without a size.
std::pair<std::string, int> splitType(std::string_view declared) {
    std::string t = upperAscii(trimAscii(declared));
    auto open = t.find('(');
    if (open == std::string::npos) return {t, -1};
    std::string base = trimAscii(std::string_view(t).substr(0, open));
    auto close = t.find(')', open);
    std::string inside = t.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    int size = -1;
    try {
        size = std::stoi(inside);
    } catch (...) {
        size = -1;
    }
    return {base, size};
}

std::optional<Field> engineField(std::string name, std::string_view declared) {
    auto [base, size] = splitType(declared);
    Field f;
    f.name = std::move(name);
    if (base == "SHORT") f = {f.name, FieldType::Integer, 2};
    else if (base == "LONG") f = {f.name, FieldType::Long, 4};
    else if (base == "CURRENCY") f = {f.name, FieldType::Currency, 8};
    else if (base == "DOUBLE") f = {f.name, FieldType::Double, 8};
    else if (base == "DATETIME") f = {f.name, FieldType::DateTime, 8};
    else if (base == "BIT") f = {f.name, FieldType::Boolean, 1};
    else if (base == "MEMO") f = {f.name, FieldType::Memo, 0};
    else if (base == "TEXT" && size != 0) f = {f.name, FieldType::Text, size > 0 ? size : 255};
    else return std::nullopt;
    return f;
}

}  // namespace

Field fieldFromDeclaredType(std::string name, std::string_view declaredType) {
    if (auto f = engineField(name, declaredType)) return *f;
    auto [base, size] = splitType(declaredType);
    if (base == "INTEGER" || base == "INT" || base == "BIGINT") return {name, FieldType::Long, 4};
    if (base == "SMALLINT") return {name, FieldType::Integer, 2};
    if (base == "REAL" || base == "FLOAT" || base == "NUMERIC" || base == "DECIMAL") return {name, FieldType::Double, 8};
    if (base == "BOOLEAN") return {name, FieldType::Boolean, 1};
    if ((base == "VARCHAR" || base == "CHAR") && size > 0) return {name, FieldType::Text, size};
    return {name, FieldType::Memo, 0};
}

std::string engineTypeName(const Field& field) {
    switch (field.type) {
        case FieldType::Boolean: return "BIT";
        case FieldType::Integer: return "SHORT";
        case FieldType::Long: return "LONG";
        case FieldType::Currency: return "CURRENCY";
        case FieldType::Double: return "DOUBLE";
        case FieldType::DateTime: return "DATETIME";
        case FieldType::Text: return "TEXT(" + std::to_string(field.size > 0 ? field.size : 255) + ")";
        case FieldType::Memo: return "MEMO";
    }
    return "MEMO";
}

Field makeField(std::string name, std::string_view engineType) {
    if (auto f = engineField(name, engineType)) return *f;
    throw Error(err::Usage, "Tipo di campo sconosciuto '" + std::string(engineType) + "' per il campo '" +
                                cp1252::toUtf8(name) + "'.");
}

}  // namespace ov
