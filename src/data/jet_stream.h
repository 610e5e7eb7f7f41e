#pragma once
// The byte stream the Jet reading helper (ovdesk-mdbread) writes on its standard output: every
// user table of one file, fields and rows, in table order, then the file's saved queries.
// Integers are little-endian.
//
//   stream := magic table* (query* | unreadable) 'Z' u32(tableCount)
//   table  := 'T' str16(name) u16(fieldCount) field* row* 'E' u32(rowCount)
//   field  := str16(name) u8(typeCode) u32(size)
//   row    := 'R' value*                       one value per field, in field order
//   value  := u8(0)                            null
//           | u8(1) payload                    by the field's type code:
//                Yes/No u8 (0 or 1); Integer, Long i32; Currency i64 (ten-thousandths);
//                Double, DateTime f64 (IEEE, the engine's date serial); Text, Memo str32
//   query  := 'Q' str16(name) u8(kind) str32(sql)
//                kind: the engine's query type code (QueryKind in data/stored_query.h); sql: the
//                query's text rebuilt from the file's system table of queries
//   unreadable := 'X' str32(reason)            the saved queries could not be read (the tables could)
//   str16  := u16(length) bytes                str32 := u32(length) bytes
//
// Names and texts are code page 1252 bytes. The closing 'Z' with the table count tells a complete
// stream from one cut short by a crash. A stream without query records (a file without saved
// queries, or a helper that reads one table) is as valid as before.
#include <cstdint>
#include <string_view>

namespace ov::jetstream {

inline constexpr std::string_view kMagic{"OVJET\x01", 6};

inline constexpr char kTable = 'T';
inline constexpr char kRow = 'R';
inline constexpr char kTableEnd = 'E';
inline constexpr char kQuery = 'Q';
inline constexpr char kQueriesUnreadable = 'X';
inline constexpr char kStreamEnd = 'Z';

inline constexpr uint8_t kNull = 0;
inline constexpr uint8_t kPresent = 1;

// Type codes, the engine's (see FieldType in data/value.h).
inline constexpr uint8_t kBoolean = 1;
inline constexpr uint8_t kInteger = 3;
inline constexpr uint8_t kLong = 4;
inline constexpr uint8_t kCurrency = 5;
inline constexpr uint8_t kDouble = 7;
inline constexpr uint8_t kDateTime = 8;
inline constexpr uint8_t kText = 10;
inline constexpr uint8_t kMemo = 12;

}  // namespace ov::jetstream
