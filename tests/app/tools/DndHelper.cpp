// What a file manager is to Fernpack in a drag and drop, for
// scripts/gui-e2e.sh under Xvfb (real XDND between two programs):
//   fernpack-dnd-helper source FILE...   a window "DnD Source": a press and
//       a move on it drag the files' URLs out (a copy); prints "drag ended:
//       copy" or "drag ended: none" when the drag is over
//   fernpack-dnd-helper target FOLDER    a window "DnD Target" that takes
//       dropped URLs and copies the files and folders into FOLDER, as a file
//       manager copies what is dropped on it; prints "dropped N" after each
// Not part of the product.
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <cstdio>
#include <filesystem>

namespace {

class Source : public QLabel {
public:
    explicit Source(QList<QUrl> urls) : QLabel(QStringLiteral("drag from here")), urls_(std::move(urls))
    {
        setWindowTitle(QStringLiteral("DnD Source"));
        setAlignment(Qt::AlignCenter);
        resize(300, 200);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { pressed_ = event->position().toPoint(); }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!(event->buttons() & Qt::LeftButton) ||
            (event->position().toPoint() - pressed_).manhattanLength() < QApplication::startDragDistance())
            return;
        auto* data = new QMimeData;
        data->setUrls(urls_);
        // Owned by the toolkit until the target has the data.
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction done = drag->exec(Qt::CopyAction);
        std::printf("drag ended: %s\n", done == Qt::IgnoreAction ? "none" : "copy");
        std::fflush(stdout);
    }

private:
    QList<QUrl> urls_;
    QPoint pressed_;
};

class Target : public QLabel {
public:
    explicit Target(std::filesystem::path folder) : QLabel(QStringLiteral("drop here")), folder_(std::move(folder))
    {
        setWindowTitle(QStringLiteral("DnD Target"));
        setAlignment(Qt::AlignCenter);
        setAcceptDrops(true);
        resize(300, 200);
    }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        // As a file manager: the types are enough to say yes; the data is
        // asked for on the drop.
        if (event->mimeData()->hasUrls())
            event->acceptProposedAction();
    }
    void dropEvent(QDropEvent* event) override
    {
        int copied = 0;
        for (const QUrl& url : event->mimeData()->urls()) {
            if (!url.isLocalFile())
                continue;
            const std::filesystem::path from = url.toLocalFile().toStdString();
            std::error_code error;
            std::filesystem::copy(from, folder_ / from.filename(),
                                  std::filesystem::copy_options::recursive |
                                      std::filesystem::copy_options::overwrite_existing,
                                  error);
            if (!error)
                ++copied;
        }
        event->acceptProposedAction();
        std::printf("dropped %d\n", copied);
        std::fflush(stdout);
    }

private:
    std::filesystem::path folder_;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() >= 3 && args[1] == QLatin1String("source")) {
        QList<QUrl> urls;
        for (int i = 2; i < args.size(); ++i)
            urls << QUrl::fromLocalFile(args[i]);
        Source window(urls);
        window.show();
        return QApplication::exec();
    }
    if (args.size() == 3 && args[1] == QLatin1String("target")) {
        Target window(args[2].toStdString());
        window.show();
        return QApplication::exec();
    }
    std::fprintf(stderr, "usage: fernpack-dnd-helper source FILE... | target FOLDER\n");
    return 2;
}
