#include "app/GlobalMenuBar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::Literals::StringLiterals;

GlobalMenuBar::GlobalMenuBar(QObject *storeContent, QObject *parent)
    : QObject(parent)
    , m_bar(std::make_unique<QMenuBar>())
    , m_content(storeContent)
{
    QMenu *store = m_bar->addMenu(u"商店"_s);
    store->addAction(u"刷新商店"_s, QKeySequence(u"Ctrl+R"_s), this, [this] { call("refreshStore"); });
    store->addAction(u"返回精选"_s, QKeySequence(u"Ctrl+1"_s), this, [this] { call("backToDiscover"); });
    store->addSeparator();
    store->addAction(u"快速搜索"_s, QKeySequence(u"Ctrl+K"_s), this, &GlobalMenuBar::quickSearchRequested);
    QAction *settings =
        store->addAction(u"设置…"_s, QKeySequence::Preferences, this, &GlobalMenuBar::settingsRequested);
    settings->setMenuRole(QAction::PreferencesRole);
    store->addSeparator();
    store->addAction(u"打开站点官网"_s, this, [this] { call("openSite"); });
}

GlobalMenuBar::~GlobalMenuBar() = default;

void GlobalMenuBar::call(const char *function)
{
    if (m_content)
        QMetaObject::invokeMethod(m_content, function);
}
