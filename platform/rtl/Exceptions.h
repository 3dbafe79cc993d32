#pragma once
// The root of every error the platform or the library raises: an Exception carrying a complete,
// human-readable Message. The run-time library's own errors are declared here; each higher layer
// declares its errors in its own folder.
#include <exception>
#include <string>

namespace vel {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const std::string& Message() const noexcept { return FMessage; }
    void SetMessage(std::string message) { FMessage = std::move(message); }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

#define VEL_DECLARE_EXCEPTION(Name, Base)  \
    class Name : public Base {             \
    public:                                \
        using Base::Base;                  \
    };

// Silent exception: aborts an operation without a message box.
VEL_DECLARE_EXCEPTION(EAbort, Exception)
VEL_DECLARE_EXCEPTION(EConvertError, Exception)
VEL_DECLARE_EXCEPTION(EVariantError, Exception)
VEL_DECLARE_EXCEPTION(EVariantTypeCastError, EVariantError)
VEL_DECLARE_EXCEPTION(EInvalidOperation, Exception)
VEL_DECLARE_EXCEPTION(EInvalidArgument, Exception)
VEL_DECLARE_EXCEPTION(EInvalidPointer, Exception)
VEL_DECLARE_EXCEPTION(ERangeError, Exception)
VEL_DECLARE_EXCEPTION(EIntOverflow, Exception)
VEL_DECLARE_EXCEPTION(EZeroDivide, Exception)
VEL_DECLARE_EXCEPTION(EInOutError, Exception)
VEL_DECLARE_EXCEPTION(EStreamError, Exception)
VEL_DECLARE_EXCEPTION(EFOpenError, EStreamError)
VEL_DECLARE_EXCEPTION(EFCreateError, EStreamError)
VEL_DECLARE_EXCEPTION(EReadError, EStreamError)
VEL_DECLARE_EXCEPTION(EWriteError, EStreamError)

}  // namespace vel
