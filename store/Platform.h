#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// The few desktop services the store actions need: the clipboard, the default browser, the file manager and
// the Pictures folder. One process-wide instance; tests install a recording fake with setInstance().
class Platform
{
public:
    virtual ~Platform();

    // Replaces the clipboard content with plain text.
    virtual void setClipboardText(const QString &text) = 0;
    // Opens an address in the default browser; false when no program could be started for it.
    virtual bool openUrl(const QUrl &url) = 0;
    // Shows the file at this path selected in the file manager. The file need not exist. `failed` runs (now or
    // later) when no file manager could show it.
    virtual void revealFile(const QString &path, std::function<void()> failed = {}) = 0;
    // The user's Pictures folder, or the temporary folder when there is none.
    [[nodiscard]] virtual QString picturesFolder() = 0;

    [[nodiscard]] static Platform &instance();
    // Installs a replacement (not owned); nullptr restores the desktop implementation.
    static void setInstance(Platform *platform);
};

// The real implementation: QClipboard, QDesktopServices, Finder on macOS and the freedesktop FileManager1
// service elsewhere.
class DesktopPlatform final : public Platform
{
public:
    void setClipboardText(const QString &text) override;
    bool openUrl(const QUrl &url) override;
    void revealFile(const QString &path, std::function<void()> failed = {}) override;
    [[nodiscard]] QString picturesFolder() override;
};
