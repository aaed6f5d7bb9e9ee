// The adapter's failures. They carry their message in a fixed buffer, so throwing one
// never allocates and a long message is cut at 255 characters.
#pragma once

#include <cstdint>
#include <exception>

class DoruvezovException : public std::exception {
public:
    explicit DoruvezovException(const char* message);
    const char* what() const noexcept override { return message_; }

private:
    char message_[256];
};

// Data ended before a field it must hold.
class EOFException : public DoruvezovException {
public:
    using DoruvezovException::DoruvezovException;
};

// Data that is not of the expected form (another kind, another effect, a bad value).
class FormatException : public DoruvezovException {
public:
    using DoruvezovException::DoruvezovException;
};

// A platform service failed with an error code of its own.
class MacOSException : public std::exception {
public:
    explicit MacOSException(std::int32_t code, const char* message = "");
    std::int32_t code() const { return code_; }
    // "Mac OS error code <code>" when no message was given.
    const char* what() const noexcept override { return message_; }

private:
    std::int32_t code_;
    char message_[256];
};
