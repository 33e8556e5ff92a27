#pragma once
// The error types every layer raises: one exception hierarchy whose messages a user can act on.
#include <stdexcept>
#include <string>

namespace core {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// A file that is not what it claims to be: truncated, damaged or hostile.
class FormatError : public Error {
public:
    using Error::Error;
};

// A real file in a format the engine does not handle (Jet 3, ACE).
class UnsupportedFormat : public Error {
public:
    using Error::Error;
};

// Wrong or missing database password.
class PasswordError : public Error {
public:
    PasswordError() : Error("Not a valid password.") {}
};

// The operating system refused a file operation.
class IoError : public Error {
public:
    using Error::Error;
};

// The file is open for writing elsewhere.
class InUseError : public Error {
public:
    using Error::Error;
};

// A value that cannot be converted to the type asked for.
class TypeMismatch : public Error {
public:
    using Error::Error;
};

// A statement the SQL engine cannot accept (syntax, unknown names).
class SqlError : public Error {
public:
    using Error::Error;
};

// A change that would break a rule of the schema (required, unique, foreign key, size).
class ConstraintError : public Error {
public:
    using Error::Error;
};

} // namespace core
