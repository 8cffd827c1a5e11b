#include "server/Auth.h"

#include "server/Database.h"

#include <QDateTime>
#include <QHttpServerRequest>
#include <QSqlQuery>
#include <QStringList>
#include <sodium.h>

namespace Auth {

bool initCrypto()
{
    return sodium_init() >= 0;
}

QString hashPassword(const QString &password)
{
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(out, utf8.constData(), quint64(utf8.size()), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                              crypto_pwhash_MEMLIMIT_INTERACTIVE, crypto_pwhash_ALG_ARGON2ID13) != 0)
        return {};
    return QString::fromLatin1(out);
}

bool verifyPassword(const QString &storedHash, const QString &password)
{
    const QByteArray hash = storedHash.toLatin1();
    const QByteArray utf8 = password.toUtf8();
    return !hash.isEmpty() && crypto_pwhash_str_verify(hash.constData(), utf8.constData(), quint64(utf8.size())) == 0;
}

const QString &decoyHash()
{
    static const QString hash = hashPassword(QStringLiteral("vexlo-decoy-password"));
    return hash;
}

QByteArray newToken()
{
    QByteArray raw(32, Qt::Uninitialized);
    randombytes_buf(raw.data(), size_t(raw.size()));
    return raw.toHex();
}

QString tokenHash(const QByteArray &token)
{
    QByteArray digest(crypto_hash_sha256_BYTES, Qt::Uninitialized);
    crypto_hash_sha256(reinterpret_cast<unsigned char *>(digest.data()),
                       reinterpret_cast<const unsigned char *>(token.constData()), quint64(token.size()));
    return QString::fromLatin1(digest.toHex());
}

QByteArray sessionCookie(const QByteArray &token, bool secure)
{
    return QByteArray(kCookieName) + '=' + token + "; Path=/; Max-Age=" + QByteArray::number(kSessionSeconds) +
        "; HttpOnly; SameSite=Lax" + (secure ? "; Secure" : "");
}

QByteArray expiredCookie(bool secure)
{
    return QByteArray(kCookieName) + "=; Path=/; Max-Age=0; HttpOnly; SameSite=Lax" + (secure ? "; Secure" : "");
}

std::optional<QByteArray> requestToken(const QHttpServerRequest &request)
{
    const QByteArray wanted = QByteArray(kCookieName) + '=';
    for (const auto &[name, value] : request.headers()) {
        if (name.compare("cookie", Qt::CaseInsensitive) != 0)
            continue;
        for (QByteArray part : value.split(';')) {
            part = part.trimmed();
            if (!part.startsWith(wanted))
                continue;
            const QByteArray token = part.mid(wanted.size());
            // Only what newToken() produces; anything else cannot name a session.
            if (token.size() == 64 && QByteArray::fromHex(token).toHex() == token)
                return token;
        }
    }
    return std::nullopt;
}

} // namespace Auth

int Member::daysLeft(qint64 now) const
{
    if (sponsorUntil <= now)
        return 0;
    return int((sponsorUntil - now + 86399) / 86400);
}

QString Member::effectiveRole(qint64 now) const
{
    if (role == QLatin1String("member") && sponsorActive(now))
        return QStringLiteral("sponsor");
    return role;
}

QJsonObject Member::toJson(qint64 now) const
{
    QJsonObject json{
        {QStringLiteral("nickname"), nickname},
        {QStringLiteral("email"), email},
        {QStringLiteral("role"), effectiveRole(now)},
        {QStringLiteral("sponsorActive"), sponsorActive(now)},
        {QStringLiteral("daysLeft"), daysLeft(now)},
        {QStringLiteral("forever"), forever},
        {QStringLiteral("level"), level},
        {QStringLiteral("points"), points},
    };
    // Only a running, ending sponsorship has an end to show; a lapsed one would read as "until <past date>".
    if (sponsorActive(now) && !forever)
        json.insert(QStringLiteral("expiresAt"),
                    QDateTime::fromSecsSinceEpoch(sponsorUntil, Qt::UTC).toString(Qt::ISODate));
    return json;
}

