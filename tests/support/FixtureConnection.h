#pragma once

#include <QByteArray>
#include <QObject>

class FixtureServer;
class QTcpSocket;
struct FixtureResponse;

// One accepted TCP connection of a FixtureServer: reads requests one after another from the
// socket (keep-alive, pipelining, requests split over many reads) and writes the answers in order.
class FixtureConnection : public QObject {
    Q_OBJECT
public:
    FixtureConnection(QTcpSocket* socket, FixtureServer* server);
    ~FixtureConnection() override;

    // The server is going away: stop talking to it and release the connection.
    void serverGone();

private:
    void processInput();
    void handleRequest(const QByteArray& head);
    void deliver(const FixtureResponse& response, bool headOnly, bool keepAlive);
    void trickle(QByteArray rest, int intervalMs, bool keepAlive);
    void stream(qint64 remaining, bool keepAlive);
    void answered(bool keepAlive);
    void finish(bool abortNow);
    void socketGone();

    QTcpSocket* m_socket;
    FixtureServer* m_server;
    QByteArray m_buffer;
    bool m_busy = false;    // an answer is pending; the next request waits for it
    bool m_closing = false; // nothing more is read or written
    int m_readDepth = 0;    // inside processInput(), possibly within the socket's readyRead()
};
