// Builds a tree of application bundles and times scans over it.
//   vexlo_scan_bench generate DIR BUNDLES FILES   DIR gets BUNDLES bundles holding about FILES files in all
//   vexlo_scan_bench scan DIR RUNS                prints the best of RUNS scan times and the CPU time per run in
//                                               seconds, then the bundle count and total size

#include "software/SoftwareScanner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void makeDir(const std::string &path)
{
    ::mkdir(path.c_str(), 0755);
}

// Sparse files: their byte size counts, yet they take no disk space.
void makeFile(const std::string &path, off_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    if (size > 0 && ::ftruncate(fd, size) != 0)
        std::perror("ftruncate");
    ::close(fd);
}

int generate(const std::string &root, int bundles, int files)
{
    if (!QDir().mkpath(QString::fromStdString(root)))
        return 1;
    std::mt19937 random(42);
    std::uniform_int_distribution<off_t> sizes(0, 200'000);
    const int perBundle = files / bundles;
    for (int b = 0; b < bundles; ++b) {
        const std::string bundle = root + "/App" + std::to_string(b) + ".app";
        const std::string contents = bundle + "/Contents";
        makeDir(bundle);
        makeDir(contents);
        makeDir(contents + "/MacOS");
        makeDir(contents + "/Resources");
        makeDir(contents + "/Frameworks");
        makeFile(contents + "/Info.plist", 1500);
        makeFile(contents + "/MacOS/App" + std::to_string(b), 20'000'000);
        ::symlink("Versions/A", (contents + "/Frameworks/Current").c_str());
        int made = 2;
        for (int d = 0; made < perBundle; ++d) {
            const std::string folder = contents + "/Resources/group" + std::to_string(d);
            makeDir(folder);
            makeDir(folder + "/nested");
            for (int f = 0; f < 40 && made < perBundle; ++f, ++made) {
                const std::string parent = (f % 2) ? folder : folder + "/nested";
                makeFile(parent + "/item" + std::to_string(f) + ".dat", sizes(random));
            }
        }
    }
    return 0;
}

double cpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int scan(const QString &root, int runs)
{
    const double cpuBefore = cpuSeconds();
    double best = 1e9;
    qint64 total = 0;
    qsizetype count = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const QList<LocalApp> apps = SoftwareScanner::scan({root});
        best = std::min(best, timer.nsecsElapsed() / 1e9);
        total = 0;
        for (const LocalApp &app : apps)
            total += app.sizeBytes();
        count = apps.size();
    }
    const double cpuPerRun = (cpuSeconds() - cpuBefore) / runs;
    QTextStream(stdout) << QString::number(best, 'f', 4) << ' ' << QString::number(cpuPerRun, 'f', 4) << ' ' << count
                        << ' ' << total << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args.at(1) == QLatin1String("generate"))
        return generate(args.at(2).toStdString(), args.at(3).toInt(), args.at(4).toInt());
    if (args.size() == 4 && args.at(1) == QLatin1String("scan"))
        return scan(args.at(2), args.at(3).toInt());
    QTextStream(stderr) << "usage: vexlo_scan_bench generate DIR BUNDLES FILES | scan DIR RUNS\n";
    return 2;
}
