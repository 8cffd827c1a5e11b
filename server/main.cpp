// vexlo-store-server: the reference store service the client talks to.
#include "server/StoreServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QHostInfo>
#include <QStandardPaths>
#include <cstdio>

namespace {

QHostAddress resolveHost(const QString &text)
{
    QHostAddress address;
    if (address.setAddress(text))
        return address;
    if (text == QLatin1String("localhost"))
        return QHostAddress::LocalHost;
    const QHostInfo info = QHostInfo::fromName(text);
    return info.addresses().isEmpty() ? QHostAddress() : info.addresses().first();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vexlo-store-server"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The Vexlo store service: catalogue, accounts, sponsorship orders and wallpapers over HTTP/JSON.\n"
        "Demo accounts: sponsor@vexlo.test / vexlo-sponsor and member@vexlo.test / vexlo-member."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption hostOption(QStringLiteral("host"),
                                        QStringLiteral("Address to listen on (default 127.0.0.1)."),
                                        QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port to listen on (default 4812; 0 picks a free one)."),
                                        QStringLiteral("port"), QStringLiteral("4812"));
    const QString defaultDir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    const QCommandLineOption dataOption(
        QStringLiteral("data-dir"),
        QStringLiteral("Folder for the database and generated images (default %1).").arg(defaultDir),
        QStringLiteral("folder"), defaultDir);
    parser.addOptions({hostOption, portOption, dataOption});
    parser.process(app);

    StoreServer::Options options;
    options.host = resolveHost(parser.value(hostOption));
    if (options.host.isNull()) {
        std::fprintf(stderr, "vexlo-store-server: unknown host %s\n", qPrintable(parser.value(hostOption)));
        return 2;
    }
    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535) {
        std::fprintf(stderr, "vexlo-store-server: invalid port %s\n", qPrintable(parser.value(portOption)));
        return 2;
    }
    options.port = quint16(port);
    options.dataDir = parser.value(dataOption);

    StoreServer server;
    QString error;
    if (!server.start(options, &error)) {
        std::fprintf(stderr, "vexlo-store-server: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("vexlo-store-server listening on http://%s:%u (data: %s)\n", qPrintable(options.host.toString()),
                unsigned(server.port()), qPrintable(QDir::toNativeSeparators(options.dataDir)));
    std::fflush(stdout);
    return app.exec();
}
