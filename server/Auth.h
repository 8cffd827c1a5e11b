#pragma once
// Accounts and sessions: Argon2id password hashes, random session tokens kept only as hashes, the session cookie,
// and a throttle for failed sign-ins.
#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

class Database;
class QHttpServerRequest;

namespace Auth {

inline constexpr char kCookieName[] = "vexlo_session";
inline constexpr qint64 kSessionSeconds = 30LL * 24 * 60 * 60;
inline constexpr qint64 kForeverDays = 36500;

bool initCrypto();
QString hashPassword(const QString &password);
bool verifyPassword(const QString &storedHash, const QString &password);
// A hash of no account's password, checked when an e-mail is unknown so that answer takes as long as a wrong
// password. Built once; the server builds it at start so the first unknown e-mail is not slower either.
const QString &decoyHash();

QByteArray newToken(); // 64 hex digits: 256 random bits
QString tokenHash(const QByteArray &token); // what the database stores
// secure: the service is reached over https, so the cookie must never travel over plain http.
QByteArray sessionCookie(const QByteArray &token, bool secure);
QByteArray expiredCookie(bool secure);
// The session token the request carries in its Cookie header(s), if any.
std::optional<QByteArray> requestToken(const QHttpServerRequest &request);

} // namespace Auth

// One account as the routes need it.
struct Member
{
    int id = 0;
    QString email;
    QString nickname;
    QString role;
    int level = 0;
    int points = 0;
    qint64 sponsorUntil = 0; // seconds since the epoch; 0 when never sponsored
    bool forever = false;

    [[nodiscard]] bool sponsorActive(qint64 now) const { return forever || sponsorUntil > now; }
    [[nodiscard]] int daysLeft(qint64 now) const;
    [[nodiscard]] QString effectiveRole(qint64 now) const;
    [[nodiscard]] QJsonObject toJson(qint64 now) const;
};

class Accounts
{
public:
    explicit Accounts(Database &db)
        : m_db(db)
    { }

    std::optional<Member> byId(int id);
    std::optional<Member> byEmail(const QString &email, QString *passwordHash);
    // The member behind the request's session cookie, when the session exists and has not expired.
    std::optional<Member> fromRequest(const QHttpServerRequest &request, qint64 now);

    QByteArray createSession(int userId, qint64 now); // returns the plain token
    void endSession(const QByteArray &token);
    // Moves the sponsorship end forward by days (from now when it has lapsed); >= 36500 days means forever.
    bool extendSponsorship(int userId, int days, qint64 now);

private:
    Database &m_db;
};

// Failed sign-ins per key (an e-mail with a client address, or a client address alone) within a sliding minute.
// Kept in the database, so that every instance of the service counts the same attempts.
class LoginThrottle
{
public:
    static constexpr int kMaxFailures = 5;
    static constexpr qint64 kWindowSeconds = 60;

    // scope keeps throttles with different limits apart in the one table.
    LoginThrottle(Database &db, QString scope, int maxFailures = kMaxFailures)
        : m_db(db)
        , m_scope(std::move(scope))
        , m_maxFailures(maxFailures)
    { }

    // Counts an attempt as failed before its check runs, so parallel attempts on any instance cannot slip past the
    // limit. Returns the attempt's id, or nothing when the key has reached its limit (nothing is counted then).
    std::optional<QString> attempt(const QString &key, qint64 now);
    // Takes an attempt back: its check did not fail, or never ran.
    void forgive(const QString &attemptId);
    void clear(const QString &key);

private:
    Database &m_db;
    QString m_scope;
    int m_maxFailures;
};
