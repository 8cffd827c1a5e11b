#include "screens/components/GlyphMap.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace GlyphMap {

namespace {

const QHash<QString, QString> &table()
{
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> t;
        for (const char *same : {"text.alignleft",
                                 "terminal",
                                 "film",
                                 "waveform",
                                 "key.horizontal",
                                 "lock.shield",
                                 "brain.head.profile",
                                 "calendar",
                                 "doc.on.clipboard",
                                 "photo.stack",
                                 "internaldrive",
                                 "square.on.circle",
                                 "rectangle.split.3x1",
                                 "sparkles",
                                 "leaf",
                                 "curlybraces",
                                 "shippingbox",
                                 "archivebox",
                                 "folder.badge.gearshape",
                                 "eye.slash",
                                 "clock.arrow.circlepath",
                                 "menubar.rectangle",
                                 "square.grid.3x3",
                                 "square.grid.2x2",
                                 "doc.richtext",
                                 "mic.fill",
                                 "video.badge.waveform",
                                 "wrench.and.screwdriver",
                                 "paintpalette",
                                 "checklist",
                                 "chevron.left.forwardslash.chevron.right"})
            t.insert(QString::fromLatin1(same), QString::fromLatin1(same));
        t.insert(u"network.badge.shield.half.filled"_s, u"network"_s);
        t.insert(u"app"_s, u"square.grid.2x2.fill"_s);
        return t;
    }();
    return table;
}

} // namespace

QString symbol(const QString &glyph)
{
    return table().value(glyph, u"app.dashed"_s);
}

QStringList symbols()
{
    QStringList out = table().values();
    out.append(u"app.dashed"_s);
    return out;
}

} // namespace GlyphMap
