// Reading files whole, and taking them apart safely.
//
// ReadWholeFile loads a file the program was given (a model, a texture, a
// wave) into memory; TByteReader then hands out its bytes and raises "Read
// beyond end of file: PATH" instead of ever reading past the end. Readers
// check every count against Remaining() before they allocate for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "engine/support/errors.h"

// The largest file the program reads whole: far above any real scene file,
// far below what would strain memory.
constexpr std::size_t MaxFileSize = 512u * 1024u * 1024u;

// The whole file, or a TIoError ("File not found: PATH", "Is a folder, not a
// file: PATH", ...). A file larger than `maxBytes` raises "File too large:
// PATH" before anything is allocated for it. Backslashes in the path are
// taken as directory separators on every platform.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::size_t maxBytes = MaxFileSize);

// Writes the bytes to the file, replacing it; a TIoError on failure.
void WriteWholeFile(const std::string& path, const void* data, std::size_t size);

class TByteReader {
  public:
    // `path` is the file the bytes came from, which the error names; it must
    // outlive the reader. Empty: the error names no file.
    TByteReader(const std::uint8_t* data, std::size_t size, const std::string& path)
        : data_(data), size_(size), path_(&path) {}

    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return size_ - pos_; }
    bool AtEnd() const { return pos_ == size_; }

    // Copies n bytes out; "Read beyond end of file" if fewer are left (nothing is consumed then).
    void Read(void* out, std::size_t n) {
        Require(n);
        if (n) std::memcpy(out, data_ + pos_, n);
        pos_ += n;
    }
    // One little-endian value of a trivially copyable type (the file's byte order).
    template <typename T> T Get() {
        static_assert(std::is_trivially_copyable<T>::value, "plain data only");
        T value;
        Read(&value, sizeof value);
        return value;
    }
    const std::uint8_t* Take(std::size_t n) {
        Require(n);
        const std::uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }
    void Skip(std::size_t n) {
        Require(n);
        pos_ += n;
    }
    // Steps back n bytes (a reader putting back what it peeked at).
    void PutBack(std::size_t n) { pos_ = n > pos_ ? 0 : pos_ - n; }
    // Raises "Read beyond end of file" unless n bytes (`count` items of `size` bytes) are left.
    void Require(std::size_t n) const {
        if (n > size_ - pos_) PastTheEnd();
    }
    void RequireItems(std::uint64_t count, std::uint64_t size) const {
        if (size != 0 && count > (size_ - pos_) / size) PastTheEnd();
    }

  private:
    [[noreturn]] void PastTheEnd() const { throw FileError(IoReadBeyondEnd, *path_); }

    const std::uint8_t* data_;
    std::size_t size_;
    const std::string* path_;
    std::size_t pos_ = 0;
};
