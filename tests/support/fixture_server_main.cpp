// Serves a directory of fixture files on 127.0.0.1 so the application can run without the
// public services: plovera-fixture-server [--port N] [--root DIR]

#include "support/FixtureServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

// Only async-signal-safe work here; the event loop picks the byte up and quits.
void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

bool installTerminationHandlers()
{
    if (::pipe(signalPipe) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("plovera-fixture-server"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Serves fixture files over HTTP on 127.0.0.1."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port to listen on (0: any free port)."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption rootOption(QStringLiteral("root"), QStringLiteral("Directory to serve."),
                                        QStringLiteral("DIR"), QStringLiteral(PLOVERA_FIXTURES_DIR "/offline"));
    parser.addOption(portOption);
    parser.addOption(rootOption);
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535) {
        std::fprintf(stderr, "invalid port: %s\n", qPrintable(parser.value(portOption)));
        return 2;
    }
    const QString root = parser.value(rootOption);
    if (!QFileInfo(root).isDir()) {
        std::fprintf(stderr, "no such directory: %s\n", qPrintable(root));
        return 2;
    }
    if (!installTerminationHandlers()) {
        std::perror("cannot install signal handlers");
        return 1;
    }
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    FixtureServer server;
    server.setRootDirectory(root);
    if (!server.listen(quint16(port)))
        return 1;
    std::printf("listening on %s\n", qPrintable(server.baseUrl().toString()));
    std::fflush(stdout);
    return app.exec();
}
