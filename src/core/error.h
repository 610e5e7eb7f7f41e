#pragma once
// The error every failing operation raises: the engine's number and an Italian message.
#include <stdexcept>
#include <string>

namespace ov {

class Error : public std::runtime_error {
public:
    // message is UTF-8 text meant for the user; source names the component that raised it (the
    // error report's title), empty for the program itself.
    Error(int number, std::string message, std::string source = {})
        : std::runtime_error(message), number_(number), message_(std::move(message)), source_(std::move(source)) {}

    int number() const { return number_; }
    const std::string& message() const { return message_; }
    const std::string& source() const { return source_; }

    // The same error raised again under another source name (the previews use "Riporto Clienti").
    Error withSource(std::string source) const { return Error(number_, message_, std::move(source)); }

private:
    int number_;
    std::string message_;
    std::string source_;
};

// Engine numbers used across the program.
namespace err {
inline constexpr int FileNotFound = 3024;       // database file missing
inline constexpr int NotADatabase = 3343;       // unrecognised database format
inline constexpr int Damaged = 3049;            // the database is damaged: cannot be opened
inline constexpr int ReadOnly = 3027;           // database or object is read-only
inline constexpr int TableNotFound = 3078;      // table or query missing
inline constexpr int FieldNotFound = 3265;      // item not found in this collection
inline constexpr int SyntaxError = 3075;        // syntax error in query expression
inline constexpr int QuerySyntax = 3131;        // syntax error in FROM clause / statement
inline constexpr int TypeMismatch = 3464;       // data type mismatch in criteria expression
inline constexpr int NoCurrentRecord = 3021;    // no current record
inline constexpr int Locked = 3260;             // locked by another user
inline constexpr int FileIo = 53;               // file not found (plain files)
inline constexpr int FileAccess = 75;           // path/file access error (plain files)
inline constexpr int DiskFull = 61;             // disk full
inline constexpr int Overflow = 6;              // a number beyond its type's range
inline constexpr int Device = 68;               // device unavailable
inline constexpr int Usage = 5;                 // invalid procedure call or argument
}  // namespace err

// Jet's answer to a sum, product or negation past the range of its type.
inline Error overflowError() { return Error(err::Overflow, "Overflow."); }

}  // namespace ov
