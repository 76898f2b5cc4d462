// The one exception type the archive component lets escape: a file error of
// the stream kind, raised while listing an archive or checking a converted
// file's size. Its text is the whole message a user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace engine {

class EFileStreamError : public std::runtime_error {
public:
    explicit EFileStreamError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace engine
