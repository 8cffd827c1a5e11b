#pragma once
// The one network access manager of the app (GUI thread), with the persistent cookie jar that holds the
// sign-in session. Everything HTTP goes through it.
#include <QNetworkAccessManager>
#include <QString>

QNetworkAccessManager &sharedNetwork();
// Where the shared manager keeps its cookies: "cookies.json" in the app's data folder.
QString cookieFilePath();
