#pragma once
// The one error type of the geometry and shapefile classes: an application-defined error number
// (0x80040000 + n), the class and operation that raised it, and a description (English for the
// classic numbered errors, German for damage and file-system failures). Callers catch it, log it
// and go on; nothing in this subsystem logs by itself.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace shape {

inline constexpr uint32_t kAppErrorBase = 0x80040000u;

// Numbers the classes raise.
inline constexpr uint32_t kErrInvalidFileSpec = 0x80040203u;    // 515
inline constexpr uint32_t kErrRecordMismatch = 0x80040205u;     // 517
inline constexpr uint32_t kErrOffsetBeyondFile = 0x80040206u;   // 518
inline constexpr uint32_t kErrInvalidFileCode = 0x80040207u;    // 519
inline constexpr uint32_t kErrFileMissing = 0x8004020Cu;        // 524
inline constexpr uint32_t kErrShapeTypeMismatch = 0x8004020Eu;  // 526
inline constexpr uint32_t kErrWrongObjectType = 0x8004020Fu;    // 527
inline constexpr uint32_t kErrWrongShapeForFile = 0x80040210u;  // 528
inline constexpr uint32_t kErrInvalidShapeType = 0x80040211u;   // 529
inline constexpr uint32_t kErrNullShapeDistance = 0x80040212u;  // 530
// Damage the classic numbers do not name: a header or record shorter than its layout, counts or
// indexes that contradict the record, and failures of the file system itself.
inline constexpr uint32_t kErrTruncated = 0x80040213u;   // 531
inline constexpr uint32_t kErrDamaged = 0x80040214u;     // 532
inline constexpr uint32_t kErrFileAccess = 0x80040215u;  // 533
// The list's own complaint about an index outside 1 to Count.
inline constexpr uint32_t kErrSubscriptOutOfRange = 9u;

class ShapeError : public std::runtime_error {
 public:
  ShapeError(uint32_t number, std::string source, std::string description);

  uint32_t number() const { return number_; }
  const std::string& source() const { return source_; }
  const std::string& description() const { return description_; }
  // The description as the user reads it, in German, with the file where the error names one.
  std::string germanDescription() const;
  // The number as the signed 32-bit value an error handler prints, e.g. -2147220978.
  int32_t signedNumber() const { return static_cast<int32_t>(number_); }

  // Passes the error on under another source, keeping number and description.
  ShapeError withSource(std::string source) const {
    return {number_, std::move(source), description_};
  }

 private:
  uint32_t number_;
  std::string source_;
  std::string description_;
};

}  // namespace shape
