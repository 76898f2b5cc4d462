// The main window's speed, on the offscreen platform:
//   - opening a 100,000-member archive until the grid is filled, sorted and
//     painted, then sorting by each column with a click on its heading
//     (goal: under 0.5 s each);
//   - Find over the same listing: each key stroke of a typed text (and of
//     its deletion, a wildcard text, and Esc) until the grid shows the
//     rows it keeps (goal: under 50 ms each);
//   - adding a generated corpus of about 400 MB (20,000 small text files and
//     seven 40 MB binaries) through the messages window, its progress
//     handler processing pending events, against the same add through
//     fernpack-cli (goal: within 10%).
// Usage: app_bench [--listing-only | --find-only | --add-only] [work-folder]
// (default /tmp/fernpack-appbench; corpus and archive are made once there).
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSettings>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>

#include "ZipFixture.h"
#include "app/FernpackApplication.h"
#include "app/Program.h"
#include "app/QtUiServices.h"
#include "app/mainunit.h"
#include "app/msgunit.h"
#include "platform/FileSystem.h"
#include "platform/UiServices.h"

namespace fs = std::filesystem;

namespace {

// Boxes become lines, so nothing waits for a click.
class BenchUi : public app::QtUiServices {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "  box: %s\n", text.c_str()); }
};

