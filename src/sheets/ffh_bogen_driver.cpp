#include "sheets/document_cycle.h"
#include "sheets/mod_ffh_bogen.h"

namespace sheets {

word::Result generateCleanCopy(const std::string& key, const word::RunContext& run,
                               std::vector<std::string>& messages) {
  return generateDocument("FfhBogenGenerateBoegen", key, key, run, messages,
                          {FfhBogenGenerateHead, FfhBogenGenerateBogen, FfhBogenGenerateFooter});
}

int16_t FfhBogenGenerateBoegen(const std::string& key, const word::RunContext& run,
                               std::vector<std::string>& messages) {
  return generateCleanCopy(key, run, messages).legacy();
}

}  // namespace sheets
