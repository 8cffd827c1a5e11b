// vexlo-check: runs the whole device check in a terminal and prints the report (or JSON).

#include "device/DeviceCheck.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QJsonDocument>
#include <QTextStream>

#include <QCoro/QCoroTask>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Drawing the picture needs fonts, so --png brings up the GUI layer; without a display it draws offscreen.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv)
{
    bool picture = false;
    for (int i = 1; i < argc; ++i)
        picture = picture || QByteArrayView(argv[i]) == "--png" || QByteArrayView(argv[i]).startsWith("--png=");
    if (!picture)
        return std::make_unique<QCoreApplication>(argc, argv);
#ifndef Q_OS_MACOS
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    return std::make_unique<QGuiApplication>(argc, argv);
}

bool writePicture(const QImage &image, const QString &file)
{
    QSaveFile out(file);
    return !image.isNull() && out.open(QIODevice::WriteOnly) && image.save(&out, "PNG") && out.commit();
}

} // namespace

int main(int argc, char **argv)
{
    const auto application = makeApplication(argc, argv);
    QCoreApplication::setApplicationName(u"vexlo-check"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"体检这台 Mac：读取硬件信息、做交叉校验并打印报告。全部在本机完成。"_s);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"显示本帮助。"_s);
    const QCommandLineOption json(u"json"_s, u"以 JSON 输出（整机信息、各分组、交叉校验、问题、评分与结论）。"_s);
    const QCommandLineOption tools(u"tools"_s, u"先在此文件夹中查找系统工具（替身或测试用）。"_s, u"DIR"_s);
    const QCommandLineOption profile(
        u"profile"_s, u"使用自带的示例机器：%1。"_s.arg(DiagnosticsConfig::profiles().join(u"、"_s)), u"NAME"_s);
    const QCommandLineOption refresh(u"refresh"_s, u"先清除七天的硬件信息缓存再检测。"_s);
    QCommandLineOption stats(u"stats"_s, u"Print process count and timings to standard error."_s);
    stats.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption caseSerial(u"case-serial"_s, u"机身底部或包装盒上的序列号，与系统序列号核对。"_s,
                                        u"SERIAL"_s);
    const QCommandLineOption png(u"png"_s, u"另存一张可分享的检测结果图片（PNG）。"_s, u"FILE"_s);
    parser.addOptions({help, json, tools, profile, refresh, stats, caseSerial, png});

    QTextStream err(stderr);
    QTextStream out(stdout);
    if (!parser.parse(QCoreApplication::arguments())) {
        err << parser.errorText() << u"\n"_s << u"用法见 vexlo-check --help"_s << Qt::endl;
        return 2;
    }
    if (parser.isSet(help)) {
        out << parser.helpText();
        return 0;
    }

    DiagnosticsConfig config = DiagnosticsConfig::forHost();
    if (parser.isSet(profile)) {
        const QString name = parser.value(profile);
        auto chosen = DiagnosticsConfig::forProfile(name);
        if (!chosen) {
            err << u"找不到示例机器“%1”。可用：%2"_s.arg(name, DiagnosticsConfig::profiles().join(u"、"_s)) << Qt::endl;
            return 2;
        }
        config = *chosen;
    }
    if (parser.isSet(tools)) {
        const QFileInfo dir(parser.value(tools));
        if (!dir.isDir()) {
            err << u"工具文件夹不存在：%1"_s.arg(parser.value(tools)) << Qt::endl;
            return 2;
        }
        config.tools.toolRoot = dir.canonicalFilePath();
        if (!parser.isSet(profile))
            config.sampleData = false;
    }

    // A terminated check takes its tools with it: they run in process groups of their own.
    ToolGroups::killOnSignals();
    DeviceCheck check(config);
    check.setStepPause(std::chrono::milliseconds(0));
    // The terminal runs firmwarepasswd itself (it needs root: run with sudo to read it) and keeps no history.
    check.setCheckFirmwareDuringRun(true);
    check.setHistoryFolder({});
    check.setCaseSerial(parser.value(caseSerial));
    QElapsedTimer clock;
    clock.start();
    QCoro::waitFor(check.runAllTask(parser.isSet(refresh)));
    const qint64 totalNs = clock.nsecsElapsed();

    if (check.sampleData())
        err << u"注意：这不是 macOS，以下是示例机器“%1”的数据。"_s.arg(check.profile()) << Qt::endl;
    if (parser.isSet(json))
        out << QString::fromUtf8(QJsonDocument(check.toJson()).toJson(QJsonDocument::Indented));
    else
        out << check.reportText() << u"\n"_s;
    out.flush();

    if (parser.isSet(png) && !writePicture(check.cardImage(), parser.value(png))) {
        err << u"图片无法写入：%1"_s.arg(parser.value(png)) << Qt::endl;
        return 1;
    }

    if (parser.isSet(stats)) {
        const ToolStats s = check.lastStats();
        err << u"processes: "_s << s.processes << u"\n"_s << u"total ms: "_s << QString::number(totalNs / 1e6, 'f', 2)
            << u"\n"_s << u"tool ms: "_s << QString::number(s.toolNanoseconds / 1e6, 'f', 2) << u"\n"_s
            << u"overhead ms: "_s << QString::number((totalNs - s.toolNanoseconds) / 1e6, 'f', 2) << Qt::endl;
    }
    return 0;
}
