// Vexlo工具箱: wires the shared network manager, the one Store, the fonts, the store window, the tray
// item with its panel, and the settings window. Links of the "vexlink" scheme arrive from the command
// line, from a later launch (handed over, see InstanceRelay) or from the platform's open-URL event.

#include "app/AppStart.h"
#include "app/GlobalMenuBar.h"
#include "app/TrayIcon.h"
#include "menubar/LaunchRequest.h"
#include "menubar/PanelPlacement.h"
#include "screens/window/DeepLinks.h"
#include "screens/window/InstanceRelay.h"
#include "screens/window/Shell.h"
#include "store/Store.h"

#include <QApplication>
#include <QFileOpenEvent>
#include <QLoggingCategory>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickWindow>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "vexlo_qml_plugins.h"

using namespace Qt::Literals::StringLiterals;

namespace {

Q_LOGGING_CATEGORY(lcApp, "vexlo.app")

// The platform's open-URL event (macOS hands opened links to the running app this way).
class OpenUrlFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FileOpen) {
            const QUrl url = static_cast<QFileOpenEvent *>(event)->url();
            if (url.scheme() == u"vexlink"_s) {
                DeepLinks::instance()->open(url);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

void bringForward(QWindow *window)
{
    if (!window)
        return;
    window->show();
    if (window->windowState() & Qt::WindowMinimized)
        window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
    window->raise();
    window->requestActivate();
}

// Creates a window from the app's QML on first use and keeps it for later requests.
QWindow *lazyWindow(QQmlEngine &engine, QPointer<QWindow> &slot, const QString &file)
{
    if (!slot) {
        QQmlComponent component(&engine, QUrl(u"qrc:/qt/qml/Vexlo/App/"_s + file));
        slot = qobject_cast<QWindow *>(component.create());
        if (!slot)
            qCWarning(lcApp).noquote() << component.errorString();
    }
    return slot;
}

// Answers `--help` (or `-h`) before any window system is needed: prints the options and says to end.
bool printedHelp(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0) {
            std::fputs("用法：vexlo [--quick-search] [vexlink://…]\n"
                       "\n"
                       "  --quick-search   打开快速搜索面板\n"
                       "  vexlink://…      打开商店链接，例如 vexlink://app/<软件> 或 vexlink://section/<分区>\n"
                       "  -h, --help       显示本帮助\n"
                       "\n"
                       "已有一个 Vexlo工具箱 在运行时，选项和链接交给它处理。\n",
                       stdout);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (printedHelp(argc, argv))
        return 0;
    QApplication app(argc, argv);
    AppStart::nameApplication();

    // One running instance: a later launch passes its links (and --quick-search) on and ends here.
    InstanceRelay relay(InstanceRelay::defaultName());
    const LaunchRequest launch = LaunchRequest::fromArguments(QApplication::arguments());
    if (relay.handOver(launch.handedLines()))
        return 0;
    // An instance that answers but did not take the links in time is busy; it reads them when it can.
    // Failing to listen at all (no runtime folder) only costs the hand-over.
    if (relay.listen() == InstanceRelay::Listening::anotherRuns)
        return 0;

    OpenUrlFilter openUrls;
    app.installEventFilter(&openUrls);

    std::optional<Store> store; // outlives the engine
    QQmlApplicationEngine engine;
    QPointer<QWindow> storeWindow = AppStart::openStoreWindow(engine, store);
    if (!storeWindow)
        return 1;

    QPointer<QWindow> settingsWindow;
    QPointer<QWindow> panelWindow;
    std::unique_ptr<TrayIcon> tray;
    // The quick search panel: under the tray icon when there is one, otherwise near the top of the screen.
    const auto showPanel = [&](bool toggle) {
        QWindow *panel = lazyWindow(engine, panelWindow, u"TrayPanel.qml"_s);
        if (!panel)
            return;
        if (toggle && panel->isVisible()) {
            panel->hide();
            return;
        }
        const QRect icon = tray ? tray->geometry() : QRect();
        QScreen *screen =
            icon.isEmpty() ? QGuiApplication::screenAt(QCursor::pos()) : QGuiApplication::screenAt(icon.center());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen)
            panel->setPosition(panelPosition(icon, panel->size(), screen->availableGeometry()));
        bringForward(panel);
    };

    for (const QString &link : launch.links)
        DeepLinks::instance()->open(QUrl(link));
    if (launch.quickSearch)
        showPanel(false);
    QObject::connect(&relay, &InstanceRelay::activated, &app, [&](const QStringList &handed) {
        const LaunchRequest request = LaunchRequest::fromHandedLines(handed);
        if (request.quickSearch)
            showPanel(false);
        else
            bringForward(storeWindow);
        for (const QString &link : request.links)
            DeepLinks::instance()->open(QUrl(link));
    });

    Shell *shell = Shell::instance();
    QObject::connect(shell, &Shell::storeWindowRequested, &app, [&storeWindow] { bringForward(storeWindow); });
    QObject::connect(shell, &Shell::settingsRequested, &app,
                     [&] { bringForward(lazyWindow(engine, settingsWindow, u"SettingsWindow.qml"_s)); });
    QObject::connect(shell, &Shell::quickSearchRequested, &app, [&] { showPanel(false); });

    std::unique_ptr<GlobalMenuBar> globalMenu;
    if (GlobalMenuBar::wanted() && storeWindow) {
        globalMenu = std::make_unique<GlobalMenuBar>(storeWindow->findChild<QObject *>(u"storeWindow"_s));
        QObject::connect(globalMenu.get(), &GlobalMenuBar::settingsRequested, shell, &Shell::showSettings);
        QObject::connect(globalMenu.get(), &GlobalMenuBar::quickSearchRequested, shell, &Shell::showQuickSearch);
    }

    // The tray item; without a tray, closing the window ends the program as usual. Asking for the tray may start
    // a message bus, so it waits until the window's first frame is on screen (or a second, if that never comes).
    bool trayAsked = false;
    const auto setUpTray = [&] {
        if (std::exchange(trayAsked, true) || !TrayIcon::available())
            return;
        tray = std::make_unique<TrayIcon>();
        QObject::connect(tray.get(), &TrayIcon::panelRequested, &app, [&] { showPanel(true); });
        QObject::connect(tray.get(), &TrayIcon::storeRequested, shell, &Shell::showStoreWindow);
        QObject::connect(tray.get(), &TrayIcon::settingsRequested, shell, &Shell::showSettings);
        QObject::connect(tray.get(), &TrayIcon::quitRequested, &app, &QCoreApplication::quit);
        tray->show();
        QApplication::setQuitOnLastWindowClosed(false);
    };
    QObject::connect(qobject_cast<QQuickWindow *>(storeWindow.data()), &QQuickWindow::frameSwapped, &app, setUpTray,
                     Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
    QTimer::singleShot(1000, &app, setUpTray);

    const int code = QApplication::exec();
    delete settingsWindow.data();
    delete panelWindow.data();
    return code;
}
