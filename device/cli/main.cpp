// vexlo-check: runs the whole device check in a terminal and prints the report (or JSON).

#include "device/DeviceCheck.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

#include <QCoro/QCoroTask>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
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
    parser.addOptions({help, json, tools, profile, refresh, stats});

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

    if (parser.isSet(stats)) {
        const ToolStats s = check.lastStats();
        err << u"processes: "_s << s.processes << u"\n"_s << u"total ms: "_s << QString::number(totalNs / 1e6, 'f', 2)
            << u"\n"_s << u"tool ms: "_s << QString::number(s.toolNanoseconds / 1e6, 'f', 2) << u"\n"_s
            << u"overhead ms: "_s << QString::number((totalNs - s.toolNanoseconds) / 1e6, 'f', 2) << Qt::endl;
    }
    return 0;
}
