// The archives opened last, kept between runs: Open Zip starts in the folder
// of the last one and offers the last ten. Only paths are kept (as the file
// system's bytes), newest first, each once, in the program's QSettings file
// ($XDG_CONFIG_HOME/fernpack/fernpack.ini).
#pragma once

#include <QSettings>
#include <memory>
#include <string>
#include <vector>

namespace app {

class TRecentArchives {
public:
    static constexpr std::size_t Kept = 10;

    // Kept in `settings`; the program's own file when none is given.
    explicit TRecentArchives(std::unique_ptr<QSettings> settings = nullptr);

    // Newest first.
    std::vector<std::string> Paths() const;
    // `path` becomes the newest (moved up when it was there already); the
    // eleventh goes.
    void Remember(const std::string& path);
    // The folder of the newest, or "" with none.
    std::string LastFolder() const;

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace app
