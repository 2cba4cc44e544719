#pragma once

#include <QObject>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

// A named settings suite, stored as one file under the user's configuration
// folder (XDG_CONFIG_HOME honoured). One instance per suite name for the whole
// process, so every reader sees every write and can follow changes.
class UserDefaults : public QObject {
    Q_OBJECT
public:
    static UserDefaults* suite(const QString& name);

    QVariant value(const QString& key, const QVariant& defaultValue = {}) const;
    bool boolValue(const QString& key, bool defaultValue) const;
    // A stored list of texts; anything else stored under the key reads as empty.
    QStringList stringList(const QString& key) const;
    bool contains(const QString& key) const;

    // Written to disk at once; emits valueChanged only when the value differs.
    // When the file cannot be written, the change holds for this run only and
    // the cause comes back ("Is a directory", "Permission denied").
    std::optional<QString> setValue(const QString& key, const QVariant& value);
    std::optional<QString> remove(const QString& key);

    QString name() const { return m_name; }
    QString filePath() const;

    // Tests that change XDG_CONFIG_HOME between cases drop the cached suites.
    static void resetForTesting();

signals:
    void valueChanged(const QString& key);

private:
    explicit UserDefaults(const QString& name);
    std::optional<QString> save();
    QString whyNotWritable() const;

    QString m_name;
    std::unique_ptr<QSettings> m_settings;
};
