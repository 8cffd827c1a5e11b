#include "device/ToneOutput.h"

#include "device/Logging.h"

#include <QCoreApplication>
#include <QPluginLoader>

#ifdef VEXLO_TONE_OUTPUT_STATIC
Q_IMPORT_PLUGIN(MultimediaTonePlugin)
#endif

using namespace Qt::StringLiterals;

namespace {

ToneOutputPlugin *findPlugin()
{
    for (QObject *instance : QPluginLoader::staticInstances()) {
        if (auto *plugin = qobject_cast<ToneOutputPlugin *>(instance))
            return plugin;
    }
    // Installed beside the program's own folder; in a build tree, where the build puts it.
    const QStringList folders{
        QCoreApplication::applicationDirPath() + u"/"_s + QStringLiteral(VEXLO_TONE_OUTPUT_INSTALLED),
        QStringLiteral(VEXLO_TONE_OUTPUT_BUILT),
    };
    for (const QString &folder : folders) {
        QPluginLoader loader(folder + u"/vexlo_tone_output"_s);
        if (auto *plugin = qobject_cast<ToneOutputPlugin *>(loader.instance()))
            return plugin;
        qCDebug(lcDevice).noquote() << "no speaker output in" << folder << ":" << loader.errorString();
    }
    qCWarning(lcDevice) << "the speaker output plugin was not found; the speaker check cannot play";
    return nullptr;
}

} // namespace

ToneOutputPlugin *toneOutputPlugin()
{
    static ToneOutputPlugin *const plugin = findPlugin();
    return plugin;
}
