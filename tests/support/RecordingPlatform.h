#pragma once
// Desktop services that only record what the store asked of them.
#include "store/Platform.h"

#include <QList>
#include <QStringList>
#include <QUrl>

class RecordingPlatform final : public Platform
{
public:
    void setClipboardText(const QString &text) override { clipboard.append(text); }
    void openUrl(const QUrl &url) override { opened.append(url); }
    void revealFile(const QString &path) override { revealed.append(path); }
    QString picturesFolder() override { return pictures; }

    QStringList clipboard;
    QList<QUrl> opened;
    QStringList revealed;
    QString pictures;
};
