#include "app/TrayIcon.h"

#include "screens/components/Symbols.h"

#include <QFont>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

using namespace Qt::Literals::StringLiterals;

namespace {

// The item's symbol, drawn from the icon font in the desktop's text colour.
QIcon trayImage()
{
    QPixmap pixmap(44, 44);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font(Symbols::family());
    font.setPixelSize(40);
    painter.setFont(font);
    painter.setPen(QColor(0x3a, 0x3a, 0x3c));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString(QChar(Symbols::codePoint(u"square.grid.2x2.fill"_s))));
    painter.end();
    QIcon icon(pixmap);
    icon.setIsMask(true);
    return icon;
}

} // namespace

TrayIcon::TrayIcon(QObject *parent)
    : QObject(parent)
    , m_icon(new QSystemTrayIcon(this))
    , m_menu(new QMenu)
{
    m_icon->setIcon(trayImage());
    m_icon->setToolTip(u"Vexlo工具箱"_s);
    connect(m_menu->addAction(u"打开 Vexlo工具箱"_s), &QAction::triggered, this, &TrayIcon::storeRequested);
    connect(m_menu->addAction(u"快速搜索"_s), &QAction::triggered, this, &TrayIcon::panelRequested);
    connect(m_menu->addAction(u"设置…"_s), &QAction::triggered, this, &TrayIcon::settingsRequested);
    m_menu->addSeparator();
    connect(m_menu->addAction(u"退出"_s), &QAction::triggered, this, &TrayIcon::quitRequested);
#ifndef Q_OS_MACOS
    // A macOS status item with a menu opens the menu on every click; there a click opens the panel, whose footer
    // holds the same commands.
    m_icon->setContextMenu(m_menu);
#endif
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            Q_EMIT panelRequested();
    });
}

TrayIcon::~TrayIcon()
{
    delete m_menu;
}

bool TrayIcon::available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::show()
{
    m_icon->show();
}

QRect TrayIcon::geometry() const
{
    return m_icon->geometry();
}
