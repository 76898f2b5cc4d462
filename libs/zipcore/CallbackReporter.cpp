#include "CallbackReporter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "zipformat/Flags.h"
#include "zipformat/NameText.h"

namespace zipcore {

std::string MemberText(std::string_view stored, std::uint16_t flags)
{
    if (fernpack::zip::IsPlainText(stored))
        return std::string(stored);
    return fernpack::zip::VisibleName(stored, fernpack::zip::HasUtf8Name(flags));
}

namespace {

constexpr std::string_view kEllipsis = "...";
// Room for a text in the record, its terminator left out.
constexpr std::size_t kTextRoom = sizeof(CallbackRecord::MessageText) - 1;

bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// `text` in at most `room` bytes: its start and its end around "...".
std::string ShortenMiddle(std::string_view text, std::size_t room)
{
    if (text.size() <= room)
        return std::string(text);
    if (room <= kEllipsis.size())
        return std::string(kEllipsis.substr(0, room));
    const std::size_t keep = room - kEllipsis.size();
    std::size_t head = keep / 2;
    while (head > 0 && Continuation(text[head]))
        --head;
    std::size_t tail = text.size() - (keep - keep / 2);
    while (tail < text.size() && Continuation(text[tail]))
        ++tail;
    std::string out(text.substr(0, head));
    out += kEllipsis;
    out += text.substr(tail);
    return out;
}

}  // namespace

std::string FitMessage(std::initializer_list<MessagePart> parts, std::size_t capacity)
{
    return FitMessage(std::vector<MessagePart>(parts), capacity);
}

std::string FitMessage(const std::vector<MessagePart>& given, std::size_t capacity)
{
    // Shown first, so the room is measured on what will be seen, and a
    // name is never cut inside one of its escapes' meaning.
    std::vector<std::string> shown;
    shown.reserve(given.size());
    for (const MessagePart& part : given)
        shown.push_back(fernpack::zip::VisibleText(part.text));
    std::vector<MessagePart> parts;
    parts.reserve(given.size());
    for (std::size_t i = 0; i < given.size(); ++i) {
        parts.emplace_back(shown[i]);
        parts.back().name = given[i].name;
    }
    std::size_t total = 0, words = 0, names = 0;
    for (const MessagePart& part : parts) {
        total += part.text.size();
        if (part.name)
            ++names;
        else
            words += part.text.size();
    }
    std::string out;
    if (total <= capacity) {
        for (const MessagePart& part : parts)
            out += part.text;
        return out;
    }
    if (words + names * kEllipsis.size() > capacity) {
        for (const MessagePart& part : parts)
            out += part.text;
        return ShortenMiddle(out, capacity);
    }
    // Shares of the room left by the words: the shortest names first, each
    // taking what it needs up to an equal share of what remains.
    std::vector<std::size_t> lengths;
    for (const MessagePart& part : parts)
        if (part.name)
            lengths.push_back(part.text.size());
    std::sort(lengths.begin(), lengths.end());
    std::size_t room = capacity - words, left = names, share = room;
    for (std::size_t length : lengths) {
        share = room / left;
        if (length > share)
            break;
        room -= length;
        --left;
        share = left ? room / left : room;
    }
    for (const MessagePart& part : parts)
        out += part.name ? ShortenMiddle(part.text, share) : std::string(part.text);
    return out;
}

CallbackReporter::CallbackReporter(ZCallbackFunction callback, void* caller)
    : callback_(callback), caller_(caller), record_(std::make_unique<CallbackRecord>())
{
}

CallbackReporter::~CallbackReporter() = default;

bool CallbackReporter::Send(std::int32_t action, std::int32_t error, std::int32_t size, std::string_view text)
{
    if (stopped_)
        return false;
    if (!callback_)
        return true;
    CallbackRecord& r = *record_;
    std::memset(&r, 0, offsetof(CallbackRecord, MessageText));
    r.Caller = caller_;
    r.ActionCode = action;
    r.ErrorCode = error;
    r.FileSize = size;
    std::size_t n = std::min(text.size(), sizeof(r.MessageText) - 1);
    if (n)
        std::memcpy(r.MessageText, text.data(), n);
    r.MessageText[n] = '\0';
    if (callback_(&r) == -1)
        stopped_ = true;
    return !stopped_;
}

bool CallbackReporter::FileBegin(std::string_view name, std::uint64_t size)
{
    std::int32_t clipped = std::int32_t(std::min<std::uint64_t>(size, INT32_MAX));
    return Send(ZCB_FILE_BEGIN, 0, clipped, FitMessage({Named(name)}, kTextRoom));
}

bool CallbackReporter::FileStep() { return Send(ZCB_FILE_STEP, 0, 0, {}); }

bool CallbackReporter::BatchEnd() { return Send(ZCB_BATCH_END, 0, 0, {}); }

bool CallbackReporter::StillWanted() { return Send(ZCB_POLL, 0, 0, {}); }

bool CallbackReporter::Message(std::int32_t code, std::string_view text)
{
    return SendLine(code, FitMessage({MessagePart(text)}, kTextRoom));
}

bool CallbackReporter::Message(std::int32_t code, std::initializer_list<MessagePart> parts)
{
    return SendLine(code, FitMessage(parts, kTextRoom));
}

bool CallbackReporter::SendLine(std::int32_t code, std::string line)
{
    // One line: FitMessage showed every line break as an escape.
    return Send(ZCB_MESSAGE, code, 0, line);
}

}  // namespace zipcore
