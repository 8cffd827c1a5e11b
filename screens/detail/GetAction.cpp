#include "screens/detail/GetAction.h"

#include "store/Store.h"

using namespace Qt::StringLiterals;

GetAction::State GetAction::decide(bool needsSponsor, bool unlocked, bool fetching,
                                   const std::optional<QString> &recordedVersion, bool isFree)
{
    // A running download wins over every other state, the sponsors-only one included.
    if (fetching)
        return {Kind::Fetching, u"获取中…"_s, QString()};
    if (needsSponsor && !unlocked)
        return {Kind::SponsorOnly, u"赞助后获取"_s, u"向赞助会员开放"_s};
    if (recordedVersion)
        return {Kind::Again, u"重新下载"_s, u"已获取 · "_s + *recordedVersion};
    if (isFree)
        return {Kind::Get, u"获取"_s, u"免费 · 无需账户"_s};
    return {Kind::Get, u"下载"_s, u"含于赞助会员"_s};
}

GetAction::GetAction(QObject *parent)
    : QObject(parent)
    , m_state(decide(false, false, false, std::nullopt, false))
{
    if (Store *store = Store::instance()) {
        connect(store, &Store::downloadingChanged, this, &GetAction::update);
        connect(store, &Store::installedChanged, this, &GetAction::update);
    }
    connect(this, &GetAction::inputsChanged, this, &GetAction::update);
}

void GetAction::setSlug(const QString &slug)
{
    if (slug == m_slug)
        return;
    m_slug = slug;
    Q_EMIT inputsChanged();
}

void GetAction::setIsFree(bool value)
{
    if (value == m_isFree)
        return;
    m_isFree = value;
    Q_EMIT inputsChanged();
}

void GetAction::setUnlocked(bool value)
{
    if (value == m_unlocked)
        return;
    m_unlocked = value;
    Q_EMIT inputsChanged();
}

void GetAction::setNeedsSponsor(bool value)
{
    if (value == m_needsSponsor)
        return;
    m_needsSponsor = value;
    Q_EMIT inputsChanged();
}

void GetAction::update()
{
    const Store *store = Store::instance();
    bool fetching = false;
    std::optional<QString> recorded;
    if (store) {
        fetching = store->downloading().contains(m_slug);
        const auto record = store->installed().constFind(m_slug);
        if (record != store->installed().constEnd())
            recorded = record->version;
    }
    const State next = decide(m_needsSponsor, m_unlocked, fetching, recorded, m_isFree);
    if (next == m_state)
        return;
    m_state = next;
    Q_EMIT changed();
}
