#pragma once
// Where the store window is and how it gets elsewhere: the section, the chosen category, the open app detail,
// whether search results are in front, and the sign-in and checkout sheets. Screens, links and the menu bar panel
// call its actions and never write this state themselves; the page the content area shows is route() of it.
//
// The values live in the Store, beside the data they go with (the detail record, the results, the order); the
// Navigator is their one writer on the screens' behalf and keeps the two facts the route needs besides them.
#include "store/Store.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <QtQmlIntegration>

class QJSEngine;
class QQmlEngine;

class Navigator : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    // The content area's page: "search", "detail", "detailLoading", "loading", "error", "waiting" or a section key.
    Q_PROPERTY(QString page READ page NOTIFY pageChanged)

public:
    // What decides the page.
    struct RouteState
    {
        bool results = false; // search results are there and the search text is not empty
        bool detailOverResults = false; // the open detail was opened after those results
        bool detail = false;
        bool detailLoading = false;
        bool detailLeft = false; // another section was chosen while the detail loaded
        Store::Section section = Store::Section::discover;
        bool storeLoading = false;
        bool storeError = false;
        bool home = false;
    };
    // The first rule that holds wins: results, detail, detail loading, a page of this Mac, store loading, error,
    // the section's page once the home payload is there, else waiting. A detail opened from the results shows in
    // front of them; the device check and the software manager never wait for the store.
    [[nodiscard]] static QString route(const RouteState &state);

    // Made by the Store it navigates, as its child.
    explicit Navigator(Store &store);
    // The QML singleton: the navigator of the Store that QML uses.
    static Navigator *create(QQmlEngine *engine, QJSEngine *js);

    [[nodiscard]] QString page() const { return m_page; }
    [[nodiscard]] RouteState state() const;

    // Shows a section; any section but "categories" forgets the chosen category. An open detail stays in front.
    Q_INVOKABLE void showSection(const QString &section);
    // Shows the category page on the category `slug`.
    Q_INVOKABLE void showCategory(const QString &slug);
    // Closes any open detail and shows the section (when `section` names one).
    Q_INVOKABLE void openSection(const QString &section);
    // Loads the app's detail page, which comes in front when it arrives.
    Q_INVOKABLE void openApp(const QString &slug);
    // Closes the open detail: the results or the section page behind it come back.
    Q_INVOKABLE void back();

    // The search text as typed; emptied, it takes the results away.
    Q_INVOKABLE void editSearch(const QString &text);
    // Searches the search text; the results come in front.
    Q_INVOKABLE void search();
    Q_INVOKABLE void clearSearch();
    // Puts the results aside (they come back with the next search) without touching the search text.
    Q_INVOKABLE void dismissResults();

    Q_INVOKABLE void openLogin();
    Q_INVOKABLE void closeLogin();
    // Opens the checkout sheet without an order and, given a plan (a StorePlan or its id), opens one for it.
    Q_INVOKABLE void openCheckout(const QVariant &plan = {}, const QString &payType = payTypeKey(PayType::wechat),
                                  const QString &gateway = QStringLiteral("hubijiao"));
    Q_INVOKABLE void closeCheckout();

Q_SIGNALS:
    void pageChanged();

private:
    void sectionChanged();
    void detailLoadingChanged();
    void detailChanged();
    void searchResultsChanged();
    void searchTextChanged();
    void updatePage();

    Store &m_store;
    QString m_page;
    bool m_detailOverResults = false;
    bool m_detailLeft = false;
};
