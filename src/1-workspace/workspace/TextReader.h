#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kav {

// Where a TextReader gets its bytes from: a file or a block of memory.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Copies up to `capacity` further bytes into `buffer` and returns how many;
    // 0 at the end of the data or after an error.
    virtual std::size_t Fill(char* buffer, std::size_t capacity) = 0;
    // True once opening or reading failed.
    bool Failed() const { return failed_; }

  protected:
    bool failed_ = false;
};

// A regular file read through the reader's buffer. Anything that is not a
// regular file (a folder, a device, a pipe) or cannot be opened counts as a
// read error rather than blocking or crashing.
class FileSource : public ByteSource {
  public:
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::size_t Fill(char* buffer, std::size_t capacity) override;

  private:
    int fd_ = -1;
};

// Bytes held in memory, handed out in pieces of at most `chunk` bytes so that
// tests and the fuzzer can exercise the buffer refills.
class MemorySource : public ByteSource {
  public:
    explicit MemorySource(std::string_view bytes, std::size_t chunk = SIZE_MAX)
        : bytes_(bytes), chunk_(chunk == 0 ? 1 : chunk) {}

    std::size_t Fill(char* buffer, std::size_t capacity) override;

  private:
    std::string_view bytes_;
    std::size_t chunk_;
};

// Reads a problem text file: free-format integers and fixed-length line starts.
// A line ends with CR, LF, CR LF or LF CR (the pair is one line end). A byte 26
// (Ctrl-Z) is the end of the file wherever it stands.
class TextReader {
  public:
    explicit TextReader(ByteSource& source);

    // True at the end of the file or in front of a Ctrl-Z.
    bool AtEnd() { return Peek() == End; }
    // True when opening or reading the file failed.
    bool Failed() const { return source_.Failed(); }
    // The number of the line the next byte belongs to, counting from 1.
    long Line() const { return line_; }

    // Skips bytes 0..32 (blanks, tabs, line ends, control bytes), then reads the
    // run of bytes above 32 that follows as a signed 32-bit decimal integer.
    // False when that run is not such a number or the file ends first.
    bool ReadInteger(int32_t& value);
    // True when the last ReadInteger failed on a number beyond 32 bits.
    bool NumberOutOfRange() const { return outOfRange_; }

    // Moves past the end of the current line.
    void SkipLine();

    // The first `maxLength` bytes of the current line (fewer when the line is
    // shorter); the rest of the line is skipped.
    std::string ReadLineStart(std::size_t maxLength);

  private:
    static constexpr int End = -1;

    int Peek() {
        if (pos_ == end_ && !Refill())
            return End;
        const unsigned char byte = static_cast<unsigned char>(buffer_[pos_]);
        return byte == CtrlZ ? End : byte;
    }
    // Moves past the byte Peek returned, counting line ends: CR and LF each
    // end a line, except the second of an unlike pair (CR LF, LF CR).
    void Advance() {
        const char byte = buffer_[pos_++];
        if (byte != '\r' && byte != '\n') {
            openLineEnd_ = 0;
        } else if (openLineEnd_ != 0 && openLineEnd_ != byte) {
            openLineEnd_ = 0;
        } else {
            ++line_;
            openLineEnd_ = byte;
        }
    }
    bool Refill();

    static constexpr unsigned char CtrlZ = 26;

    ByteSource& source_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool exhausted_ = false;
    bool outOfRange_ = false;
    long line_ = 1;
    char openLineEnd_ = 0;  // CR or LF that may still pair with the next byte
};

}  // namespace kav
