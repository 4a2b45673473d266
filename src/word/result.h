#pragma once
// What a document gateway answers: a code saying whether the document was written, and a German
// text saying why not. The older routines answer 100/101; legacy() gives that at their boundary.

#include <cstdint>
#include <string>
#include <utility>

namespace word {

enum class ResultCode {
  kOk,          // written (parts a routine could not fill are named in the engine's outcome)
  kIncomplete,  // written, but the routine counts it unfinished: a part it must have failed
  kNotWritten,  // refused or not saved by the engine, which logged why and told the messages
  kFailed,      // could not start: no database, no engine, or an unexpected error
};

class Result {
 public:
  Result() = default;
  Result(ResultCode code, std::string text) : code_(code), text_(std::move(text)) {}

  ResultCode code() const { return code_; }
  const std::string& text() const { return text_; }
  explicit operator bool() const { return code_ == ResultCode::kOk; }
  bool written() const { return code_ == ResultCode::kOk || code_ == ResultCode::kIncomplete; }
  // 100, or 101 when the routine did not do its work. A document the engine would not write
  // is 100 there: the engine has said why, and the run judges it by written().
  int16_t legacy() const {
    return code_ == ResultCode::kOk || code_ == ResultCode::kNotWritten ? 100 : 101;
  }

 private:
  ResultCode code_ = ResultCode::kOk;
  std::string text_;
};

}  // namespace word
