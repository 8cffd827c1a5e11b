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
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return hasBrowser;
    }
    void revealFile(const QString &path, std::function<void()> failed = {}) override
    {
        revealed.append(path);
        if (!hasFileManager && failed)
            failed();
    }
    QString picturesFolder() override { return pictures; }

    QStringList clipboard;
    QList<QUrl> opened;
    QStringList revealed;
    QString pictures;
    // Without them, opening an address or showing a file fails.
    bool hasBrowser = true;
    bool hasFileManager = true;
};
