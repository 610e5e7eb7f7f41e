#pragma once
// A small JSON reader for test fixtures (tables.json and the like): the whole document into a
// tree; object members keep their order. Strings are UTF-8; numbers keep their text.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ovtest {

class Json {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    // Throws std::runtime_error with the offset of the first fault.
    static Json parse(std::string_view text);
    static Json parseFile(const std::string& path);

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }
    bool isString() const { return kind_ == Kind::String; }
    bool isNumber() const { return kind_ == Kind::Number; }

    bool asBool() const;
    const std::string& asString() const;  // also the text of a number
    int64_t asInt() const;                // whole numbers only
    double asDouble() const;

    // Elements of an array, or values of an object's members in order.
    const std::vector<Json>& items() const { return items_; }
    // Member names of an object, parallel to items().
    const std::vector<std::string>& keys() const { return keys_; }
    size_t size() const { return items_.size(); }
    const Json& operator[](size_t i) const { return items_.at(i); }
    // The member of that name; throws when missing.
    const Json& operator[](std::string_view key) const;
    const Json* find(std::string_view key) const;

private:
    friend class JsonParser;
    Kind kind_ = Kind::Null;
    bool bool_ = false;
    std::string text_;
    std::vector<Json> items_;
    std::vector<std::string> keys_;
};

}  // namespace ovtest