namespace {

const QString kMemberColumns = QStringLiteral(
    "SELECT id, email, nickname, role, level, points, sponsor_until, sponsor_forever, password_hash FROM users ");

Member memberFrom(const QSqlQuery &q)
{
    Member m;
    m.id = q.value(0).toInt();
    m.email = q.value(1).toString();
    m.nickname = q.value(2).toString();
    m.role = q.value(3).toString();
    m.level = q.value(4).toInt();
    m.points = q.value(5).toInt();
    m.sponsorUntil = q.value(6).isNull() ? 0 : q.value(6).toLongLong();
    m.forever = q.value(7).toInt() != 0;
    return m;
}

} // namespace

std::optional<Member> Accounts::byId(int id)
{
    QSqlQuery q = m_db.run(kMemberColumns + QStringLiteral("WHERE id = ?"), {id});
    if (!q.next())
        return std::nullopt;
    return memberFrom(q);
}

std::optional<Member> Accounts::byEmail(const QString &email, QString *passwordHash)
{
    QSqlQuery q = m_db.run(kMemberColumns + QStringLiteral("WHERE email = ?"), {email});
    if (!q.next())
        return std::nullopt;
    if (passwordHash)
        *passwordHash = q.value(8).toString();
    return memberFrom(q);
}

std::optional<Member> Accounts::fromRequest(const QHttpServerRequest &request, qint64 now)
{
    const auto token = Auth::requestToken(request);
    if (!token)
        return std::nullopt;
    const QVariant userId =
        m_db.scalar(QStringLiteral("SELECT user_id FROM sessions WHERE token_hash = ? AND expires_at > ?"),
                    {Auth::tokenHash(*token), now});
    if (!userId.isValid())
        return std::nullopt;
    return byId(userId.toInt());
}

QByteArray Accounts::createSession(int userId, qint64 now)
{
    const QByteArray token = Auth::newToken();
    m_db.run(QStringLiteral("DELETE FROM sessions WHERE expires_at <= ?"), {now});
    m_db.run(QStringLiteral("INSERT INTO sessions (token_hash, user_id, created_at, expires_at) VALUES (?, ?, ?, ?)"),
             {Auth::tokenHash(token), userId, now, now + Auth::kSessionSeconds});
    return token;
}

void Accounts::endSession(const QByteArray &token)
{
    m_db.run(QStringLiteral("DELETE FROM sessions WHERE token_hash = ?"), {Auth::tokenHash(token)});
}

bool Accounts::extendSponsorship(int userId, int days, qint64 now)
{
    // One statement: payments committed at the same moment by different instances each extend from the other's end.
    const bool forever = days >= Auth::kForeverDays;
    const QSqlQuery update = m_db.run(
        QStringLiteral("UPDATE users SET sponsor_until = CASE WHEN sponsor_until > ? THEN sponsor_until ELSE ? END + ?,"
                       " sponsor_forever = CASE WHEN ? = 1 THEN 1 ELSE sponsor_forever END WHERE id = ?"),
        {now, now, qint64(days) * 86400, forever ? 1 : 0, userId});
    return update.isActive() && update.numRowsAffected() == 1;
}

std::optional<QString> LoginThrottle::attempt(const QString &key, qint64 now)
{
    const qint64 windowStart = now - kWindowSeconds;
    m_db.run(QStringLiteral("DELETE FROM login_failures WHERE failed_at <= ?"), {windowStart});
    const QString id = QString::fromLatin1(Auth::newToken().left(32));
    const QString stored = m_scope + QLatin1Char(':') + key;
    if (!m_db.run(QStringLiteral("INSERT INTO login_failures (attempt_id, throttle_key, failed_at) VALUES (?, ?, ?)"),
                  {id, stored, now})
             .isActive())
        return std::nullopt;
    // Counted after the insert: two instances racing for the last free attempt both see it taken.
    const int failures =
        m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM login_failures WHERE throttle_key = ? AND failed_at > ?"),
                    {stored, windowStart})
            .toInt();
    if (failures > m_maxFailures) {
        forgive(id);
        return std::nullopt;
    }
    return id;
}

void LoginThrottle::forgive(const QString &attemptId)
{
    m_db.run(QStringLiteral("DELETE FROM login_failures WHERE attempt_id = ?"), {attemptId});
}

void LoginThrottle::clear(const QString &key)
{
    m_db.run(QStringLiteral("DELETE FROM login_failures WHERE throttle_key = ?"), {m_scope + QLatin1Char(':') + key});
}
