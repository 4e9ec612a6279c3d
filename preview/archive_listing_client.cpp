#include "archive_listing_client.h"

#include "archive_answer.h"
#include "picture_decoding.h"

ArchiveListResult ListArchiveInHelper(const std::filesystem::path& path, const char* library) {
  const helper::Run run =
      helper::RunHelper(DecodeHelperPath().toStdString(), {"archive", path.string(), library}, DecodeLimits());
  if (run.outcome != helper::Outcome::Answered) {
    ArchiveListResult result;
    result.error = std::string("the listing helper ") + helper::OutcomeName(run.outcome);
    return result;
  }
  return DecodeArchiveAnswer(run.answer);
}
