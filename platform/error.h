// The one failure type of the program and of its stand-ins.
//
// Every failure carries a signed 32-bit number, the name of the place that
// raised it (its "source") and a description meant for the user. Failures are
// thrown, never returned as codes; the command handlers of the window are the
// only place that catches them and shows them to the user.
#pragma once

#include <QString>

#include <cstdint>
#include <exception>
#include <string>

namespace qm {

class Error : public std::exception {
 public:
  Error(std::int32_t number, QString source, QString description);

  std::int32_t number() const noexcept { return number_; }
  const QString& source() const noexcept { return source_; }
  const QString& description() const noexcept { return description_; }

  // "source: description (number)" in UTF-8, for logs and test failure output.
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  std::int32_t number_;
  QString source_;
  QString description_;
  std::string what_;
};

// Numbers in the 0x8004xxxx range are written as unsigned hexadecimal
// literals; this turns them into the signed value the error carries.
constexpr std::int32_t ErrorNumber(std::uint32_t bits) noexcept {
  return static_cast<std::int32_t>(bits);
}

// How a number is shown to the user: hexadecimal ("0x80040001") for the
// object-error range 0x8004xxxx, decimal otherwise.
QString FormatErrorNumber(std::int32_t number);

}  // namespace qm
