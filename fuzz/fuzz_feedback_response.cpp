// Any bytes as a feedback service answer: the success body either decodes or
// fails with DecodingError; the error-body reader never throws and never
// yields a blank text.
#include "FuzzSupport.h"

#include "errors/LauncherError.h"
#include "feedback/Feedback.h"
#include "feedback/FeedbackErrorBody.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    try {
        const FeedbackSubmissionResponse response = FeedbackSubmissionResponse::decode(bytes);
        if (response.issue.url)
            FUZZ_CHECK(response.issue.url->isValid(), response.issue.url->toString());
    } catch (const DecodingError &) {
    }
    const std::optional<QString> text = FeedbackErrorBody::displayText(bytes);
    if (text)
        FUZZ_CHECK(!text->trimmed().isEmpty(), *text);
    return 0;
}
