#include "models/LocalizedString.h"

#include <QCoreApplication>
#include <QHash>

namespace {

// Keys whose English text differs from the key itself; every other entry
// reads as its key. Each text still goes through the translator, under the
// "LocalizedString" context, so a translation can replace it.
struct Entry {
    const char* key;
    const char* text;
};

constexpr Entry kEntries[] = {
    {"SETTINGS", QT_TRANSLATE_NOOP("LocalizedString", "SETTINGS")},
    {"Done", QT_TRANSLATE_NOOP("LocalizedString", "Done")},
    {"Support", QT_TRANSLATE_NOOP("LocalizedString", "Support")},
    {"Rate us", QT_TRANSLATE_NOOP("LocalizedString", "Rate us")},
    {"Send Feedback", QT_TRANSLATE_NOOP("LocalizedString", "Send Feedback")},
    {"Terms Of Service", QT_TRANSLATE_NOOP("LocalizedString", "Terms Of Service")},
    {"Vantorel", QT_TRANSLATE_NOOP("LocalizedString", "Vantorel")},
    {"vantorel.com", QT_TRANSLATE_NOOP("LocalizedString", "vantorel.com")},
    {"Our Apps", QT_TRANSLATE_NOOP("LocalizedString", "Our Apps")},
    {"Ok", QT_TRANSLATE_NOOP("LocalizedString", "Ok")},
    {"Email is sent", QT_TRANSLATE_NOOP("LocalizedString", "Email is sent")},
    {"The Email was not sent!", QT_TRANSLATE_NOOP("LocalizedString", "The Email was not sent!")},
    {"label_termsofservice", QT_TRANSLATE_NOOP("LocalizedString", "Terms of Service")},
    {"text_termsofservice",
     QT_TRANSLATE_NOOP("LocalizedString",
                       "Users who use the Services offered by Plovera declare to know and accept these terms and "
                       "conditions. Plovera and everything it shows are provided as they are, with no promise that "
                       "the information is accurate or complete, or that the service can be reached at any given "
                       "moment. The owner accepts no responsibility for mistakes, for times when the service cannot "
                       "be reached, for technical faults of any sort, or for data that its suppliers have not kept "
                       "up to date. All rankings, figures and estimates are given for information only and have no "
                       "legal value of any kind. The owner may add, change or remove features, or suspend the "
                       "service in whole or in part, at any time and without notice. By using Plovera, users "
                       "release the owner from all liability for damage of any kind, direct or indirect, that may "
                       "arise from this agreement or from the use of the service and of the information it "
                       "provides.")},
};

const QHash<QString, const char*>& table()
{
    static const QHash<QString, const char*> entries = [] {
        QHash<QString, const char*> built;
        for (const Entry& entry : kEntries)
            built.insert(QString::fromUtf8(entry.key), entry.text);
        return built;
    }();
    return entries;
}

} // namespace

QString localizedString(const QString& key)
{
    const auto found = table().constFind(key);
    if (found == table().constEnd())
        return key;
    return QCoreApplication::translate("LocalizedString", *found);
}
