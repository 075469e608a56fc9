// A run-time error raised by an operation and caught by the handler of the
// procedure that called it, with the error numbers the game's handlers know.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace dexlora {

enum ErrorNumber : int32_t {
    ErrInvalidCall = 5,         // invalid procedure call or argument
    ErrOverflow = 6,            // a number does not fit its type
    ErrSubscript = 9,           // index out of range
    ErrTypeMismatch = 13,       // text that is not a number
    ErrFileNotFound = 53,
    ErrInputPastEnd = 62,       // a read past the end of a file
    ErrPathAccess = 75,         // a file that cannot be opened or written
    ErrObjectNotSet = 91,       // an operation on a surface, sound or font that does not exist
    ErrDirectX = 0x8876,        // a DirectDraw or DirectSound operation failed
};

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int32_t number, const std::string& what)
        : std::runtime_error(what), Number(number) {}
    int32_t Number;
};

}  // namespace dexlora
