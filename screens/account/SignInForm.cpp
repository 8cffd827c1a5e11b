#include "screens/account/SignInForm.h"

#include "screens/components/Logging.h"
#include "service/StoreAPI.h"
#include "store/Store.h"

#include <QPointer>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

SignInForm::SignInForm(QObject *parent)
    : QObject(parent)
{
    connect(this, &SignInForm::emailChanged, this, &SignInForm::canSubmitChanged);
    connect(this, &SignInForm::passwordChanged, this, &SignInForm::canSubmitChanged);
    connect(this, &SignInForm::busyChanged, this, &SignInForm::canSubmitChanged);
}

SignInForm::~SignInForm()
{
    m_password.fill(QChar(0));
}

void SignInForm::setEmail(const QString &email)
{
    if (email == m_email)
        return;
    m_email = email;
    Q_EMIT emailChanged();
}

void SignInForm::setPassword(const QString &password)
{
    if (password == m_password)
        return;
    m_password.fill(QChar(0));
    m_password = password;
    Q_EMIT passwordChanged();
}

void SignInForm::forgetPassword()
{
    if (m_password.isEmpty())
        return;
    m_password.fill(QChar(0));
    m_password = QString();
    Q_EMIT passwordChanged();
}

void SignInForm::submit()
{
    submitTask();
}

QCoro::Task<> SignInForm::submitTask()
{
    if (!canSubmit())
        co_return;
    QPointer<SignInForm> self(this);
    setBusy(true);
    setError(QString());
    auto idle = qScopeGuard([self] {
        if (self)
            self->setBusy(false);
    });

    auto result = co_await StoreAPI::login(m_email, m_password);
    if (!self)
        co_return;
    if (!result.ok()) {
        qCWarning(lcScreens) << "sign-in refused:" << result.error();
        setError(result.error().userMessage(u"登录失败"_s));
        co_return;
    }
    if (Store *store = Store::instance())
        co_await store->bootstrapTask();
    if (self)
        Q_EMIT self->signedIn();
}

void SignInForm::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    Q_EMIT busyChanged();
}

void SignInForm::setError(const QString &error)
{
    if (error == m_error)
        return;
    m_error = error;
    Q_EMIT errorChanged();
}
