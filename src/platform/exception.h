#pragma once

#include <stdexcept>
#include <string>

namespace ravlo {

// Root of the program's exception tree. Messages are stored system texts (code page 1250 bytes);
// convert them with Cp1250ToUtf8 before showing or logging them.
class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value outside the range an operation accepts.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};

// A text that does not convert to the asked type.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// An object that is not of the class an operation expects.
class EInvalidCast : public Exception {
public:
    using Exception::Exception;
};

// A byte stream that could not move the exact count of bytes asked for.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};

} // namespace ravlo
