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
// A line ends with CR, CR LF or LF. A byte 26 (Ctrl-Z) is the end of the file
// wherever it stands.
class TextReader {
  public:
    explicit TextReader(ByteSource& source);

    // True at the end of the file or in front of a Ctrl-Z.
    bool AtEnd() { return Peek() == End; }
    // True when opening or reading the file failed.
    bool Failed() const { return source_.Failed(); }

    // Skips bytes 0..32 (blanks, tabs, line ends, control bytes), then reads the
    // run of bytes above 32 that follows as a signed 32-bit decimal integer.
    // False when that run is not such a number or the file ends first.
    bool ReadInteger(int32_t& value);

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
    void Advance() { ++pos_; }
    bool Refill();

    static constexpr unsigned char CtrlZ = 26;

    ByteSource& source_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool exhausted_ = false;
};

}  // namespace kav
