#pragma once
// The settings window's state: the site address as typed (read from the setting once, when the window is
// made), the save confirmation, and the signed-in account as the rows show it.
#include "service/CatalogRecords.h"

#include <QObject>
#include <QQmlEngine>

#include <QCoro/QCoroTask>
#include <chrono>

class SiteSettings : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    // The address field's text, exactly as typed.
    Q_PROPERTY(QString address READ address WRITE setAddress NOTIFY addressChanged)
    // The save button shows "已保存" from a save until 1.5 s after its reload.
    Q_PROPERTY(bool saved READ saved NOTIFY savedChanged)
    // The save button is enabled for any text, also spaces only; only an empty field disables it.
    Q_PROPERTY(bool canSave READ canSave NOTIFY addressChanged)
    Q_PROPERTY(bool signedIn READ signedIn NOTIFY accountChanged)
    Q_PROPERTY(QString nickname READ nickname NOTIFY accountChanged)
    Q_PROPERTY(QString email READ email NOTIFY accountChanged)
    Q_PROPERTY(QString sponsorship READ sponsorship NOTIFY accountChanged)
    // Whether the software manager reads developers' own update feeds (user default "developerUpdates", on
    // unless turned off); stored as soon as it changes.
    Q_PROPERTY(bool developerUpdates READ developerUpdates WRITE setDeveloperUpdates NOTIFY developerUpdatesChanged)

public:
    static constexpr std::chrono::milliseconds confirmationTime{1500};

    explicit SiteSettings(QObject *parent = nullptr);

    // "未生效" unless sponsoring, then "终身" or "剩余 N 天".
    [[nodiscard]] static QString sponsorshipText(const StoreMember &member);

    [[nodiscard]] QString address() const { return m_address; }
    void setAddress(const QString &text);
    [[nodiscard]] bool saved() const { return m_saved; }
    [[nodiscard]] bool canSave() const { return !m_address.isEmpty(); }
    [[nodiscard]] bool signedIn() const;
    [[nodiscard]] QString nickname() const;
    [[nodiscard]] QString email() const;
    [[nodiscard]] QString sponsorship() const;
    [[nodiscard]] bool developerUpdates() const;
    void setDeveloperUpdates(bool on);

    // Stores the trimmed address, reloads the store from it and confirms until 1.5 s after the reload.
    Q_INVOKABLE void save();
    QCoro::Task<> saveTask();
    // Puts the default address in the field and stores it as such (not as "no value"); reloads nothing.
    Q_INVOKABLE void restoreDefault();
    // Ends the session on the service, whatever it answers, and reloads the store.
    Q_INVOKABLE void signOut();
    QCoro::Task<> signOutTask();
    // Asks the store window to show its sign-in sheet.
    Q_INVOKABLE void signIn();

Q_SIGNALS:
    void addressChanged();
    void savedChanged();
    void accountChanged();
    void developerUpdatesChanged();

private:
    void setSaved(bool saved);

    QString m_address;
    bool m_saved = false;
};
