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
//
// Besides its message an error may carry the reason, in the words of the
// system (strerror: "No such file or directory", "Permission denied") or of
// libjpeg's message table for its code, and the file it concerns where the
// message does not name it (a "JPEG error #%d" of a file). The message stays
// as it is; the window shows the two as the box's secondary text
// (ErrorDetail) and the command-line tools after the message (ErrorLine).
#pragma once

#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

class EMapError : public std::runtime_error {
public:
    explicit EMapError(const std::string& message, std::string reason = {}, std::string fileName = {})
        : std::runtime_error(message), FReason(std::move(reason)), FFileName(std::move(fileName))
    {
    }

    const std::string& Reason() const { return FReason; }
    const std::string& FileName() const { return FFileName; }

private:
    std::string FReason;
    std::string FFileName;
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
    explicit EFOpenError(const std::string& fileName, std::string reason = {})
        : EMapError("Cannot open file " + fileName, std::move(reason))
    {
    }
};

class EFCreateError : public EMapError {
public:
    explicit EFCreateError(const std::string& fileName, std::string reason = {})
        : EMapError("Cannot create file " + fileName, std::move(reason))
    {
    }
};

class EWriteError : public EMapError {
public:
    explicit EWriteError(const std::string& fileName, std::string reason = {})
        : EMapError("Cannot write file " + fileName, std::move(reason))
    {
    }
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

// The system's words for an errno value.
inline std::string SystemReason(int error)
{
    return std::generic_category().message(error);
}

// The box's secondary text: "file: reason", or whichever of the two the
// error has; empty for other exceptions.
inline std::string ErrorDetail(const std::exception& error)
{
    const auto* mapError = dynamic_cast<const EMapError*>(&error);
    if (!mapError)
        return {};
    if (mapError->FileName().empty() || mapError->Reason().empty())
        return mapError->FileName() + mapError->Reason();
    return mapError->FileName() + ": " + mapError->Reason();
}

// One line for a command-line tool: the message, then the reason after a
// colon ("Cannot open file knmain.gdb: Permission denied."), with the closing
// full stop of UserMessage.
inline std::string ErrorLine(const std::exception& error)
{
    const auto* mapError = dynamic_cast<const EMapError*>(&error);
    if (!mapError || mapError->Reason().empty())
        return UserMessage(error.what());
    return UserMessage(std::string(error.what()) + ": " + mapError->Reason());
}
