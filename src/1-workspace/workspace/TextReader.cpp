#include "workspace/TextReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kav {
namespace {

constexpr std::size_t ReadBufferSize = 64 * 1024;

bool IsDigit(int byte) {
    return byte >= '0' && byte <= '9';
}

}  // namespace

FileSource::FileSource(const std::string& path) {
    // O_NONBLOCK keeps a named pipe from blocking the open; such a file is then
    // refused below because it is not a regular file.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        failed_ = true;
    }
}

FileSource::~FileSource() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::size_t FileSource::Fill(char* buffer, std::size_t capacity) {
    if (failed_)
        return 0;
    for (;;) {
        const ssize_t count = ::read(fd_, buffer, capacity);
        if (count >= 0)
            return static_cast<std::size_t>(count);
        if (errno != EINTR) {
            failed_ = true;
            return 0;
        }
    }
}

std::size_t MemorySource::Fill(char* buffer, std::size_t capacity) {
    const std::size_t count = std::min({capacity, chunk_, bytes_.size()});
    if (count > 0)
        std::memcpy(buffer, bytes_.data(), count);
    bytes_.remove_prefix(count);
    return count;
}

TextReader::TextReader(ByteSource& source) : source_(source), buffer_(ReadBufferSize) {}

bool TextReader::Refill() {
    if (exhausted_)
        return false;
    const std::size_t count = source_.Fill(buffer_.data(), buffer_.size());
    if (count == 0) {
        exhausted_ = true;
        return false;
    }
    pos_ = 0;
    end_ = count;
    return true;
}

bool TextReader::ReadInteger(int32_t& value) {
    outOfRange_ = false;
    int byte = Peek();
    while (byte != End && byte <= ' ') {
        Advance();
        byte = Peek();
    }
    if (byte == End)
        return false;

    const bool negative = byte == '-';
    if (byte == '-' || byte == '+') {
        Advance();
        byte = Peek();
    }
    // The magnitude stops growing once it is past every 32-bit value, so a
    // number of any length is consumed without overflow.
    constexpr int64_t Beyond = int64_t{INT32_MAX} + 2;
    int64_t magnitude = 0;
    bool sawDigit = false;
    bool wellFormed = true;
    while (byte != End && byte > ' ') {
        if (IsDigit(byte)) {
            sawDigit = true;
            magnitude = std::min(magnitude * 10 + (byte - '0'), Beyond);
        } else {
            wellFormed = false;
        }
        Advance();
        byte = Peek();
    }
    if (!sawDigit || !wellFormed)
        return false;
    const int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue < INT32_MIN || signedValue > INT32_MAX) {
        outOfRange_ = true;
        return false;
    }
    value = static_cast<int32_t>(signedValue);
    return true;
}

void TextReader::SkipLine() {
    for (;;) {
        const int byte = Peek();
        if (byte == End)
            return;
        Advance();
        if (byte == '\r' || byte == '\n') {
            const int pair = byte == '\r' ? '\n' : '\r';
            if (Peek() == pair)
                Advance();
            return;
        }
    }
}

std::string TextReader::ReadLineStart(std::size_t maxLength) {
    std::string text;
    for (int byte = Peek(); byte != End && byte != '\r' && byte != '\n'; byte = Peek()) {
        if (text.size() < maxLength)
            text.push_back(static_cast<char>(byte));
        Advance();
    }
    SkipLine();
    return text;
}

}  // namespace kav
