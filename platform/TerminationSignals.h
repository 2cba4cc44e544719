#pragma once

#include <QObject>

#include <iterator>

#include <signal.h>

class QSocketNotifier;

// Brings SIGTERM (the desktop's logout), SIGINT (Ctrl+C in a terminal) and
// SIGHUP (a closed terminal) into the event loop as `received`, so that the
// program can end the way its Quit command does and finish the work it has
// queued, instead of being cut off. The handler itself only writes the signal's
// number to a socket. While one of these lives it handles the three signals;
// the handlers and receiver that were in place before come back when it goes.
// Should no socket be had, the signals keep the handlers they had.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

signals:
    void received(int signalNumber);

private:
    void readSignals();

    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
    int m_sockets[2] = {-1, -1};
    int m_previousWriteSocket = -1;
    struct sigaction m_previous[std::size(kSignals)] = {};
    QSocketNotifier* m_notifier = nullptr;
};