double CpuSeconds()
{
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        struct rusage u;
        getrusage(who, &u);
        total += u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

double lastCpu = 0;  // processor time of the last Seconds() run, this process and its children

double Seconds(const std::function<void()>& run)
{
    const double cpu = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    run();
    lastCpu = CpuSeconds() - cpu;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::uint64_t Next(std::uint64_t& x)
{
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    return x;
}

std::string BigListing(const std::string& work)
{
    const std::string path = work + "/listing-100000.zip";
    if (fs::exists(path))
        return path;
    std::printf("writing %s ...\n", path.c_str());
    fixture::ZipBuilder builder;
    std::uint64_t x = 7;
    for (int i = 0; i < 100000; ++i) {
        fixture::Member m;
        m.Name = "dir" + std::to_string(Next(x) % 300) + "/File_" + std::to_string(Next(x) % 1000000) + ".dat";
        m.Data = std::string(Next(x) % 40, 'd');
        m.DateTime = fixture::DosDateTime(1990 + int(Next(x) % 35), 1 + int(Next(x) % 12), 1 + int(Next(x) % 28),
                                          int(Next(x) % 24), int(Next(x) % 60), int(Next(x) % 30) * 2);
        builder.Add(m);
    }
    std::ofstream(path, std::ios::binary) << builder.Finish().Bytes();
    return path;
}

void Click(QWidget* w, QPoint p)
{
    const QPointF g = w->mapToGlobal(QPointF(p));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(p), g, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(p), g, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
    QApplication::processEvents();
}

void ListingBench(app::TProgram& program, const std::string& work)
{
    const std::string path = BigListing(work);
    app::TMainform& form = program.Mainform();
    program.ShowMainWindow();
    QApplication::setActiveWindow(&form);
    QApplication::processEvents();
    const double open = Seconds([&] {
        form.RezEdidiv1.SetZipFilename(path);
        QApplication::processEvents();
    });
    std::printf("open + fill + sort + paint, %d members: %.3f s  (goal < 0.5 s)\n", form.RezEdidiv1.EntryCount(), open);
    form.StringGrid1->setFocus();
    for (int col : {0, 1, 2, 3, 3, 0}) {
        const grid::TRect r = form.StringGrid1->CellRect(col, 0);
        const double t = Seconds([&] { Click(form.StringGrid1->viewport(), QPoint((r.Left + r.Right) / 2, 5)); });
        std::printf("  click-sort by %-12s %s: %.3f s  (first row: %s)\n", form.StringGrid1->Cells(col, 0).c_str(),
                    form.SortOptions.SortDirection == grid::sdAscending ? "ascending " : "descending", t,
                    form.StringGrid1->Cells(col, 1).c_str());
    }
}

void FindBench(app::TProgram& program, const std::string& work)
{
    const std::string path = BigListing(work);
    app::TMainform& form = program.Mainform();
    program.ShowMainWindow();
    QApplication::setActiveWindow(&form);
    form.RezEdidiv1.SetZipFilename(path);
    QApplication::processEvents();
    const double open = Seconds([&] {
        form.ShowFind();  // reads every name once
        QApplication::processEvents();
    });
    std::printf("Ctrl+F over %d members: %.1f ms (cpu %.1f)\n", form.RezEdidiv1.EntryCount(), open * 1000,
                lastCpu * 1000);
    double slowest = 0, total = 0;
    int strokes = 0;
    auto stroke = [&](const QString& text) {
        const double t = Seconds([&] {
            form.FindEdit->setText(text);
            QApplication::processEvents();
        });
        slowest = std::max(slowest, t);
        total += t;
        ++strokes;
        std::printf("  %-14s %6.1f ms (cpu %5.1f)  %s\n", ("\"" + text.toStdString() + "\"").c_str(), t * 1000,
                    lastCpu * 1000, form.FilesLabel->text().toStdString().c_str());
    };
    std::printf("Find over %d members, one key stroke at a time:\n", form.RezEdidiv1.EntryCount());
    const QString typed = QStringLiteral("dir1/file_12");
    for (int n = 1; n <= typed.size(); ++n)
        stroke(typed.left(n));
    for (int n = typed.size() - 1; n >= 0; --n)
        stroke(typed.left(n));
    const QString wildcard = QStringLiteral("*7?.dat");
    for (int n = 1; n <= wildcard.size(); ++n)
        stroke(wildcard.left(n));
    const double esc = Seconds([&] {
        form.CloseFind();
        QApplication::processEvents();
    });
    slowest = std::max(slowest, esc);
    std::printf("  Esc            %6.1f ms (cpu %5.1f)  %s\n", esc * 1000, lastCpu * 1000,
                form.FilesLabel->text().toStdString().c_str());
    std::printf("key strokes: %d, mean %.1f ms, slowest %.1f ms  (goal < 50 ms each)\n", strokes + 1,
                (total + esc) / (strokes + 1) * 1000, slowest * 1000);
}

std::string Text(std::size_t size, std::uint64_t& x)
{
    static const char* words[] = {"the ", "archive ", "holds ", "members ", "and ", "each ", "member ", "has ",
                                  "a ", "name, ", "data ", "size\n", "crc ", "fern ", "pack ", "folder\n"};
    std::string out;
    while (out.size() < size)
        out += words[Next(x) % 16];
    out.resize(size);
    return out;
}

std::string Corpus(const std::string& work)
{
    const std::string root = work + "/corpus";
    if (fs::exists(root + "/.complete"))
        return root;
    std::printf("generating the corpus in %s ...\n", root.c_str());
    fs::remove_all(root);
    std::uint64_t x = 99;
    for (int i = 0; i < 20000; ++i) {
        const std::string d = root + "/small/d" + std::to_string(i / 500) + "/s" + std::to_string(i / 50 % 10);
        fs::create_directories(d);
        std::ofstream(d + "/f" + std::to_string(i) + ".txt", std::ios::binary) << Text(200 + Next(x) % 12000, x);
    }
    fs::create_directories(root + "/big");
    for (int b = 0; b < 7; ++b) {
        std::ofstream out(root + "/big/blob" + std::to_string(b) + ".bin", std::ios::binary);
        for (int mb = 0; mb < 40; ++mb) {
            std::string block(1 << 20, '\0');
            if (Next(x) % 2) {
                for (auto& c : block)
                    c = static_cast<char>(Next(x));
            } else {
                for (std::size_t i = 0; i < block.size(); ++i)
                    block[i] = static_cast<char>("fernpack-block-"[i % 15] + (i / 4096) % 7);
            }
            out << block;
        }
    }
    std::ofstream(root + "/.complete") << "ok";
    return root;
}

std::int32_t lastCount = 0;

double AddThroughWindow(app::TProgram& program, const std::string& corpus, const std::string& archive)
{
    app::TMainform& form = program.Mainform();
    engine::TRezEdidiv& z = form.RezEdidiv1;
    fs::remove(archive);
    form.RezEdidiv1.SetZipFilename(archive);
    return Seconds([&] {
        program.Msgform().Open("Beginning Add to " + archive);
        z.AddOptions = {};
        z.AddOptions.Include(engine::AddOptsEnum::AddRecurseDirs).Include(engine::AddOptsEnum::AddDirNames);
        z.SetFSpecArgs({corpus + "/*.*"});
        std::int32_t steps = 0;
        z.CountAddFiles(steps);
        program.Msgform().AllFilesBar = {1, std::max(1, steps), 1, 1};
        form.RunOperation([&] { z.AddFiles(); });
        if (z.ProcessedCount <= 0)
            std::fprintf(stderr, "window add handled nothing\n");
        lastCount = z.ProcessedCount;
    });
}

double AddThroughCli(const std::string& bin, const std::string& corpus, const std::string& archive)
{
    fs::remove(archive);
    const std::string command =
        "'" + bin + "/fernpack-cli' add --recurse --dirnames '" + archive + "' '" + corpus + "' >/dev/null 2>&1";
    return Seconds([&] {
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "failed: %s\n", command.c_str());
    });
}

void AddBench(app::TProgram& program, const std::string& work, const std::string& bin)
{
    const std::string corpus = Corpus(work);
    std::uint64_t bytes = 0;
    for (const auto& e : fs::recursive_directory_iterator(corpus))
        if (e.is_regular_file())
            bytes += e.file_size();
    std::printf("add of %.0f MB through the window against fernpack-cli (level 9, best of 3 runs each):\n",
                bytes / 1e6);
    const std::uint32_t throttled = program.Msgform().ProcessInterval;
    double cli = 1e9, perEvent = 1e9, window = 1e9, cliCpu = 1e9, perEventCpu = 1e9, windowCpu = 1e9;
    for (int run = 0; run < 3; ++run) {
        const double c = AddThroughCli(bin, corpus, work + "/cli.zip");
        const double cCpu = lastCpu;
        program.Msgform().ProcessInterval = 0;
        const double e = AddThroughWindow(program, corpus, work + "/window.zip");
        const double eCpu = lastCpu;
        program.Msgform().ProcessInterval = throttled;
        const double w = AddThroughWindow(program, corpus, work + "/window.zip");
        const double wCpu = lastCpu;
        std::printf("  run %d (%d files): fernpack-cli %.2f s (cpu %.2f), window with input processed at every "
                    "event %.2f s (cpu %.2f), every %u ms %.2f s (cpu %.2f)\n",
                    run + 1, lastCount, c, cCpu, e, eCpu, throttled, w, wCpu);
        cli = std::min(cli, c);
        cliCpu = std::min(cliCpu, cCpu);
        perEvent = std::min(perEvent, e);
        perEventCpu = std::min(perEventCpu, eCpu);
        window = std::min(window, w);
        windowCpu = std::min(windowCpu, wCpu);
    }
    std::printf("best wall-clock: fernpack-cli %.2f s; window, every event %.2f s (ratio %.3f), every %u ms %.2f s "
                "(ratio %.3f; goal <= 1.10)\n",
                cli, perEvent, perEvent / cli, throttled, window, window / cli);
    std::printf("best processor time: fernpack-cli %.2f s; window, every event %.2f s (ratio %.3f), every %u ms "
                "%.2f s (ratio %.3f)\n",
                cliCpu, perEventCpu, perEventCpu / cliCpu, throttled, windowCpu, windowCpu / cliCpu);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    app::TFernpackApplication application(argc, argv);
    bool listing = true, find = true, add = true;
    std::string work = "/tmp/fernpack-appbench";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--listing-only")
            find = add = false;
        else if (a == "--find-only")
            listing = add = false;
        else if (a == "--add-only")
            listing = find = false;
        else
            work = a;
    }
    fs::create_directories(work);
    // The archives opened last go to the work folder, not the user's settings.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(work));
    BenchUi ui;
    platform::ScopedUi scope(ui);
    const std::string bin = fs::canonical("/proc/self/exe").parent_path().string();
    app::StartOptions options;
    options.LibraryFolder = bin;
    app::TProgram program(options);
    if (listing)
        ListingBench(program, work);
    if (find)
        FindBench(program, work);
    if (add)
        AddBench(program, work, bin);
    return 0;
}
