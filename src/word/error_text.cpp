#include "word/error_text.h"

#include "base/system_error_text.h"
#include "data/provider_error.h"
#include "shape/shape_error.h"
#include "word/docx/docx_error.h"

namespace word {

std::string errorText(const std::exception& error) {
  if (const auto* e = dynamic_cast<const data::ProviderError*>(&error))
    return e->description() + "(" + std::to_string(e->number()) + ")";
  if (const auto* e = dynamic_cast<const shape::ShapeError*>(&error))
    return e->germanDescription() + "(" + std::to_string(e->signedNumber()) + ")";
  if (const auto* e = dynamic_cast<const docx::DocxError*>(&error))
    return e->description() + "(" + std::to_string(e->number()) + ")";
  if (const auto* e = dynamic_cast<const std::filesystem::filesystem_error*>(&error))
    return base::systemErrorText(*e) + "(" + std::to_string(e->code().value()) + ")";
  return std::string(error.what()) + "(0)";
}

std::string userCause(const std::exception& error) {
  if (const auto* e = dynamic_cast<const data::ProviderError*>(&error)) return e->description();
  if (const auto* e = dynamic_cast<const shape::ShapeError*>(&error)) return e->germanDescription();
  if (const auto* e = dynamic_cast<const std::filesystem::filesystem_error*>(&error))
    return base::systemErrorText(*e);
  return error.what();
}

}  // namespace word
