// The one exception type the archive component lets escape: a file error of
// the stream kind, raised while listing an archive or checking a converted
// file's size. Its text is the whole message a user sees; a reason, where
// the component knows more than that fixed text says (another program kept
// its lock on the archive), comes beside it for a front end that shows one.
#pragma once

#include <stdexcept>
#include <string>

namespace engine {

class EFileStreamError : public std::runtime_error {
public:
    explicit EFileStreamError(const std::string& text, std::string reason = {})
        : std::runtime_error(text), reason_(std::move(reason))
    {
    }
    // Empty when there is nothing to add to the text.
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

}  // namespace engine
