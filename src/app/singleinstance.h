// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QLocalServer;

// One running Velnor per user. The first launch listens on a local socket of
// the user's own; a later launch hands its paths to it (or, with none, asks
// it to show its window) and ends.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Role
    {
        Primary,
        HandedOver,
        Failed
    };

    explicit SingleInstance(const QString &serverName, QObject *parent = nullptr);
    ~SingleInstance() override;

    // The socket in the user's runtime folder, or without one in a folder
    // of the user's that no one else may enter (in the temporary folder,
    // named with the user's id, or else in the user's cache).
    static QString defaultServerName();

    // Hands the paths to a running instance if there is one, otherwise
    // becomes the running instance. A lock file makes two launches at the
    // same moment agree on which one runs.
    Role start(const QList<QByteArray> &nativePaths);

    // How long a later launch waits for the running one to say it has the
    // paths before it ends all the same; a test of that silence sets less.
    void setReplyTimeout(int msecs) { m_replyTimeout = msecs; }

signals:
    // Paths from a later launch; an empty list asks for the window.
    void openFilesRequested(const QList<QByteArray> &nativePaths);

private:
    bool handOver(const QList<QByteArray> &nativePaths);
    bool listen();
    void receive();

    QString m_name;
    QLocalServer *m_server = nullptr;
    int m_replyTimeout = 5000;
};
