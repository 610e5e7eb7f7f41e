#pragma once
// The engine's Like patterns: "*" any run of characters, "?" one character, "#" one digit,
// "[abc]", "[a-z]" and "[!abc]" one character of (or not of) a set. Letters match without regard
// to case, as text comparisons do.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ov::query {

class LikePattern {
public:
    // Empty optional when a "[" is never closed.
    static std::optional<LikePattern> compile(std::string_view pattern);
    bool matches(std::string_view text) const;

private:
    struct Item {
        enum Kind { Char, AnyChar, Digit, AnyRun, Set } kind = Char;
        unsigned char c = 0;       // Char: already in capitals
        bool negated = false;      // Set: [!...]
        std::string ranges;        // Set: pairs of first and last character
    };
    bool matchesOne(const Item& item, unsigned char c) const;

    std::vector<Item> items_;
};

}  // namespace ov::query
