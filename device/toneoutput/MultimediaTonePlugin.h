#pragma once
// The speaker check's output through Qt Multimedia: the default output device, followed as devices come and go.

#include "device/ToneOutput.h"

#include <QObject>

class MultimediaTonePlugin : public QObject, public ToneOutputPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ToneOutputPlugin_iid)
    Q_INTERFACES(ToneOutputPlugin)

public:
    [[nodiscard]] std::unique_ptr<ToneOutput> create(std::function<void()> outputsChanged) override;
};
