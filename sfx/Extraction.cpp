#include "Extraction.h"

#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>

#include "libs/zipcore/DlopenCrypto.h"
#include "libs/zipcore/Extractor.h"
#include "libs/zipcore/SafePath.h"
#include "libs/zipcore/TargetTree.h"
#include "zipformat/Methods.h"

namespace sfx {

namespace zip = fernpack::zip;

namespace {

class DiscardSink final : public zipcore::OutputSink {
public:
    bool Write(const std::uint8_t*, std::size_t) override { return true; }
};

void Report(const char* what, const zipcore::ZipEntry& entry, const std::string& detail = "")
{
    const std::string name = PrintableName(entry.name, entry.flags);
    if (detail.empty())
        std::printf("  %-10s %s\n", what, name.c_str());
    else
        std::printf("  %-10s %s: %s\n", what, name.c_str(), Printable(detail).c_str());
}

// The stub carries the stored and deflate decoders only (its decoder gets
// no method table); a member packed otherwise is named with its method and
// never started, so no file and no password question comes of it.
bool Unreadable(const zipcore::ZipEntry& entry, RunCounts* counts)
{
    if (entry.IsDirectory() || zipcore::CanDecodeMethod(entry.DataMethod(), zipcore::DecoderOptions{}))
        return false;
    Report("unsupported", entry, zip::UnsupportedMethodText(entry.DataMethod()));
    ++counts->failed;
    ++counts->unreadable;
    return true;
}

}  // namespace

Extraction::Extraction(const SfxArchive& archive, Console& console, const std::vector<std::size_t>& selection)
    : archive_(archive), console_(console), selection_(selection)
{
    zipcore::DecoderOptions options;
    for (std::size_t index : selection_) {
        if (archive_.Entries()[index].method == zip::MethodAes) {
            options.crypto = zipcore::DlopenCrypto(&cryptoError_);
            break;
        }
    }
    decoder_ = std::make_unique<zipcore::EntryDecoder>(options);
}

Extraction::~Extraction() = default;

template <typename Try>
bool Extraction::WithPassword(const zipcore::ZipEntry& entry, Try attempt, RunCounts* counts, std::string* detail)
{
    if (!entry.NeedsPassword())
        return attempt(std::string()) == Attempt::Ok;
    if (entry.method == zip::MethodAes && !cryptoError_.empty()) {
        *detail = cryptoError_;
        return false;
    }
    // The last good password is tried first; then the user has three tries.
    std::string password = password_;
    for (int asked = 0;;) {
        if (password.empty()) {
            if (asked == 3)
                return false;
            ++asked;
            if (!console_.AskPassword("Password for " + entry.name, &password)) {
                counts->cancelled = true;
                *detail = "no password given";
                return false;
            }
            if (password.empty()) {
                *detail = "no password given";
                return false;
            }
        }
        Attempt result = attempt(password);
        if (result == Attempt::Ok) {
            password_ = password;
            return true;
        }
        if (result != Attempt::WrongPassword)
            return false;
        if (asked > 0)
            std::printf("  %s\n", Printable(*detail).c_str());
        password.clear();
    }
}

bool Extraction::AskReplace(const std::string& name, bool* replace)
{
    if (answerForAll_ != OverwriteMode::Ask) {
        *replace = answerForAll_ == OverwriteMode::Always;
        return true;
    }
    for (;;) {
        std::string answer;
        if (!console_.Ask("Replace the existing " + name + "? (yes/no/all/none)", "no", &answer))
            return false;
        switch (PickChoice(answer, {"yes", "no", "all", "none"})) {
        case 0: *replace = true; return true;
        case 1: *replace = false; return true;
        case 2: answerForAll_ = OverwriteMode::Always; *replace = true; return true;
        case 3: answerForAll_ = OverwriteMode::Never; *replace = false; return true;
        default: std::puts("Please answer yes, no, all or none.");
        }
    }
}

RunCounts Extraction::Extract(int baseFd, OverwriteMode mode)
{
    RunCounts counts;
    zipcore::TargetTree tree(baseFd);
    answerForAll_ = OverwriteMode::Ask;
    for (std::size_t index : selection_) {
        const zipcore::ZipEntry& entry = archive_.Entries()[index];
        if (Unreadable(entry, &counts))
            continue;
        std::string detail;
        bool replace = mode == OverwriteMode::Always;
        if (mode == OverwriteMode::Ask && !entry.IsDirectory()) {
            // Ask only about a file that is really there, reached without
            // following links; everything else the extractor decides.
            std::vector<std::string> parts;
            struct stat st;
            if (zipcore::SplitSafePath(entry.name, &parts, &detail) && !parts.empty() && !entry.IsSymlink()) {
                int folder = tree.OpenFolder(parts, parts.size() - 1, false, &detail);
                if (folder >= 0 && fstatat(folder, parts.back().c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                    !S_ISDIR(st.st_mode) && !AskReplace(entry.name, &replace)) {
                    counts.cancelled = true;
                    return counts;
                }
            }
        }
        zipcore::EntryData data;
        if (!archive_.LocateData(entry, &data, &detail)) {
            Report("damaged", entry, detail);
            ++counts.failed;
            continue;
        }
        zipcore::ExtractOptions options;
        options.overwrite = replace;
        zipcore::Extractor extractor(tree, options, *decoder_);
        zipcore::ExtractOutcome outcome = zipcore::ExtractOutcome::Extracted;
        auto attempt = [&](const std::string& password) {
            outcome = extractor.Extract(entry, data, password, [] { return true; }, &detail);
            if (outcome == zipcore::ExtractOutcome::Extracted)
                return Attempt::Ok;
            bool wrong = outcome == zipcore::ExtractOutcome::WrongPassword ||
                         outcome == zipcore::ExtractOutcome::NeedPassword ||
                         // one wrong password in 256 passes the traditional check
                         (outcome == zipcore::ExtractOutcome::BadCrc && entry.IsEncrypted() &&
                          entry.method != zip::MethodAes);
            return wrong ? Attempt::WrongPassword : Attempt::Other;
        };
        if (WithPassword(entry, attempt, &counts, &detail)) {
            Report(entry.IsDirectory() ? "folder" : "extracted", entry);
            ++counts.done;
        } else if (outcome == zipcore::ExtractOutcome::SkippedExisting) {
            Report("kept", entry, "a file of that name exists");
            ++counts.skipped;
        } else {
            using O = zipcore::ExtractOutcome;
            const char* what = outcome == O::UnsafeName || outcome == O::Symlink ? "refused"
                               : outcome == O::Unsupported                       ? "unsupported"
                                                                                 : "error";
            Report(what, entry, detail);
            ++counts.failed;
        }
        if (counts.cancelled)
            return counts;
    }
    return counts;
}

RunCounts Extraction::Test()
{
    RunCounts counts;
    for (std::size_t index : selection_) {
        const zipcore::ZipEntry& entry = archive_.Entries()[index];
        if (entry.IsDirectory() || Unreadable(entry, &counts))
            continue;
        std::string detail;
        zipcore::EntryData data;
        bool ok = archive_.LocateData(entry, &data, &detail);
        if (ok) {
            auto attempt = [&](const std::string& password) {
                DiscardSink sink;
                zipcore::DecodeStatus status = decoder_->Decode(entry, data, password, sink, &detail);
                if (status == zipcore::DecodeStatus::Ok)
                    return Attempt::Ok;
                bool wrong = status == zipcore::DecodeStatus::WrongPassword ||
                             status == zipcore::DecodeStatus::NeedPassword ||
                             (status == zipcore::DecodeStatus::BadCrc && entry.IsEncrypted() &&
                              entry.method != zip::MethodAes);
                return wrong ? Attempt::WrongPassword : Attempt::Other;
            };
            ok = WithPassword(entry, attempt, &counts, &detail);
        }
        if (ok) {
            Report("OK", entry);
            ++counts.done;
        } else {
            Report("error", entry, detail);
            ++counts.failed;
        }
        if (counts.cancelled)
            return counts;
    }
    return counts;
}

}  // namespace sfx
