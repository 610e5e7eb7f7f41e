#pragma once
// Buffered writer of the helper's output stream (format in data/jet_stream.h).
#include <cstdint>
#include <string>
#include <string_view>

namespace mdbread {

class StreamWriter {
public:
    // Writes to the file descriptor; without one, keeps everything in memory (bytes()).
    explicit StreamWriter(int fd) : fd_(fd) {}
    StreamWriter() : fd_(-1) {}
    ~StreamWriter() = default;
    StreamWriter(const StreamWriter&) = delete;
    StreamWriter& operator=(const StreamWriter&) = delete;

    void raw(std::string_view bytes) { buf_.append(bytes); }
    void u8(uint8_t v) { buf_ += static_cast<char>(v); }
    void u16(uint16_t v) { le(v, 2); }
    void u32(uint32_t v) { le(v, 4); }
    void i32(int32_t v) { le(static_cast<uint32_t>(v), 4); }
    void i64(int64_t v) { le(static_cast<uint64_t>(v), 8); }
    void f64(double v);
    // Text with a 16-bit length (names, cut at 65535 bytes) or a 32-bit one (values).
    void str16(std::string_view s);
    void str32(std::string_view s);
    // A text with a 32-bit length that `append(buffer)` appends in place, with no copy between.
    template <typename Append>
    void str32With(Append append) {
        const size_t at = buf_.size();
        buf_.append(4, '\0');
        append(buf_);
        auto n = static_cast<uint32_t>(buf_.size() - at - 4);
        for (int i = 0; i < 4; ++i) buf_[at + static_cast<size_t>(i)] = static_cast<char>((n >> (8 * i)) & 0xFF);
    }

    // Writes out the buffer once it has grown; flush() writes everything.
    void maybeFlush() { if (fd_ >= 0 && buf_.size() >= kChunk) flush(); }
    void flush();
    // What an in-memory writer holds.
    const std::string& bytes() const { return buf_; }

private:
    static constexpr size_t kChunk = 1 << 16;
    void le(uint64_t v, int bytes) {
        char b[8];
        for (int i = 0; i < bytes; ++i) b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        buf_.append(b, static_cast<size_t>(bytes));
    }

    int fd_;
    std::string buf_;
};

}  // namespace mdbread
