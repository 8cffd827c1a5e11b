// Navigation: the section the window shows, the transient toast, and opening pages of the site in the browser.
#include "store/Store.h"

#include "service/Endpoint.h"
#include "store/Logging.h"
#include "store/Platform.h"

#include <QPointer>

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr std::array<std::pair<Store::Section, const char16_t *>, 9> sectionKeys{{
    {Store::Section::discover, u"discover"},
    {Store::Section::device, u"device"},
    {Store::Section::softwareManager, u"softwareManager"},
    {Store::Section::top, u"top"},
    {Store::Section::latest, u"latest"},
    {Store::Section::categories, u"categories"},
    {Store::Section::wallpapers, u"wallpapers"},
    {Store::Section::member, u"member"},
    {Store::Section::installed, u"installed"},
}};

} // namespace

QString Store::sectionKey(Section section)
{
    for (const auto &[value, key] : sectionKeys) {
        if (value == section)
            return QString::fromUtf16(key);
    }
    return u"discover"_s;
}

std::optional<Store::Section> Store::sectionFromKey(const QString &key)
{
    for (const auto &[value, name] : sectionKeys) {
        if (key == QStringView(name))
            return value;
    }
    return std::nullopt;
}

void Store::showToast(const QString &text)
{
    update(m_toast, std::optional<QString>(text), &Store::toastChanged);
    m_toastTimer.start();
}

void Store::clearToast()
{
    update(m_toast, std::optional<QString>(), &Store::toastChanged);
}

void Store::openOnWeb(const QString &path)
{
    if (const auto url = Endpoint::url(path))
        openLink(*url);
}

void Store::openLink(const QUrl &url, const QString &copied)
{
    if (Platform::instance().openUrl(url))
        return;
    qCWarning(lcStore) << "no browser opened for a link to" << url.host();
    Platform::instance().setClipboardText(copied.isEmpty() ? url.toString() : copied);
    showToast(u"无法打开浏览器，链接已复制"_s);
}

void Store::revealFile(const QString &path, const QString &done)
{
    QPointer<Store> self(this);
    Platform::instance().revealFile(path, [self, path, done] {
        if (!self)
            return;
        qCWarning(lcStore) << "no file manager opened for" << path;
        Platform::instance().setClipboardText(path);
        self->showToast(done + u"无法打开文件管理器，文件位置已复制"_s);
    });
}
