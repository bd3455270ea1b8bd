#include "tools/probe/Probe.h"

#include <QGenericPlugin>

// Loaded by Qt itself (QT_QPA_GENERIC_PLUGINS=marrowlinkprobe:<folder>), so
// the program under test is the unchanged program.
class TProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "probe.json")

public:
  QObject* create(const QString& key, const QString& parameters) override {
    if (key.compare(QStringLiteral("marrowlinkprobe"), Qt::CaseInsensitive) != 0)
      return nullptr;
    // The application takes ownership of what a generic plugin creates.
    return new TProbe(parameters);
  }
};

#include "ProbePlugin.moc"
