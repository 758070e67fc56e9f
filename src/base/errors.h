// The program's error classes. Every failure the user can meet is one of these, carrying the
// text that the error box shows. Nothing below the window layer catches them.
#pragma once

#include <exception>
#include <string>

namespace vellora {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }

  // The input the error concerns, as an index that the code reading the inputs gives meaning to
  // (the parameter edit whose text was refused), or -1 when it concerns none.
  int Input() const noexcept { return input_; }
  void SetInput(int input) noexcept { input_ = input; }

 private:
  std::string message_;
  int input_ = -1;
};

// A text that is not a number, or a picture pattern that is too long.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// The three arithmetic faults of the simulation; each has one fixed message.
class EZeroDivide : public Exception {
 public:
  EZeroDivide() : Exception("Floating point division by zero") {}
};

class EInvalidOp : public Exception {
 public:
  EInvalidOp() : Exception("Invalid floating point operation") {}
};

class EOverflow : public Exception {
 public:
  EOverflow() : Exception("Floating point overflow") {}
};

// A chart axis setting that was refused.
class AxisException : public Exception {
 public:
  using Exception::Exception;
};

// The picture file could not be created or written.
class EFCreateError : public Exception {
 public:
  using Exception::Exception;
};

class EWriteError : public Exception {
 public:
  EWriteError() : Exception("Stream write error") {}
};

// "Not enough timers available": the window system could not give a timer.
class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace vellora
