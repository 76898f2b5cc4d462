#include "Pipeline.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zipwriter {

Pipeline::Pipeline(const PipelineSettings& settings, std::vector<std::string> paths) : settings_(settings)
{
    members_.resize(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i)
        members_[i].path = std::move(paths[i]);
    if (settings_.level > 0)
        compressor_ = std::make_unique<Compressor>(settings_.workers);
}

std::uint64_t Pipeline::Cost(const CompressJob& job) const
{
    // Input and output are both held while a job runs; small jobs still
    // count for something so that thousands of tiny files do not all open
    // at once.
    return std::max<std::uint64_t>(2 * job.length, 64 * 1024);
}

void Pipeline::Open(PreparedMember& member)
{
    member.opened = true;
    int fd = open(member.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        member.openError = std::strerror(errno);
        return;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        member.openError = "not a regular file";
        close(fd);
        return;
    }
    member.source = std::make_shared<SourceHandle>(fd);
    member.size = std::uint64_t(st.st_size);
    member.mtime = st.st_mtime;
    member.mode = st.st_mode;
    member.modified = st.st_mtim;
    member.device = st.st_dev;
    member.inode = st.st_ino;
    ++openMembers_;
    if (settings_.level == 0) {
        member.kind = MemberKind::Streamed;
        return;
    }
    auto job = [&](std::uint64_t offset, std::uint64_t length, bool whole, bool last) {
        auto j = std::make_shared<CompressJob>();
        j->source = member.source;
        j->offset = offset;
        j->length = length;
        j->whole = whole;
        j->last = last;
        j->level = settings_.level;
        member.jobs.push_back(std::move(j));
    };
    if (member.size <= settings_.wholeFileLimit) {
        member.kind = MemberKind::Whole;
        job(0, member.size, true, true);
    } else {
        member.kind = MemberKind::Pieces;
        for (std::uint64_t at = 0; at < member.size; at += settings_.pieceSize) {
            std::uint64_t length = std::min(settings_.pieceSize, member.size - at);
            job(at, length, false, at + length == member.size);
        }
    }
}

bool Pipeline::Step(bool force)
{
    while (next_ < members_.size()) {
        PreparedMember& member = members_[next_];
        if (!member.opened) {
            if (!force && openMembers_ >= kMaxOpen)
                return false;
            Open(member);
            return true;
        }
        if (member.submitted < member.jobs.size()) {
            CompressJob& job = *member.jobs[member.submitted];
            std::uint64_t cost = Cost(job);
            if (!force && inflightJobs_ > 0 &&
                (inflightBytes_ + cost > settings_.memoryBudget || inflightJobs_ >= kMaxJobs))
                return false;
            inflightBytes_ += cost;
            ++inflightJobs_;
            compressor_->Submit(member.jobs[member.submitted]);
            ++member.submitted;
            return true;
        }
        ++next_;
    }
    return false;
}

PreparedMember& Pipeline::Prepare(std::size_t k)
{
    PreparedMember& member = members_[k];
    while (!member.opened || (member.submitted == 0 && !member.jobs.empty()))
        if (!Step(true))
            break;
    while (Step(false)) {
    }
    return member;
}

CompressJob& Pipeline::Job(std::size_t k, std::size_t j)
{
    PreparedMember& member = members_[k];
    while (member.submitted <= j)
        if (!Step(true))
            break;
    while (Step(false)) {
    }
    compressor_->Wait(*member.jobs[j]);
    return *member.jobs[j];
}

void Pipeline::Release(std::size_t k, std::size_t j)
{
    PreparedMember& member = members_[k];
    if (!member.jobs[j])
        return;
    inflightBytes_ -= Cost(*member.jobs[j]);
    --inflightJobs_;
    member.jobs[j].reset();
    while (Step(false)) {
    }
}

void Pipeline::Finish(std::size_t k)
{
    PreparedMember& member = members_[k];
    // Jobs the writer never took (a member given up half way) still run;
    // wait for them so that their budget comes back. Jobs never submitted
    // are dropped.
    std::size_t submitted = member.submitted;
    member.submitted = member.jobs.size();
    for (std::size_t j = 0; j < member.jobs.size(); ++j) {
        if (!member.jobs[j])
            continue;
        if (j < submitted) {
            compressor_->Wait(*member.jobs[j]);
            Release(k, j);
        } else {
            member.jobs[j].reset();
        }
    }
    if (member.source) {
        member.source.reset();
        --openMembers_;
    }
    while (Step(false)) {
    }
}

}  // namespace zipwriter
