#include "app/RecentArchives.h"

#include <QByteArray>
#include <QVariant>
#include <algorithm>

namespace app {

namespace {

const char* const Key = "recent/archives";

}  // namespace

TRecentArchives::TRecentArchives(std::unique_ptr<QSettings> settings) : settings_(std::move(settings))
{
    if (!settings_)
        settings_ = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("fernpack"),
                                                QStringLiteral("fernpack"));
}

std::vector<std::string> TRecentArchives::Paths() const
{
    std::vector<std::string> paths;
    for (const QVariant& v : settings_->value(Key).toList()) {
        const QByteArray bytes = v.toByteArray();
        if (!bytes.isEmpty() && paths.size() < Kept)
            paths.emplace_back(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    return paths;
}

void TRecentArchives::Remember(const std::string& path)
{
    if (path.empty())
        return;
    std::vector<std::string> paths = Paths();
    if (!paths.empty() && paths.front() == path)
        return;
    paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
    paths.insert(paths.begin(), path);
    if (paths.size() > Kept)
        paths.resize(Kept);
    QVariantList list;
    for (const std::string& p : paths)
        list.append(QByteArray(p.data(), static_cast<qsizetype>(p.size())));
    settings_->setValue(Key, list);
    settings_->sync();
}

std::string TRecentArchives::LastFolder() const
{
    const std::vector<std::string> paths = Paths();
    if (paths.empty())
        return {};
    const std::string& newest = paths.front();
    const std::size_t slash = newest.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : newest.substr(0, slash);
}

}  // namespace app
