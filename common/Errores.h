#pragma once
// Every error the program raises derives from ENemor and carries the text the user sees.
#include <stdexcept>
#include <string>

class ENemor : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that is not a number ("'%s' is not a valid integer value").
class EConvertError : public ENemor {
public:
    using ENemor::ENemor;
};

// Floating-point faults, with the runtime's own English messages.
class EMathError : public ENemor {
public:
    using ENemor::ENemor;
};
class EZeroDivide : public EMathError {
public:
    EZeroDivide() : EMathError("Floating point division by zero") {}
};
class EInvalidOp : public EMathError {
public:
    EInvalidOp() : EMathError("Invalid floating point operation") {}
};
class EOverflow : public EMathError {
public:
    EOverflow() : EMathError("Floating point overflow") {}
};

// Integer DIV and MOD by zero.
class EDivByZero : public ENemor {
public:
    EDivByZero() : ENemor("Division by zero") {}
};

// Reading or writing a file failed.
class EInOutError : public ENemor {
public:
    using ENemor::ENemor;
};

// The tree has no room left: 1000 node numbers or 100 branches on one node.
class ELimiteArbol : public ENemor {
public:
    using ENemor::ENemor;
};

// Text of the standard error box: the message, with a final "." when its
// last character sorts after ".".
std::string TextoCajaError(const std::string& mensaje);

// Raises the runtime error that matches the floating-point flags raised since
// the last clear (division by zero, invalid, overflow; underflow and inexact
// are ignored), then clears them.
void CompruebaExcepcionesFPU();
void LimpiaExcepcionesFPU();
