#include "support/json.h"

#include "core/cp1252.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace ovtest {

class JsonParser {
public:
    explicit JsonParser(std::string_view s) : s_(s) {}

    Json document() {
        Json v = value();
        skipBlanks();
        if (pos_ != s_.size()) fail("text after the document");
        return v;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(pos_));
    }
    void skipBlanks() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\n' || s_[pos_] == '\r' || s_[pos_] == '\t'))
            ++pos_;
    }
    char peek() {
        skipBlanks();
        if (pos_ >= s_.size()) fail("unexpected end");
        return s_[pos_];
    }
    void expect(char c) {
        if (peek() != c) fail(std::string("expected '") + c + "'");
        ++pos_;
    }
    bool literal(std::string_view word) {
        if (s_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    Json value() {
        Json v;
        char c = peek();
        if (c == '{') {
            v.kind_ = Json::Kind::Object;
            ++pos_;
            if (peek() == '}') { ++pos_; return v; }
            for (;;) {
                if (peek() != '"') fail("expected a member name");
                v.keys_.push_back(string());
                expect(':');
                v.items_.push_back(value());
                if (peek() == ',') { ++pos_; continue; }
                expect('}');
                return v;
            }
        }
        if (c == '[') {
            v.kind_ = Json::Kind::Array;
            ++pos_;
            if (peek() == ']') { ++pos_; return v; }
            for (;;) {
                v.items_.push_back(value());
                if (peek() == ',') { ++pos_; continue; }
                expect(']');
                return v;
            }
        }
        if (c == '"') {
            v.kind_ = Json::Kind::String;
            v.text_ = string();
            return v;
        }
        if (literal("null")) return v;
        if (literal("true") || literal("false")) {
            v.kind_ = Json::Kind::Bool;
            v.bool_ = s_.substr(pos_ - 4, 4) == "true";
            return v;
        }
        size_t start = pos_;
        while (pos_ < s_.size() && std::string_view("+-0123456789.eE").find(s_[pos_]) != std::string_view::npos) ++pos_;
        if (pos_ == start) fail("unexpected character");
        v.kind_ = Json::Kind::Number;
        v.text_ = std::string(s_.substr(start, pos_ - start));
        return v;
    }

    unsigned hex4() {
        if (pos_ + 4 > s_.size()) fail("short \\u escape");
        unsigned v = 0;
        auto r = std::from_chars(s_.data() + pos_, s_.data() + pos_ + 4, v, 16);
        if (r.ptr != s_.data() + pos_ + 4) fail("bad \\u escape");
        pos_ += 4;
        return v;
    }

    std::string string() {
        expect('"');
        std::string out;
        for (;;) {
            if (pos_ >= s_.size()) fail("unterminated string");
            char c = s_[pos_++];
            if (c == '"') return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size()) fail("unterminated escape");
            char e = s_[pos_++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                char32_t cp = hex4();
                if (cp >= 0xD800 && cp < 0xDC00 && s_.substr(pos_, 2) == "\\u") {
                    pos_ += 2;
                    char32_t low = hex4();
                    if (low < 0xDC00 || low >= 0xE000) fail("bad surrogate pair");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                ov::cp1252::appendUtf8(out, cp);
                break;
            }
            default: fail("unknown escape");
            }
        }
    }

    std::string_view s_;
    size_t pos_ = 0;
};

Json Json::parse(std::string_view text) { return JsonParser(text).document(); }

Json Json::parseFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("JSON: cannot open " + path);
    std::ostringstream ss;
    ss << in.rdbuf();
    return parse(ss.str());
}

bool Json::asBool() const {
    if (kind_ != Kind::Bool) throw std::runtime_error("JSON: not a boolean");
    return bool_;
}

const std::string& Json::asString() const {
    if (kind_ != Kind::String && kind_ != Kind::Number) throw std::runtime_error("JSON: not a string");
    return text_;
}

int64_t Json::asInt() const {
    int64_t v = 0;
    auto r = std::from_chars(text_.data(), text_.data() + text_.size(), v);
    if (kind_ != Kind::Number || r.ec != std::errc() || r.ptr != text_.data() + text_.size())
        throw std::runtime_error("JSON: not a whole number: " + text_);
    return v;
}

double Json::asDouble() const {
    if (kind_ != Kind::Number) throw std::runtime_error("JSON: not a number");
    return std::strtod(text_.c_str(), nullptr);
}

const Json* Json::find(std::string_view key) const {
    for (size_t i = 0; i < keys_.size(); ++i)
        if (keys_[i] == key) return &items_[i];
    return nullptr;
}

const Json& Json::operator[](std::string_view key) const {
    if (const Json* v = find(key)) return *v;
    throw std::runtime_error("JSON: no member " + std::string(key));
}

}  // namespace ovtest
