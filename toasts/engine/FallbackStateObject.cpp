#include "toasts/engine/FallbackStateObject.h"

void ObservableChangeRelay::observe(QObject* object)
{
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    if (!object)
        return;
    const QMetaObject* meta = object->metaObject();
    const int relaySlot = metaObject()->indexOfSlot("relay()");
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (property.hasNotifySignal()) {
            m_connections.append(
                QMetaObject::connect(object, property.notifySignalIndex(), this, relaySlot, Qt::DirectConnection));
        }
    }
}

void ObservableChangeRelay::relay()
{
    m_callback();
}
