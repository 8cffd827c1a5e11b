#pragma once
// The sign-in sheet's form: the two fields, the busy flag and the error line. Submitting calls the service's
// sign-in itself and, when it answers, reloads the store before reporting success.
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <QCoro/QCoroTask>

class SignInForm : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString email READ email WRITE setEmail NOTIFY emailChanged)
    Q_PROPERTY(QString password READ password WRITE setPassword NOTIFY passwordChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)
    Q_PROPERTY(bool canSubmit READ canSubmit NOTIFY canSubmitChanged)

public:
    explicit SignInForm(QObject *parent = nullptr);
    ~SignInForm() override;

    [[nodiscard]] QString email() const { return m_email; }
    void setEmail(const QString &email);
    [[nodiscard]] QString password() const { return m_password; }
    void setPassword(const QString &password);
    [[nodiscard]] bool busy() const { return m_busy; }
    [[nodiscard]] QString error() const { return m_error; }
    [[nodiscard]] bool canSubmit() const { return !m_busy && !m_email.isEmpty() && !m_password.isEmpty(); }

    // Does nothing unless canSubmit; also what Return runs.
    Q_INVOKABLE void submit();
    QCoro::Task<> submitTask();
    // Overwrites and drops the password (the sheet calls this when it closes).
    Q_INVOKABLE void forgetPassword();

Q_SIGNALS:
    void emailChanged();
    void passwordChanged();
    void busyChanged();
    void errorChanged();
    void canSubmitChanged();
    void signedIn();

private:
    void setBusy(bool busy);
    void setError(const QString &error);

    QString m_email;
    QString m_password;
    bool m_busy = false;
    QString m_error;
};
