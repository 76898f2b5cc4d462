#include "engine/TrimLineEnd.h"

namespace engine {

std::string TrimLineEnd(const std::string& text)
{
    if (text.size() <= 1)
        return text;
    auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
    std::string result = text;
    if (isLineEnd(text[text.size() - 1]))
        result.resize(text.size() - 1);
    if (isLineEnd(text[text.size() - 2]))
        result.resize(text.size() - 2);
    return result;
}

}  // namespace engine
