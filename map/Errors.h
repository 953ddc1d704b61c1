// Errors of the map model.
//
// Every failure is an exception derived from EMapError (a std::runtime_error)
// whose what() is the exact text the viewer shows the user. The window adds
// the closing full stop with UserMessage; nothing else does.
//
//   EConvertError    "'%s' is not a valid integer value"
//   EJPEG            "JPEG error #%d" and the image limits of the decoder
//   EFOpenError      "Cannot open file %s"
//   EFCreateError    "Cannot create file %s"
//   EWriteError      "Cannot write file %s" (a write or close after creation failed)
//   EInvalidGraphic  a BMP or bitmap size the model cannot hold
//   EOutOfResources  the drop-down list refused an entry
#pragma once

#include <stdexcept>
#include <string>

class EMapError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EConvertError : public EMapError {
public:
    using EMapError::EMapError;
};

class EJPEG : public EMapError {
public:
    using EMapError::EMapError;
};

class EFOpenError : public EMapError {
public:
    explicit EFOpenError(const std::string& fileName) : EMapError("Cannot open file " + fileName) {}
};

class EFCreateError : public EMapError {
public:
    explicit EFCreateError(const std::string& fileName) : EMapError("Cannot create file " + fileName) {}
};

class EWriteError : public EMapError {
public:
    explicit EWriteError(const std::string& fileName) : EMapError("Cannot write file " + fileName) {}
};

class EInvalidGraphic : public EMapError {
public:
    using EMapError::EMapError;
};

class EOutOfResources : public EMapError {
public:
    using EMapError::EMapError;
};

// The text the user is shown for an error message: a full stop is appended
// when the last character sorts after "." (so "...!" or "... 53" get one,
// "... ." or "...)" do not).
inline std::string UserMessage(std::string message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    return message;
}
